#pragma once

#include "RecordFields.h"

#include <QtGlobal>

namespace Vantor::DB {

// Base of every record: an id (-1 = no record) and loading from one result row.
class AbstractBase
{
public:
    AbstractBase() = default;
    AbstractBase(const AbstractBase &) = default;
    AbstractBase &operator=(const AbstractBase &) = default;
    virtual ~AbstractBase();

    virtual bool isValid() const = 0;
    virtual void reset();
    virtual void load(const RowView &row);

    qint64 id = -1;
};

} // namespace Vantor::DB
