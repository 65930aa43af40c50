#pragma once

#include <QString>

namespace Vantor {

// What `--version` prints: the program and its version, then the versions of Qt, SQLite
// (as Qt's driver runs it) and libxml2 the program runs with.
QString versionReport(const QString &program);

} // namespace Vantor
