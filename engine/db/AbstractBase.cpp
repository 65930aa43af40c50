#include "AbstractBase.h"

#include "RecordFields.h"

namespace Vantor::DB {

AbstractBase::~AbstractBase() = default;

void AbstractBase::reset()
{
    id = -1;
}

void AbstractBase::load(const RowView &row)
{
    reset();
    RecordFields::read(row, QStringLiteral("ID"), id);
}

} // namespace Vantor::DB
