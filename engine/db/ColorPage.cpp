#include "ColorPage.h"

#include "RecordFields.h"

namespace Vantor::DB {

ColorPage::ColorPage()
{
    id = 0;
}

ColorPage::ColorPage(const QSqlRecord &record)
{
    ColorPage::load(record);
}

void ColorPage::load(const QSqlRecord &record)
{
    AbstractBase::load(record);
    RecordFields::read(record, QStringLiteral("PAGE_INDEX"), pageIndex);
    RecordFields::read(record, QStringLiteral("SEGMENT"), segment);
    RecordFields::readFlag(record, QStringLiteral("EXTERIOR"), exterior);
    RecordFields::readMood(record, mood);
    RecordFields::readNumberedTexts(record, names, extras);
}

QString ColorPage::name(int index) const
{
    return index >= 0 && index < names.size() ? names.at(index) : QString();
}

} // namespace Vantor::DB
