#include "ChipDragRecord.h"

#include "JsonCodec.h"
#include "NavigationQueries.h"
#include "StatusCodes.h"

#include <QMimeData>
#include <QVariantMap>

namespace Vantor::DB {

namespace {

// The collection key is spelled so in every record ever written.
const QString CollectionKey = QStringLiteral("collectuionUuid");
const QString ColorIdKey = QStringLiteral("colorId");
const QString FromKey = QStringLiteral("from");
const QString Name1Key = QStringLiteral("colorName1");
const QString Name2Key = QStringLiteral("colorName2");
const QString RgbKey = QStringLiteral("colorRgb");

// The record's object, or false when the data holds none.
bool readRecord(const QMimeData *mime, QVariantMap &record)
{
    if (!hasChipRecord(mime))
        return false;
    bool ok = true;
    const QVariant value = parseJson(QString::fromUtf8(mime->data(QLatin1String(ChipMimeType))), ok);
    if (!ok || value.typeId() != QMetaType::QVariantMap)
        return false;
    record = value.toMap();
    return true;
}

} // namespace

bool hasChipRecord(const QMimeData *mime)
{
    return mime && mime->hasFormat(QLatin1String(ChipMimeType));
}

int chipRecordSource(const QMimeData *mime)
{
    QVariantMap record;
    if (!readRecord(mime, record))
        return NoChipDragSource;
    const qint64 from = record.value(FromKey).toLongLong();
    return from >= FromCardRoller && from <= FromProspectGroups ? int(from) : NoChipDragSource;
}

int readChipRecord(const QMimeData *mime, QUuid &collectionId, ColorEntry &entry)
{
    QVariantMap record;
    if (!readRecord(mime, record))
        return StatusQueryFailed;
    collectionId = QUuid(record.value(CollectionKey).toString());
    return loadColorById(collectionId, record.value(ColorIdKey).toLongLong(), entry);
}

int readColourRecordRgb(const QMimeData *mime, QColor &colour)
{
    QVariantMap record;
    if (!readRecord(mime, record))
        return StatusQueryFailed;
    colour = QColor::fromRgb(QRgb(record.value(RgbKey).toULongLong()));
    return StatusOk;
}

int readColourRecordNames(const QMimeData *mime, QString &name1, QString &name2)
{
    QVariantMap record;
    if (!readRecord(mime, record))
        return StatusQueryFailed;
    name1 = record.value(Name1Key).toString();
    name2 = record.value(Name2Key).toString();
    return StatusOk;
}

QByteArray writeChipRecord(int from, const QUuid &collectionId, const ColorEntry &entry)
{
    QVariantMap record;
    record.insert(CollectionKey, collectionId.toString());
    record.insert(ColorIdKey, entry.id);
    record.insert(FromKey, from);
    return serializeJson(record);
}

QByteArray writeColourRecord(int from, const QColor &colour, const QString &name1, const QString &name2)
{
    QVariantMap record;
    record.insert(Name1Key, name1);
    record.insert(Name2Key, name2);
    record.insert(RgbKey, colour.rgb());
    record.insert(FromKey, from);
    return serializeJson(record);
}

} // namespace Vantor::DB
