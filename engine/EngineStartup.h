#pragma once

#include <QString>

namespace Vantor {

// Identifies the module (shared object or program) that holds the engine: any address
// inside it. The load notification of the plug-in library stores it.
using ModuleHandle = const void *;

// Start-up result codes beyond those of the collection registry.
enum StartupCode : int {
    StartupOk = 0,
    StartupNoSqlDriver = -1,
    StartupNoCollections = -3,
};

QString hostTag();                 // "3DSMax"
QString settingsApplicationName(); // "Palettra.3DSMax"
QString engineVersion();           // "4.0.0"

void setModuleHandle(ModuleHandle handle);
ModuleHandle moduleHandle();
// The handle of the module this engine is linked into.
ModuleHandle engineModuleHandle();
// The file of the module, as the dynamic loader reports it; empty when unknown.
QString modulePathOf(ModuleHandle handle);
// The absolute file of a module from the name the dynamic loader reports. For the main
// program that name is only what the program was started as (a bare name found on the
// PATH, a relative path, a link), so the program's own file stands in for it.
QString resolveModulePath(const QString &reported, const QString &mainProgram);

// The path of the plug-in file and the database folder, as start-up stored them.
QString modulePath();
QString databaseFolder();

// "<common application-data folder>/Orva Tavel/Palettra/SQLite" with native separators.
QString databaseFolderPath();

// The engine's own start-up, independent of the host: 0 or a negative code.
int startEngine(const QString &modulePath, const QString &databaseFolder);

} // namespace Vantor
