#pragma once

// Creating collection databases for tools and tests: the reference schema plus the
// tables, columns and indexes that browsing needs beyond it. The engine itself never
// writes a database.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace Palettra::Deck {

// Statements beyond the reference schema: the collection-page map, the numbered name
// and auxiliary columns, the made-to-order flag, product codes, the colour-scheme maps,
// and the indexes that keep every engine query independent of the collection's size.
QStringList browsingSchemaStatements();

// Creates every table of a browsable database on an open, empty connection. Returns an
// empty string on success, else the failing statement's error.
QString createCompleteSchema(QSqlDatabase &db);

// Creates (or replaces) the file and gives it the complete schema. The connection is
// removed again before returning.
QString createCompleteDatabase(const QString &path);

} // namespace Palettra::Deck
