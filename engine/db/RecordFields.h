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

namespace Vantor::DB {

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

private:
    QHash<QString, int> m_columns;
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

private:
    const QSqlRecord *m_record = nullptr;
    const QSqlQuery *m_query = nullptr;
    const ColumnIndex *m_columns = nullptr;
};

} // namespace Vantor::DB

namespace Vantor::DB::RecordFields {

inline bool read(const RowView &row, const QString &column, qint64 &field)
{
    const QVariant value = row.value(column);
    if (!value.isValid() || !value.canConvert<qlonglong>())
        return false;
    field = value.toLongLong();
    return true;
}

inline bool read(const RowView &row, const QString &column, qint32 &field)
{
    const QVariant value = row.value(column);
    if (!value.isValid() || !value.canConvert<int>())
        return false;
    field = value.toInt();
    return true;
}

inline bool read(const RowView &row, const QString &column, double &field)
{
    const QVariant value = row.value(column);
    if (!value.isValid() || !value.canConvert<double>())
        return false;
    field = value.toDouble();
    return true;
}

inline bool read(const RowView &row, const QString &column, QString &field)
{
    const QVariant value = row.value(column);
    if (!value.isValid() || !value.canConvert<QString>())
        return false;
    field = value.toString();
    return true;
}

// Non-zero means true.
inline bool readFlag(const RowView &row, const QString &column, bool &field)
{
    qint64 number = 0;
    if (!read(row, column, number))
        return false;
    field = number != 0;
    return true;
}

// "NAME0".."NAME9" into names and "EXTRA0".."EXTRA9" into extras: always ten each, an
// absent column reading as the empty string.
void readNumberedTexts(const RowView &row, QStringList &names, QStringList &extras);

// "MOOD", kept only when it is one of the six database moods (1 to 6).
void readMood(const RowView &row, qint32 &mood);

} // namespace Vantor::DB::RecordFields
