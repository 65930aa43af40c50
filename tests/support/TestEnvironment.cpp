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
    qputenv("HOME", root().filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString runtime = root().filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
}

} // namespace Palettra::Test
