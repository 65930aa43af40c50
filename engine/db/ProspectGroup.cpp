#include "ProspectGroup.h"

#include "RecordFields.h"

namespace Vantor::DB {

ProspectGroup::ProspectGroup(const QSqlRecord &record)
{
    AbstractBase::load(record);
    RecordFields::read(record, QStringLiteral("NAME"), name);
    RecordFields::readFlag(record, QStringLiteral("DEFAULT_OPEN"), defaultOpen);
    RecordFields::read(record, QStringLiteral("ORDER"), order);
}

} // namespace Vantor::DB
