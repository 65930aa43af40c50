#include "ProspectEntry.h"

#include "RecordFields.h"

namespace Vantor::DB {

ProspectEntry::ProspectEntry(const RowView &row)
{
    AbstractBase::load(row);
    RecordFields::read(row, QStringLiteral("ROW_ID"), rowId);
    RecordFields::read(row, QStringLiteral("NAME_1"), name1);
    RecordFields::read(row, QStringLiteral("NAME_2"), name2);
    qint32 component = 0;
    if (RecordFields::read(row, QStringLiteral("RED"), component))
        color.setRed(component);
    if (RecordFields::read(row, QStringLiteral("GREEN"), component))
        color.setGreen(component);
    if (RecordFields::read(row, QStringLiteral("BLUE"), component))
        color.setBlue(component);
    RecordFields::read(row, QStringLiteral("ORDER"), order);
}

} // namespace Vantor::DB
