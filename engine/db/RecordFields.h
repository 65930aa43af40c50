#pragma once

// Reading one result row by column name. An absent column (or one whose value cannot be
// viewed as the wanted type) leaves the field as it was; a present NULL reads as 0 or
// the empty string.

#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <utility>
#include <vector>

namespace Vantor::DB {

// The columns one kind of record reads, by name in upper case. A record defines its set
// once, as a static; rows then hand back where each of its columns lies in a result,
// found once per statement rather than by name for every value.
class ColumnSet
{
public:
    ColumnSet(std::initializer_list<const char *> names);
    int size() const { return int(m_names.size()); }
    const QString &name(int index) const { return m_names[std::size_t(index)]; }

private:
    std::vector<QString> m_names;
};

// For each column of a set, its place in a result, or -1 when the result lacks it.
using ColumnPositions = std::vector<int>;

// Where each column of a result lies, keyed by its name in upper case; of several
// columns with one name (joined tables) the first counts. Built once per statement run,
// so rows are read without searching the column list each time.
class ColumnIndex
{
public:
    ColumnIndex() = default;
    explicit ColumnIndex(const QSqlRecord &record);
    // `column` in upper case; -1 when the result has no such column.
    int indexOf(const QString &column) const { return m_columns.value(column, -1); }
    // Where the set's columns lie, worked out at the first call for each set.
    const ColumnPositions &positionsOf(const ColumnSet &set) const;

private:
    QHash<QString, int> m_columns;
    mutable std::vector<std::pair<const ColumnSet *, ColumnPositions>> m_positions;
};

// One result row: either a record of its own or the current row of a running query.
class RowView
{
public:
    RowView(const QSqlRecord &record) // NOLINT: a record is a row
        : m_record(&record)
    {
    }
    RowView(const QSqlQuery &query, const ColumnIndex &columns)
        : m_query(&query)
        , m_columns(&columns)
    {
    }

    // The column's value; invalid when the row has no such column (names in upper case).
    QVariant value(const QString &column) const;
    // The value at a place in the row; invalid for -1.
    QVariant value(int position) const;
    // Where the set's columns lie in this row (see ColumnSet).
    const ColumnPositions &positionsOf(const ColumnSet &set) const;

private:
    const QSqlRecord *m_record = nullptr;
    const QSqlQuery *m_query = nullptr;
    const ColumnIndex *m_columns = nullptr;
    mutable ColumnPositions m_recordPositions; // of a record of its own, found on each call
};

} // namespace Vantor::DB

namespace Vantor::DB::RecordFields {

// A value into a field of that type; false (the field untouched) when it is invalid or
// cannot be viewed so.
inline bool take(const QVariant &value, qint64 &field)
{
    // The driver's own types first: they need no conversion check.
    if (value.typeId() == QMetaType::LongLong && !value.isNull()) {
        field = *static_cast<const qlonglong *>(value.constData());
        return true;
    }
    if (!value.isValid() || !value.canConvert<qlonglong>())
        return false;
    field = value.toLongLong();
    return true;
}

inline bool take(const QVariant &value, qint32 &field)
{
    if (value.typeId() == QMetaType::LongLong && !value.isNull()) {
        field = qint32(*static_cast<const qlonglong *>(value.constData()));
        return true;
    }
    if (!value.isValid() || !value.canConvert<int>())
        return false;
    field = value.toInt();
    return true;
}

inline bool take(const QVariant &value, double &field)
{
    if (value.typeId() == QMetaType::Double && !value.isNull()) {
        field = *static_cast<const double *>(value.constData());
        return true;
    }
    if (!value.isValid() || !value.canConvert<double>())
        return false;
    field = value.toDouble();
    return true;
}

inline bool take(const QVariant &value, QString &field)
{
    if (value.typeId() == QMetaType::QString) {
        field = *static_cast<const QString *>(value.constData());
        return true;
    }
    if (!value.isValid() || !value.canConvert<QString>())
        return false;
    field = value.toString();
    return true;
}

// Non-zero means true.
inline bool takeFlag(const QVariant &value, bool &field)
{
    qint64 number = 0;
    if (!take(value, number))
        return false;
    field = number != 0;
    return true;
}

template<typename Field>
bool read(const RowView &row, const QString &column, Field &field)
{
    return take(row.value(column), field);
}

inline bool readFlag(const RowView &row, const QString &column, bool &field)
{
    return takeFlag(row.value(column), field);
}

// By place in the row, as ColumnSet positions give it.
template<typename Field>
bool read(const RowView &row, int position, Field &field)
{
    return take(row.value(position), field);
}

inline bool readFlag(const RowView &row, int position, bool &field)
{
    return takeFlag(row.value(position), field);
}

// "NAME0".."NAME9" into names and "EXTRA0".."EXTRA9" into extras, from their places in
// a set's positions starting at `first`: always ten each, an absent column reading as a
// null text and a NULL one as the empty text.
void readNumberedTexts(const RowView &row, const ColumnPositions &positions, int first, QStringList &names,
                       QStringList &extras);
// The twenty names above, in that order, for a record's ColumnSet.
#define PALETTRA_NUMBERED_TEXT_COLUMNS                                                                         \
    "NAME0", "NAME1", "NAME2", "NAME3", "NAME4", "NAME5", "NAME6", "NAME7", "NAME8", "NAME9", "EXTRA0", "EXTRA1", \
        "EXTRA2", "EXTRA3", "EXTRA4", "EXTRA5", "EXTRA6", "EXTRA7", "EXTRA8", "EXTRA9"

// A "MOOD" value, kept only when it is one of the six database moods (1 to 6).
void readMood(const QVariant &value, qint32 &mood);

} // namespace Vantor::DB::RecordFields
