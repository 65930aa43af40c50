#include "EngineStartup.h"

#include "PersistentState.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>

#include <dlfcn.h>
#include <libxml/xmlversion.h>

static void initPalettraResources()
{
    // The resource tree is compiled into a static library: it must be named once to be
    // linked in and registered.
    Q_INIT_RESOURCE(palettra);
}

namespace Vantor {

namespace {

struct EngineState
{
    ModuleHandle moduleHandle = nullptr;
    QString settingsApplicationName;
    QString modulePath;
    QString databaseFolder;
};

EngineState &engineState()
{
    static EngineState state;
    return state;
}

// The engine's XML library must be at least the version it was built for; a mismatch is
// reported by the library itself and does not stop start-up.
void checkXmlLibraryVersion()
{
    xmlCheckVersion(20900);
}

} // namespace

QString hostTag()
{
    return QStringLiteral("3DSMax");
}

QString settingsApplicationName()
{
    EngineState &state = engineState();
    if (state.settingsApplicationName.isEmpty()) {
        state.settingsApplicationName = QStringLiteral("Palettra");
        if (!hostTag().isEmpty())
            state.settingsApplicationName += QLatin1Char('.') + hostTag();
    }
    return state.settingsApplicationName;
}

QString engineVersion()
{
    return QStringLiteral("4.0.0");
}

void setModuleHandle(ModuleHandle handle)
{
    engineState().moduleHandle = handle;
}

ModuleHandle moduleHandle()
{
    return engineState().moduleHandle;
}

ModuleHandle engineModuleHandle()
{
    return reinterpret_cast<ModuleHandle>(&engineModuleHandle);
}

QString modulePathOf(ModuleHandle handle)
{
    if (!handle)
        return QString();
    Dl_info info{};
    if (dladdr(handle, &info) == 0 || !info.dli_fname)
        return QString();
    return resolveModulePath(QString::fromLocal8Bit(info.dli_fname),
                             QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
}

QString resolveModulePath(const QString &reported, const QString &mainProgram)
{
    if (reported.isEmpty())
        return mainProgram;
    // Shared objects are reported with the path they were loaded from; a name without
    // a folder can only be the program itself.
    if (!reported.contains(QLatin1Char('/')))
        return mainProgram;
    const QFileInfo file(reported);
    if (!mainProgram.isEmpty() && file.canonicalFilePath() == mainProgram)
        return mainProgram;
    return file.absoluteFilePath();
}

QString modulePath()
{
    return engineState().modulePath;
}

QString databaseFolder()
{
    return engineState().databaseFolder;
}

QString databaseFolderPath()
{
    QString path = QStringLiteral("%1%2Orva Tavel%2Palettra%2SQLite").arg(DB::commonAppDataFolder());
    return path.replace(QLatin1String("%2"), QString(QDir::separator()));
}

int startEngine(const QString &modulePath, const QString &databaseFolder)
{
    initPalettraResources();

    EngineState &state = engineState();
    state.modulePath = modulePath;
    state.databaseFolder = databaseFolder;
    auto &registry = DB::CollectionRegistry::instance();
    registry.setBaseFolder(databaseFolder);

    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return StartupNoSqlDriver;

    const int available = registry.checkCollectionsAvailable();
    if (available < 0)
        return available;
    if (available == 2)
        return StartupNoCollections;

    const QList<QUuid> collections = registry.orderedCollectionUuids();
    if (collections.isEmpty())
        return StartupNoCollections;

    // The first start inside a host process shows the first collection; starting again in
    // the same process keeps the user's choice.
    const qint64 pid = QCoreApplication::applicationPid();
    if (hostApplicationPid() != pid) {
        setLastUsedCollection(collections.first());
        setHostApplicationPid(pid);
    }

    DB::loadOrderLists(lastUsedCollection());
    checkXmlLibraryVersion();
    return StartupOk;
}

} // namespace Vantor
