#pragma once

#include "ProspectGroup.h"
#include "Texture.h"

#include <QMap>
#include <QString>
#include <QUuid>
#include <QVector>

namespace Vantor::DB {

// What the products, textures and trend-group tabs show. Texture and trend-group
// queries include the rows of the file's virtual collection (id 0), which are shared by
// all its collections. Every operation empties its output first.

// Trend groups by id, each with its entries in order.
int loadProspectGroups(const QUuid &uuid, QMap<qint64, ProspectGroup> &groups);
// The products of a colour: name, then the collection's separator and the product code
// when there is one.
int loadProducts(const QUuid &uuid, qint64 rowId, QVector<QString> &products);
int loadProductGroups(const QUuid &uuid, qint64 rowId, QVector<QString> &groups);
// Textures by id; a picture that cannot be decoded leaves a null image.
int loadTextures(const QUuid &uuid, QMap<qint64, Texture> &textures);
int loadTextureMappings(const QUuid &uuid, qint64 pageId, QVector<TextureMapping> &mappings);

} // namespace Vantor::DB
