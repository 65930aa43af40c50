#include "SqlSupport.h"

#include "LogCategories.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QSqlError>
#include <QThread>
#include <QThreadPool>

namespace Vantor::DB {

struct CachedStatement
{
    QSqlQuery query;
    bool prepared = false;
    bool inUse = false;
    // The result's columns, looked up at the first run.
    ColumnIndex columns;
    bool columnsKnown = false;
};

namespace {

// Keyed by connection name and statement text. A connection's statements go before it
// is closed (a file replaced or changed under a running host).
QHash<QString, CachedStatement *> &statementCache()
{
    static auto *cache = new QHash<QString, CachedStatement *>;
    return *cache;
}

} // namespace

void logQueryError(const QSqlError &error)
{
    qCWarning(lcDatabase).noquote() << QStringLiteral("%1 : %2").arg(error.nativeErrorCode(), error.text());
}

QString statementWithValues(const QString &statement, const QVariantList &values)
{
    QString text;
    text.reserve(statement.size() + 16 * values.size());
    int next = 0;
    QChar quote;
    for (const QChar c : statement) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('?') && next < values.size()) {
            const QVariant &value = values.at(next++);
            if (value.isNull())
                text += QLatin1String("NULL");
            else if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray)
                text += QLatin1Char('\'') + value.toString().replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
            else
                text += value.toString();
            continue;
        }
        text += c;
    }
    return text;
}

void logStatement(const QString &statement, const QVariantList &values)
{
    qCDebug(lcDatabase).noquote() << statementWithValues(statement, values);
}

void logQueryError(const QSqlQuery &query)
{
    logQueryError(query.lastError());
}

PreparedStatement::PreparedStatement(const QSqlDatabase &db, const QString &statement)
{
    // The cache belongs to the interface thread, as the engine's connections do. A read
    // on another thread (through a connection of its own, removed when it is over) gets
    // a statement of its own: the cache is not shared between threads, and must keep no
    // statement of a connection that goes.
    const QCoreApplication *application = QCoreApplication::instance();
    const bool cacheable = !application || QThread::currentThread() == application->thread();
    CachedStatement *cached = nullptr;
    if (cacheable) {
        CachedStatement *&kept = statementCache()[db.connectionName() + QLatin1Char('\n') + statement];
        if (!kept)
            kept = new CachedStatement;
        cached = kept;
    }

    if (!cached || cached->inUse) {
        // On another thread, or run while its cached twin is still being read.
        m_uncached = std::make_unique<QSqlQuery>(db);
        m_uncached->setForwardOnly(true);
        m_query = m_uncached.get();
        m_prepared = m_query->prepare(statement);
        return;
    }
    // A statement that failed to prepare (the connection was not open, or the file
    // lacks a table) is tried afresh the next time.
    if (!cached->prepared) {
        cached->columnsKnown = false;
        cached->query = QSqlQuery(db);
        cached->query.setForwardOnly(true);
        cached->prepared = cached->query.prepare(statement);
    }
    cached->inUse = true;
    m_cached = cached;
    m_inUse = &cached->inUse;
    m_query = &cached->query;
    m_prepared = cached->prepared;
}

PreparedStatement::~PreparedStatement()
{
    m_query->finish();
    if (m_inUse)
        *m_inUse = false;
}

RowView PreparedStatement::row()
{
    // The columns of a statement's result are the same for all its rows and runs: look
    // them up once.
    ColumnIndex &columns = m_cached ? m_cached->columns : m_columns;
    bool &known = m_cached ? m_cached->columnsKnown : m_columnsKnown;
    if (!known) {
        columns = ColumnIndex(m_query->record());
        known = true;
    }
    return RowView(*m_query, columns);
}

bool PreparedStatement::exec(std::initializer_list<QVariant> values)
{
    if (!m_prepared)
        return false;
    int position = 0;
    for (const QVariant &value : values)
        m_query->bindValue(position++, value);
    return m_query->exec();
}

bool PreparedStatement::exec(const QVariantList &values)
{
    if (!m_prepared)
        return false;
    for (int position = 0; position < values.size(); ++position)
        m_query->bindValue(position, values.at(position));
    return m_query->exec();
}

bool withOwnConnection(const QString &databasePath, const std::function<void(const QSqlDatabase &)> &work)
{
    static QAtomicInteger<quint64> connections;
    const QString name = QStringLiteral("palettra-own-%1").arg(connections.fetchAndAddRelaxed(1));
    bool opened = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(SqlDriverName), name);
        db.setConnectOptions(QLatin1String(ReadOnlyConnectOptions));
        db.setDatabaseName(databasePath);
        opened = db.open();
        if (opened)
            work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return opened;
}

QThreadPool &backgroundReads()
{
    static QThreadPool *pool = [] {
        auto *made = new QThreadPool; // lives as long as the process, like the engine
        made->setMaxThreadCount(1);
        made->setThreadPriority(QThread::LowPriority);
        made->setObjectName(QStringLiteral("palettra background reads"));
        // Reads still running end before the application object goes.
        qAddPostRoutine([] { backgroundReads().waitForDone(); });
        return made;
    }();
    return *pool;
}

namespace {

struct ConnectionOpenings
{
    QMutex mutex;
    qint64 last = 0;
    QHash<QString, qint64> byName;
};

ConnectionOpenings &connectionOpenings()
{
    static ConnectionOpenings openings;
    return openings;
}

} // namespace

void noteConnectionOpened(const QString &connectionName)
{
    ConnectionOpenings &openings = connectionOpenings();
    const QMutexLocker locker(&openings.mutex);
    openings.byName.insert(connectionName, ++openings.last);
}

qint64 dataVersion(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA data_version")) || !query.next())
        return -1;
    qint64 opening = 0;
    {
        ConnectionOpenings &openings = connectionOpenings();
        const QMutexLocker locker(&openings.mutex);
        opening = openings.byName.value(db.connectionName());
    }
    // SQLite's counter starts afresh with each connection and stays far below 2^32.
    return (opening << 32) + (query.value(0).toLongLong() & 0xffffffff);
}

bool forgetStatementsOf(const QString &connectionName)
{
    QHash<QString, CachedStatement *> &cache = statementCache();
    const QString prefix = connectionName + QLatin1Char('\n');
    for (auto it = cache.cbegin(); it != cache.cend(); ++it) {
        if (it.key().startsWith(prefix) && it.value()->inUse)
            return false;
    }
    for (auto it = cache.begin(); it != cache.end();) {
        if (it.key().startsWith(prefix)) {
            delete it.value();
            it = cache.erase(it);
        } else {
            ++it;
        }
    }
    return true;
}

} // namespace Vantor::DB
