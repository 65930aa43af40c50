#include "ProspectEntry.h"

#include "RecordFields.h"

namespace Vantor::DB {

ProspectEntry::ProspectEntry(const QSqlRecord &record)
{
    AbstractBase::load(record);
    RecordFields::read(record, QStringLiteral("ROW_ID"), rowId);
    RecordFields::read(record, QStringLiteral("NAME_1"), name1);
    RecordFields::read(record, QStringLiteral("NAME_2"), name2);
    qint32 component = 0;
    if (RecordFields::read(record, QStringLiteral("RED"), component))
        color.setRed(component);
    if (RecordFields::read(record, QStringLiteral("GREEN"), component))
        color.setGreen(component);
    if (RecordFields::read(record, QStringLiteral("BLUE"), component))
        color.setBlue(component);
    RecordFields::read(record, QStringLiteral("ORDER"), order);
}

} // namespace Vantor::DB
