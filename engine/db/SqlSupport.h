#pragma once

#include <QString>

class QSqlError;
class QSqlQuery;

namespace Vantor::DB {

// The engine's only log: a failed statement writes its error number, " : " and the
// error text to the debug output.
void logQueryError(const QSqlError &error);
void logQueryError(const QSqlQuery &query);

// Name of the SQL driver every connection uses.
inline constexpr const char *SqlDriverName = "QSQLITE";

// Connection options for every connection the engine opens: the engine only reads,
// and a missing file must fail to open rather than be created empty.
inline constexpr const char *ReadOnlyConnectOptions = "QSQLITE_OPEN_READONLY";

} // namespace Vantor::DB
