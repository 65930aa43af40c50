#include "ColorPage.h"

#include "RecordFields.h"

namespace Vantor::DB {

ColorPage::ColorPage()
{
    id = 0;
}

ColorPage::ColorPage(const RowView &row)
{
    ColorPage::load(row);
}

namespace {

// The columns a card reads, in the order of the enumeration below.
enum Column { Id, PageIndex, Segment, Exterior, Mood, NumberedTexts };

const ColumnSet &columns()
{
    static const ColumnSet set{"ID", "PAGE_INDEX", "SEGMENT", "EXTERIOR", "MOOD", PALETTRA_NUMBERED_TEXT_COLUMNS};
    return set;
}

} // namespace

void ColorPage::load(const RowView &row)
{
    AbstractBase::reset();
    const ColumnPositions &at = row.positionsOf(columns());
    RecordFields::read(row, at[Id], id);
    RecordFields::read(row, at[PageIndex], pageIndex);
    RecordFields::read(row, at[Segment], segment);
    RecordFields::readFlag(row, at[Exterior], exterior);
    RecordFields::readMood(row.value(at[Mood]), mood);
    RecordFields::readNumberedTexts(row, at, NumberedTexts, names, extras);
}

QString ColorPage::name(int index) const
{
    return index >= 0 && index < names.size() ? names.at(index) : QString();
}

} // namespace Vantor::DB
