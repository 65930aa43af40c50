#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace Palettra::Test {

namespace {
QTemporaryDir &root()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/palettra-test-XXXXXX"));
    return dir;
}
} // namespace

QString configHome()
{
    return root().filePath(QStringLiteral("config"));
}

QString dataHome()
{
    return root().filePath(QStringLiteral("data"));
}

void isolateFromUserFolders()
{
    QDir().mkpath(configHome());
    QDir().mkpath(dataHome());
    QDir().mkpath(root().filePath(QStringLiteral("home")));
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    qputenv("XDG_DATA_DIRS", dataHome().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (configHome() + QStringLiteral("/user-data")).toLocal8Bit());
    qputenv("HOME", root().filePath(QStringLiteral("home")).toLocal8Bit());
    // Offscreen unless the test names a platform of its own (drags need one with a loop).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Programs the tests start (sanitizer builds) check memory errors, not leaks.
    qputenv("ASAN_OPTIONS", "detect_leaks=0");
    const QString runtime = root().filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
}

} // namespace Palettra::Test

// The engine keeps some objects for the whole process (the application object of a
// plug-in, prepared statements): a sanitizer build checks memory errors, not those.
extern "C" __attribute__((visibility("default"), used)) const char *__asan_default_options()
{
    return "detect_leaks=0";
}
