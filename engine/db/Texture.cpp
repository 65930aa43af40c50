#include "Texture.h"

#include "LogCategories.h"

#include "RecordFields.h"


namespace Vantor::DB {

Texture::Texture(const RowView &row)
{
    AbstractBase::load(row);
    if (!RecordFields::read(row, QStringLiteral("COLLECTION_ID"), collectionId))
        qCDebug(lcDatabase, "Oops.");
    RecordFields::read(row, QStringLiteral("NAME"), name);
    RecordFields::read(row, QStringLiteral("BASE_ALPHA"), baseAlpha);
    const QVariant data = row.value(QStringLiteral("IMAGE"));
    if (data.isValid())
        image = QImage::fromData(data.toByteArray());
}

TextureMapping TextureMapping::fromRow(const RowView &row)
{
    TextureMapping mapping;
    RecordFields::read(row, QStringLiteral("TEXTURE_ID"), mapping.textureId);
    RecordFields::read(row, QStringLiteral("PAGE_ID"), mapping.pageId);
    RecordFields::read(row, QStringLiteral("NAME"), mapping.name);
    RecordFields::read(row, QStringLiteral("ALPHA"), mapping.alpha);
    return mapping;
}

} // namespace Vantor::DB
