#include "RecordFields.h"

#include <array>

namespace Vantor::DB {

ColumnIndex::ColumnIndex(const QSqlRecord &record)
{
    for (int i = record.count() - 1; i >= 0; --i)
        m_columns.insert(record.fieldName(i).toUpper(), i);
}

QVariant RowView::value(const QString &column) const
{
    if (m_record) {
        const int index = m_record->indexOf(column);
        return index < 0 ? QVariant() : m_record->value(index);
    }
    const int index = m_columns->indexOf(column);
    return index < 0 ? QVariant() : m_query->value(index);
}

} // namespace Vantor::DB

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

void readNumberedTexts(const RowView &row, QStringList &names, QStringList &extras)
{
    const NumberedColumns &columns = numberedColumns();
    names.clear();
    extras.clear();
    for (int i = 0; i < 10; ++i) {
        QString name;
        QString extra;
        read(row, columns.names[i], name);
        read(row, columns.extras[i], extra);
        names << name;
        extras << extra;
    }
}

void readMood(const RowView &row, qint32 &mood)
{
    qint32 stored = 0;
    if (read(row, QStringLiteral("MOOD"), stored) && stored >= 1 && stored <= 6)
        mood = stored;
}

} // namespace Vantor::DB::RecordFields
