#include "RecordFields.h"

#include <array>

namespace Vantor::DB::RecordFields {

namespace {

struct NumberedColumns
{
    std::array<QString, 10> names;
    std::array<QString, 10> extras;
};

const NumberedColumns &numberedColumns()
{
    static const NumberedColumns columns = [] {
        NumberedColumns built;
        for (int i = 0; i < 10; ++i) {
            built.names[i] = QStringLiteral("NAME%1").arg(i);
            built.extras[i] = QStringLiteral("EXTRA%1").arg(i);
        }
        return built;
    }();
    return columns;
}

} // namespace

void readNumberedTexts(const QSqlRecord &record, QStringList &names, QStringList &extras)
{
    const NumberedColumns &columns = numberedColumns();
    names.clear();
    extras.clear();
    for (int i = 0; i < 10; ++i) {
        QString name;
        QString extra;
        read(record, columns.names[i], name);
        read(record, columns.extras[i], extra);
        names << name;
        extras << extra;
    }
}

void readMood(const QSqlRecord &record, qint32 &mood)
{
    qint32 stored = 0;
    if (read(record, QStringLiteral("MOOD"), stored) && stored >= 1 && stored <= 6)
        mood = stored;
}

} // namespace Vantor::DB::RecordFields
