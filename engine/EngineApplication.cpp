#include "EngineApplication.h"

#include "EngineStartup.h"

#include <QApplication>
#include <QLibraryInfo>

#include <dlfcn.h>

namespace Vantor {

namespace {

// Where a Windows build installs the WH_GETMESSAGE hook that lets Qt's posted events run
// inside the host's own message loop. On Linux the host's event loop is Qt's own, so
// there is nothing to hook.
void installHostMessageHook() {}

} // namespace

bool ensureApplication(ModuleHandle handle)
{
    if (QCoreApplication::instance())
        return false;

    installHostMessageHook();

    // QApplication keeps references to both: they must outlive it.
    static int argc = 0;
    static char *argv[] = {nullptr};
    new QApplication(argc, argv);

    // The application object lives in this module: keep the module loaded for good.
    const QString path = modulePathOf(handle);
    if (!path.isEmpty()) {
        const QByteArray file = path.toLocal8Bit();
        if (file.size() <= 255)
            dlopen(file.constData(), RTLD_NOW | RTLD_NODELETE);
    }
    return true;
}

int initializeEngineInHost(ModuleHandle handle, const QString &modulePath)
{
    settingsApplicationName();

    // Only the plug-ins of the Qt the engine was built against: never those of another
    // Qt that the host or the machine may carry. Set again once the application object
    // exists, since its creation adds the program's own folder.
    const QStringList pluginFolders{QLibraryInfo::path(QLibraryInfo::PluginsPath)};
    QCoreApplication::setLibraryPaths(pluginFolders);
    if (ensureApplication(handle))
        QCoreApplication::setLibraryPaths(pluginFolders);
    return startEngine(modulePath.isEmpty() ? modulePathOf(handle) : modulePath, databaseFolderPath());
}

} // namespace Vantor
