#include "ColorEntry.h"

#include "RecordFields.h"

#include <QDebug>

namespace Vantor::DB {

ColorEntry::ColorEntry()
{
    ColorEntry::reset();
}

ColorEntry::ColorEntry(const QSqlRecord &record)
{
    ColorEntry::load(record);
}

void ColorEntry::reset()
{
    AbstractBase::reset();
    collectionId = -1;
    pageId = -1;
    rowIndex = -1;
    pageOrder = -1;
    segment = -1;
    red = green = blue = -1;
    l = a = b = 0.0;
    isMto = neutral = white = false;
    mood = 0;
    schemePos = -1;
    nschemePos = -1;
    names.clear();
    extras.clear();
}

void ColorEntry::load(const QSqlRecord &record)
{
    ColorEntry::reset();
    AbstractBase::load(record);
    if (!RecordFields::read(record, QStringLiteral("COLLECTION_ID"), collectionId))
        qDebug("Oops.");
    RecordFields::read(record, QStringLiteral("PAGE_ID"), pageId);
    RecordFields::read(record, QStringLiteral("CODE"), code);
    RecordFields::readNumberedTexts(record, names, extras);
    RecordFields::read(record, QStringLiteral("SEGMENT"), segment);
    RecordFields::read(record, QStringLiteral("ROW_INDEX"), rowIndex);
    RecordFields::read(record, QStringLiteral("PAGE_ORDER"), pageOrder);
    RecordFields::read(record, QStringLiteral("RED"), red);
    RecordFields::read(record, QStringLiteral("GREEN"), green);
    RecordFields::read(record, QStringLiteral("BLUE"), blue);
    RecordFields::read(record, QStringLiteral("L"), l);
    RecordFields::read(record, QStringLiteral("A"), a);
    RecordFields::read(record, QStringLiteral("B"), b);
    RecordFields::readFlag(record, QStringLiteral("IS_MTO"), isMto);
    RecordFields::readFlag(record, QStringLiteral("NEUTRAL"), neutral);
    RecordFields::readFlag(record, QStringLiteral("WHITE"), white);
    RecordFields::readMood(record, mood);
    RecordFields::read(record, QStringLiteral("SCHEME_POS"), schemePos);
    RecordFields::read(record, QStringLiteral("NSCHEME_POS"), nschemePos);
}

QString ColorEntry::name(int index) const
{
    return index >= 0 && index < names.size() ? names.at(index) : QString();
}

QString ColorEntry::extra(int index) const
{
    return index >= 0 && index < extras.size() ? extras.at(index) : QString();
}

} // namespace Vantor::DB
