#pragma once

#include <QColor>
#include <QHash>
#include <QSqlQuery>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <initializer_list>

namespace Palettra::Deck {

// One colour chip to be written.
struct RowSpec
{
    int rowIndex = 1;
    QString code;
    QString name;
    int segment = 1;
    QColor rgb;
    double l = 0, a = 0, b = 0;
    int mood = 0;
    bool neutral = false;
    bool white = false;
    bool mto = false;
    QStringList names;  // NAME0.. (at most ten)
    QStringList extras; // EXTRA0.. (at most ten)
};

// Writes collection content into a database that has the complete schema. Every value
// is bound. The first failure is kept in lastError() and later calls do nothing.
class DeckWriter
{
public:
    explicit DeckWriter(QSqlDatabase db);

    qint64 addCollection(const QUuid &uuid, const QString &systemId, const QString &name, int order,
                         bool enabled = true);
    void addSetting(qint64 collectionId, const QString &name, const QVariant &value, int valueIndex = 0);
    void addSettingList(qint64 collectionId, const QString &name, const QStringList &values);
    void addText(qint64 collectionId, const QString &key, const QString &text);
    void addThemeItem(qint64 collectionId, const QString &key, const QByteArray &data);
    // Adds the card and maps it into the collection.
    qint64 addPage(qint64 collectionId, int pageIndex, int segment, const QString &name, bool exterior = false,
                   int mood = 0, const QStringList &names = {});
    void mapPage(qint64 collectionId, qint64 pageId);
    qint64 addRow(qint64 collectionId, qint64 pageId, const RowSpec &row);

    bool ok() const { return m_error.isEmpty(); }
    QString lastError() const { return m_error; }
    // Runs any statement with positional values bound in order; returns the last insert id.
    qint64 exec(const QString &statement, const QVariantList &values = {});

private:
    QSqlDatabase m_db;
    QString m_error;
    QHash<QString, QSqlQuery> m_statements;
};

// Inserts many rows into one table, a few hundred per statement: a deck's scheme maps
// run to millions of rows, and one statement per row spends most of the build in
// statement overhead. Rows keep the order in which they are added.
class RowBatch
{
public:
    RowBatch(DeckWriter &writer, const QString &table, const QStringList &columns);
    ~RowBatch();
    RowBatch(const RowBatch &) = delete;
    RowBatch &operator=(const RowBatch &) = delete;

    void add(std::initializer_list<QVariant> values);
    // Writes the rows still held; also done on destruction.
    void flush();

private:
    QString statementFor(int rows) const;

    DeckWriter &m_writer;
    QString m_table;
    QStringList m_columns;
    int m_rowsPerStatement;
    QString m_fullStatement;
    QVariantList m_pending;
};

} // namespace Palettra::Deck
