#include "AbstractBase.h"

#include "RecordFields.h"

namespace Vantor::DB {

AbstractBase::~AbstractBase() = default;

void AbstractBase::reset()
{
    id = -1;
}

void AbstractBase::load(const QSqlRecord &record)
{
    reset();
    RecordFields::read(record, QStringLiteral("ID"), id);
}

} // namespace Vantor::DB
