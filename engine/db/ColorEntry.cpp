#include "ColorEntry.h"

#include "LogCategories.h"

#include "RecordFields.h"


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

namespace {

// The columns a colour reads, in the order of the enumeration below.
enum Column {
    Id, CollectionId, PageId, Code, Segment, RowIndex, PageOrder, Red, Green, Blue, L, A, B, IsMto, Neutral, White,
    Mood, SchemePos, NschemePos, NumberedTexts
};

const ColumnSet &columns()
{
    static const ColumnSet set{"ID", "COLLECTION_ID", "PAGE_ID", "CODE", "SEGMENT", "ROW_INDEX", "PAGE_ORDER",
                               "RED", "GREEN", "BLUE", "L", "A", "B", "IS_MTO", "NEUTRAL", "WHITE", "MOOD",
                               "SCHEME_POS", "NSCHEME_POS", PALETTRA_NUMBERED_TEXT_COLUMNS};
    return set;
}

} // namespace

void ColorEntry::load(const RowView &row)
{
    ColorEntry::reset();
    const ColumnPositions &at = row.positionsOf(columns());
    RecordFields::read(row, at[Id], id);
    if (!RecordFields::read(row, at[CollectionId], collectionId))
        qCDebug(lcDatabase, "Oops.");
    RecordFields::read(row, at[PageId], pageId);
    RecordFields::read(row, at[Code], code);
    RecordFields::readNumberedTexts(row, at, NumberedTexts, names, extras);
    RecordFields::read(row, at[Segment], segment);
    RecordFields::read(row, at[RowIndex], rowIndex);
    RecordFields::read(row, at[PageOrder], pageOrder);
    RecordFields::read(row, at[Red], red);
    RecordFields::read(row, at[Green], green);
    RecordFields::read(row, at[Blue], blue);
    RecordFields::read(row, at[L], l);
    RecordFields::read(row, at[A], a);
    RecordFields::read(row, at[B], b);
    RecordFields::readFlag(row, at[IsMto], isMto);
    RecordFields::readFlag(row, at[Neutral], neutral);
    RecordFields::readFlag(row, at[White], white);
    RecordFields::readMood(row.value(at[Mood]), mood);
    RecordFields::read(row, at[SchemePos], schemePos);
    RecordFields::read(row, at[NschemePos], nschemePos);
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
