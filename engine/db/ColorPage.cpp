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

void ColorPage::load(const RowView &row)
{
    AbstractBase::load(row);
    RecordFields::read(row, QStringLiteral("PAGE_INDEX"), pageIndex);
    RecordFields::read(row, QStringLiteral("SEGMENT"), segment);
    RecordFields::readFlag(row, QStringLiteral("EXTERIOR"), exterior);
    RecordFields::readMood(row, mood);
    RecordFields::readNumberedTexts(row, names, extras);
}

QString ColorPage::name(int index) const
{
    return index >= 0 && index < names.size() ? names.at(index) : QString();
}

} // namespace Vantor::DB
