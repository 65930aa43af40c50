#include "RecordFields.h"


namespace Vantor::DB {

ColumnSet::ColumnSet(std::initializer_list<const char *> names)
{
    m_names.reserve(names.size());
    for (const char *name : names)
        m_names.push_back(QString::fromLatin1(name));
}

ColumnIndex::ColumnIndex(const QSqlRecord &record)
{
    for (int i = record.count() - 1; i >= 0; --i)
        m_columns.insert(record.fieldName(i).toUpper(), i);
}

const ColumnPositions &ColumnIndex::positionsOf(const ColumnSet &set) const
{
    for (const auto &[known, positions] : m_positions) {
        if (known == &set)
            return positions;
    }
    ColumnPositions positions(std::size_t(set.size()));
    for (int i = 0; i < set.size(); ++i)
        positions[std::size_t(i)] = indexOf(set.name(i));
    m_positions.emplace_back(&set, std::move(positions));
    return m_positions.back().second;
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

QVariant RowView::value(int position) const
{
    if (position < 0)
        return QVariant();
    return m_record ? m_record->value(position) : m_query->value(position);
}

const ColumnPositions &RowView::positionsOf(const ColumnSet &set) const
{
    if (!m_record)
        return m_columns->positionsOf(set);
    m_recordPositions.assign(std::size_t(set.size()), -1);
    for (int i = 0; i < set.size(); ++i)
        m_recordPositions[std::size_t(i)] = m_record->indexOf(set.name(i));
    return m_recordPositions;
}

} // namespace Vantor::DB

namespace Vantor::DB::RecordFields {

void readNumberedTexts(const RowView &row, const ColumnPositions &positions, int first, QStringList &names,
                       QStringList &extras)
{
    names.clear();
    extras.clear();
    names.reserve(10);
    extras.reserve(10);
    // A NULL text of a column the result has reads as the empty string: the card
    // statements hand empty texts over as NULL.
    const auto readText = [&row](int position) {
        QString text;
        if (position >= 0 && (!read(row, position, text) || text.isNull()))
            text = QString::fromLatin1("");
        return text;
    };
    for (int i = 0; i < 10; ++i) {
        names << readText(positions[std::size_t(first + i)]);
        extras << readText(positions[std::size_t(first + 10 + i)]);
    }
}

void readMood(const QVariant &value, qint32 &mood)
{
    qint32 stored = 0;
    if (take(value, stored) && stored >= 1 && stored <= 6)
        mood = stored;
}

} // namespace Vantor::DB::RecordFields
