#pragma once

#include "AbstractBase.h"
#include "ProspectEntry.h"

#include <QList>
#include <QString>

namespace Vantor::DB {

// A group of the trend-forecast tab with its colours.
class ProspectGroup : public AbstractBase
{
public:
    ProspectGroup() = default;
    explicit ProspectGroup(const RowView &row);

    bool isValid() const override { return id != -1; }

    QString name;
    bool defaultOpen = false;
    qint32 order = 0;
    QList<ProspectEntry> entries;
};

} // namespace Vantor::DB
