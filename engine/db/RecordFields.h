#pragma once

// Reading one result row by column name. An absent column (or one whose value cannot be
// viewed as the wanted type) leaves the field as it was; a present NULL reads as 0 or
// the empty string.

#include <QSqlRecord>
#include <QString>
#include <QVariant>

namespace Vantor::DB::RecordFields {

inline QVariant columnValue(const QSqlRecord &record, const QString &column)
{
    const int index = record.indexOf(column);
    return index < 0 ? QVariant() : record.value(index);
}

inline bool read(const QSqlRecord &record, const QString &column, qint64 &field)
{
    const QVariant value = columnValue(record, column);
    if (!value.isValid() || !value.canConvert<qlonglong>())
        return false;
    field = value.toLongLong();
    return true;
}

inline bool read(const QSqlRecord &record, const QString &column, qint32 &field)
{
    const QVariant value = columnValue(record, column);
    if (!value.isValid() || !value.canConvert<int>())
        return false;
    field = value.toInt();
    return true;
}

inline bool read(const QSqlRecord &record, const QString &column, double &field)
{
    const QVariant value = columnValue(record, column);
    if (!value.isValid() || !value.canConvert<double>())
        return false;
    field = value.toDouble();
    return true;
}

inline bool read(const QSqlRecord &record, const QString &column, QString &field)
{
    const QVariant value = columnValue(record, column);
    if (!value.isValid() || !value.canConvert<QString>())
        return false;
    field = value.toString();
    return true;
}

// Non-zero means true.
inline bool readFlag(const QSqlRecord &record, const QString &column, bool &field)
{
    qint64 number = 0;
    if (!read(record, column, number))
        return false;
    field = number != 0;
    return true;
}

} // namespace Vantor::DB::RecordFields
