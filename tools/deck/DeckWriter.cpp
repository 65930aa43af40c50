#include "DeckWriter.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace Palettra::Deck {

namespace {
// Text columns are NOT NULL: an unset text is written as the empty string.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}
} // namespace

DeckWriter::DeckWriter(QSqlDatabase db)
    : m_db(std::move(db))
{
}

qint64 DeckWriter::exec(const QString &statement, const QVariantList &values)
{
    if (!ok())
        return -1;
    // A deck writes the same few statements hundreds of thousands of times: each is
    // prepared once.
    auto prepared = m_statements.find(statement);
    if (prepared == m_statements.end()) {
        QSqlQuery query(m_db);
        if (!query.prepare(statement)) {
            m_error = QStringLiteral("%1: %2").arg(statement, query.lastError().text());
            return -1;
        }
        prepared = m_statements.insert(statement, query);
    }
    QSqlQuery &query = *prepared;
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec()) {
        m_error = QStringLiteral("%1: %2").arg(statement, query.lastError().text());
        return -1;
    }
    return query.lastInsertId().toLongLong();
}

qint64 DeckWriter::addCollection(const QUuid &uuid, const QString &systemId, const QString &name, int order,
                                 bool enabled)
{
    const qint64 id = exec(QStringLiteral("INSERT INTO COLLECTION(UUID, SYSTEMID, VERSION, NAME, \"ORDER\") "
                                          "VALUES(?, ?, 1, ?, ?)"),
                           {uuid.toString(), systemId, name, order});
    addSetting(id, QStringLiteral("collection.name"), name);
    addSetting(id, QStringLiteral("collection.enabled"), enabled ? 1 : 0);
    return id;
}

void DeckWriter::addSetting(qint64 collectionId, const QString &name, const QVariant &value, int valueIndex)
{
    exec(QStringLiteral("INSERT INTO SETTING(COLLECTION_ID, NAME, VALUE, VALUE_INDEX) VALUES(?, ?, ?, ?)"),
         {collectionId, name, value, valueIndex});
}

void DeckWriter::addSettingList(qint64 collectionId, const QString &name, const QStringList &values)
{
    for (int i = 0; i < values.size(); ++i)
        addSetting(collectionId, name, values.at(i), i);
}

void DeckWriter::addText(qint64 collectionId, const QString &key, const QString &text)
{
    exec(QStringLiteral("INSERT INTO LOCALE(COLLECTION_ID, LOCALE, \"KEY\", STRING) VALUES(?, 'en', ?, ?)"),
         {collectionId, key, text});
}

void DeckWriter::addThemeItem(qint64 collectionId, const QString &key, const QByteArray &data)
{
    exec(QStringLiteral("INSERT INTO THEME(COLLECTION_ID, ITEM_KEY, ITEM_DATA) VALUES(?, ?, ?)"),
         {collectionId, key, data});
}

qint64 DeckWriter::addPage(qint64 collectionId, int pageIndex, int segment, const QString &name, bool exterior,
                           int mood, const QStringList &names)
{
    QString columns = QStringLiteral("COLLECTION_ID, PAGE_INDEX, SEGMENT, NAME, EXTERIOR, MOOD");
    QString marks = QStringLiteral("?, ?, ?, ?, ?, ?");
    QVariantList values{collectionId, pageIndex, segment, name, exterior ? 1 : 0, mood};
    for (int i = 0; i < names.size() && i < 10; ++i) {
        columns += QStringLiteral(", NAME%1").arg(i);
        marks += QStringLiteral(", ?");
        values << text(names.at(i));
    }
    const qint64 id = exec(QStringLiteral("INSERT INTO PAGE(%1) VALUES(%2)").arg(columns, marks), values);
    mapPage(collectionId, id);
    return id;
}

void DeckWriter::mapPage(qint64 collectionId, qint64 pageId)
{
    exec(QStringLiteral("INSERT INTO COLLECTION_PAGE_MAP(COLLECTION_ID, PAGE_ID) VALUES(?, ?)"), {collectionId, pageId});
}

qint64 DeckWriter::addRow(qint64 collectionId, qint64 pageId, const RowSpec &row)
{
    QString columns = QStringLiteral("COLLECTION_ID, PAGE_ID, ROW_INDEX, CODE, NAME, SEGMENT, RED, GREEN, BLUE, "
                                     "L, A, B, NEUTRAL, WHITE, MOOD, IS_MTO");
    QString marks = QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?");
    QVariantList values{collectionId, pageId, row.rowIndex, text(row.code), text(row.name), row.segment,
                        row.rgb.red(), row.rgb.green(), row.rgb.blue(), row.l, row.a, row.b,
                        row.neutral ? 1 : 0, row.white ? 1 : 0, row.mood, row.mto ? 1 : 0};
    for (int i = 0; i < row.names.size() && i < 10; ++i) {
        columns += QStringLiteral(", NAME%1").arg(i);
        marks += QStringLiteral(", ?");
        values << text(row.names.at(i));
    }
    for (int i = 0; i < row.extras.size() && i < 10; ++i) {
        columns += QStringLiteral(", EXTRA%1").arg(i);
        marks += QStringLiteral(", ?");
        values << text(row.extras.at(i));
    }
    return exec(QStringLiteral("INSERT INTO \"ROW\"(%1) VALUES(%2)").arg(columns, marks), values);
}

RowBatch::RowBatch(DeckWriter &writer, const QString &table, const QStringList &columns)
    : m_writer(writer)
    , m_table(table)
    , m_columns(columns)
    // Within the 999 bound values of older SQLite builds.
    , m_rowsPerStatement(std::max(1, std::min(200, 999 / int(std::max<qsizetype>(1, columns.size())))))
{
    m_pending.reserve(m_rowsPerStatement * columns.size());
    m_fullStatement = statementFor(m_rowsPerStatement);
}

RowBatch::~RowBatch()
{
    flush();
}

void RowBatch::add(std::initializer_list<QVariant> values)
{
    Q_ASSERT(qsizetype(values.size()) == m_columns.size());
    for (const QVariant &value : values)
        m_pending.append(value);
    if (m_pending.size() == m_rowsPerStatement * m_columns.size())
        flush();
}

void RowBatch::flush()
{
    if (m_pending.isEmpty())
        return;
    const int rows = int(m_pending.size() / m_columns.size());
    m_writer.exec(rows == m_rowsPerStatement ? m_fullStatement : statementFor(rows), m_pending);
    m_pending.clear();
}

QString RowBatch::statementFor(int rows) const
{
    QStringList quoted;
    for (const QString &column : m_columns)
        quoted << QLatin1Char('"') + column + QLatin1Char('"');
    const QString row = QLatin1Char('(') + QStringList(m_columns.size(), QStringLiteral("?")).join(QLatin1String(", "))
        + QLatin1Char(')');
    return QStringLiteral("INSERT INTO \"%1\"(%2) VALUES").arg(m_table, quoted.join(QLatin1String(", ")))
        + QStringList(rows, row).join(QLatin1String(", "));
}

} // namespace Palettra::Deck
