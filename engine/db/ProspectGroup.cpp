#include "ProspectGroup.h"

#include "RecordFields.h"

namespace Vantor::DB {

ProspectGroup::ProspectGroup(const RowView &row)
{
    AbstractBase::load(row);
    RecordFields::read(row, QStringLiteral("NAME"), name);
    RecordFields::readFlag(row, QStringLiteral("DEFAULT_OPEN"), defaultOpen);
    RecordFields::read(row, QStringLiteral("ORDER"), order);
}

} // namespace Vantor::DB
