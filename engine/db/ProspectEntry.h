#pragma once

#include "AbstractBase.h"

#include <QColor>
#include <QString>

namespace Vantor::DB {

// One colour of a trend group; it may stand for a catalogue colour (rowId).
class ProspectEntry : public AbstractBase
{
public:
    ProspectEntry() = default;
    explicit ProspectEntry(const RowView &row);

    bool isValid() const override { return id != -1; }

    qint64 rowId = 0;
    QString name1;
    QString name2;
    QColor color;
    qint32 order = 0;
};

} // namespace Vantor::DB
