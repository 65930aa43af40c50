#pragma once

#include "RecordFields.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <memory>

class QSqlError;
class QThreadPool;

namespace Vantor::DB {
struct CachedStatement;
}

namespace Vantor::DB {

// A failed statement is a warning: its error number, " : " and the error text.
void logQueryError(const QSqlError &error);
void logQueryError(const QSqlQuery &query);
// The statement as it runs, each placeholder replaced by its value (texts quoted), as
// debug detail: QT_LOGGING_RULES="palettra.db.debug=true" shows it.
void logStatement(const QString &statement, const QVariantList &values);
QString statementWithValues(const QString &statement, const QVariantList &values);

// Name of the SQL driver every connection uses.
inline constexpr const char *SqlDriverName = "QSQLITE";

// Connection options for every connection the engine opens: the engine only reads, and
// a missing file must fail to open rather than be created empty. A file that another
// program holds locked (while it writes it) is waited for a tenth of a second, not the
// driver's five: every statement runs on the user-interface thread.
inline constexpr const char *ReadOnlyConnectOptions = "QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=100";

// Runs `work` on a read-only connection of its own to the file, made and removed on the
// calling thread: what reads a large deck away from the interface thread. False when
// the file does not open.
bool withOwnConnection(const QString &databasePath, const std::function<void(const QSqlDatabase &)> &work);

// The thread that reads large decks away from the interface (completion lists, search
// indexes): one, of low priority, and not Qt's global pool, whose threads the raster
// engine borrows for large fills while the interface thread waits for them. It is
// waited for when the plug-in shuts down.
QThreadPool &backgroundReads();

// Changes when another connection has written to the file since the connection last
// looked (SQLite's data_version), and with every new opening of a named connection (a
// file replaced under the same name starts counting again); -1 when it cannot be read.
// What is derived from a file and kept is checked against it: the engine only reads,
// but tools, tests and a maker's update may write.
qint64 dataVersion(const QSqlDatabase &db);
// Notes that the named connection was opened (again) on its file.
void noteConnectionOpened(const QString &connectionName);
// Drops the prepared statements kept for the named connection, before it is closed.
// False (and nothing dropped) while one of them is being read up the stack.
bool forgetStatementsOf(const QString &connectionName);

// A statement prepared once per connection and kept for the process: panels run the
// same few statements at every paint, so they are not compiled again each time. Every
// value is bound, in order, to the statement's placeholders. The statement is reset
// when this object goes away, so no read stays open between calls.
class PreparedStatement
{
public:
    PreparedStatement(const QSqlDatabase &db, const QString &statement);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement &) = delete;
    PreparedStatement &operator=(const PreparedStatement &) = delete;

    // False when the statement cannot be prepared or run; the error is then in query().
    bool exec(std::initializer_list<QVariant> values);
    bool exec(const QVariantList &values);
    QSqlQuery &query() { return *m_query; }
    // False when the statement could not be prepared (a missing table or column).
    bool isPrepared() const { return m_prepared; }
    // The current row of the running query, read by column name.
    RowView row();

private:
    CachedStatement *m_cached = nullptr;
    ColumnIndex m_columns; // of a statement run outside the cache
    bool m_columnsKnown = false;
    QSqlQuery *m_query = nullptr;
    std::unique_ptr<QSqlQuery> m_uncached; // when the cached one is already in use
    bool *m_inUse = nullptr;
    bool m_prepared = false;
};

} // namespace Vantor::DB
