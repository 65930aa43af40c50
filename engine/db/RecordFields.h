#pragma once

// Reading one result row by column name. An absent column (or one whose value cannot be
// viewed as the wanted type) leaves the field as it was; a present NULL reads as 0 or
// the empty string.

#include <QSqlRecord>
#include <QString>
#include <QStringList>
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

// "NAME0".."NAME9" into names and "EXTRA0".."EXTRA9" into extras: always ten each, an
// absent column reading as the empty string.
void readNumberedTexts(const QSqlRecord &record, QStringList &names, QStringList &extras);

// "MOOD", kept only when it is one of the six database moods (1 to 6).
void readMood(const QSqlRecord &record, qint32 &mood);

} // namespace Vantor::DB::RecordFields
