#include "Texture.h"

#include "RecordFields.h"

#include <QDebug>

namespace Vantor::DB {

Texture::Texture(const QSqlRecord &record)
{
    AbstractBase::load(record);
    if (!RecordFields::read(record, QStringLiteral("COLLECTION_ID"), collectionId))
        qDebug("Oops.");
    RecordFields::read(record, QStringLiteral("NAME"), name);
    RecordFields::read(record, QStringLiteral("BASE_ALPHA"), baseAlpha);
    const QVariant data = RecordFields::columnValue(record, QStringLiteral("IMAGE"));
    if (data.isValid())
        image = QImage::fromData(data.toByteArray());
}

TextureMapping TextureMapping::fromRecord(const QSqlRecord &record)
{
    TextureMapping mapping;
    RecordFields::read(record, QStringLiteral("TEXTURE_ID"), mapping.textureId);
    RecordFields::read(record, QStringLiteral("PAGE_ID"), mapping.pageId);
    RecordFields::read(record, QStringLiteral("NAME"), mapping.name);
    RecordFields::read(record, QStringLiteral("ALPHA"), mapping.alpha);
    return mapping;
}

} // namespace Vantor::DB
