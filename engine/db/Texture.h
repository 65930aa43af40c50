#pragma once

#include "AbstractBase.h"

#include <QImage>
#include <QString>

namespace Vantor::DB {

// A surface picture that can be laid over a card.
class Texture : public AbstractBase
{
public:
    Texture() = default;
    explicit Texture(const RowView &row);

    bool isValid() const override { return id != -1; }

    qint64 collectionId = 0;
    QString name;
    double baseAlpha = 0.0;
    QImage image; // null when the stored picture cannot be decoded
};

// Which texture is offered for a card, under which name and opacity.
struct TextureMapping
{
    qint64 textureId = 0;
    qint64 pageId = 0;
    QString name;
    double alpha = 0.0;

    static TextureMapping fromRow(const RowView &row);
};

} // namespace Vantor::DB
