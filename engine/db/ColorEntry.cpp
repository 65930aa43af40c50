#include "ColorEntry.h"

#include "RecordFields.h"

#include <QDebug>

namespace Vantor::DB {

ColorEntry::ColorEntry()
{
    ColorEntry::reset();
}

ColorEntry::ColorEntry(const RowView &row)
{
    ColorEntry::load(row);
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

void ColorEntry::load(const RowView &row)
{
    ColorEntry::reset();
    AbstractBase::load(row);
    if (!RecordFields::read(row, QStringLiteral("COLLECTION_ID"), collectionId))
        qDebug("Oops.");
    RecordFields::read(row, QStringLiteral("PAGE_ID"), pageId);
    RecordFields::read(row, QStringLiteral("CODE"), code);
    RecordFields::readNumberedTexts(row, names, extras);
    RecordFields::read(row, QStringLiteral("SEGMENT"), segment);
    RecordFields::read(row, QStringLiteral("ROW_INDEX"), rowIndex);
    RecordFields::read(row, QStringLiteral("PAGE_ORDER"), pageOrder);
    RecordFields::read(row, QStringLiteral("RED"), red);
    RecordFields::read(row, QStringLiteral("GREEN"), green);
    RecordFields::read(row, QStringLiteral("BLUE"), blue);
    RecordFields::read(row, QStringLiteral("L"), l);
    RecordFields::read(row, QStringLiteral("A"), a);
    RecordFields::read(row, QStringLiteral("B"), b);
    RecordFields::readFlag(row, QStringLiteral("IS_MTO"), isMto);
    RecordFields::readFlag(row, QStringLiteral("NEUTRAL"), neutral);
    RecordFields::readFlag(row, QStringLiteral("WHITE"), white);
    RecordFields::readMood(row, mood);
    RecordFields::read(row, QStringLiteral("SCHEME_POS"), schemePos);
    RecordFields::read(row, QStringLiteral("NSCHEME_POS"), nschemePos);
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
