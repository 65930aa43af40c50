// The installed tree: `cmake --install` into a temporary DESTDIR, then the installed
// programs run against that tree's share folder only, as a package installed under /usr
// is used.

#include "TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun
{
    int exitCode = -1;
    QString output;
};

class InstallTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        QProcess install;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), m_root.path());
        install.setProcessEnvironment(environment);
        install.start(QStringLiteral(PALETTRA_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(PALETTRA_BUILD_DIR), QStringLiteral("--prefix"),
                       QStringLiteral("/usr")});
        ASSERT_TRUE(install.waitForFinished(300000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
        m_prefix = m_root.path() + QStringLiteral("/usr");
    }

    // Runs an installed program with the tree's share folder as the only data folder
    // and a settings folder of its own.
    ProgramRun run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), m_prefix + QStringLiteral("/share"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Nothing from the build tree: the installed files must find each other.
        environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_config.path());
        process.start(m_prefix + QLatin1Char('/') + program, arguments);
        ProgramRun result;
        if (!process.waitForFinished(120000))
            return result;
        result.exitCode = process.exitCode();
        result.output = QString::fromUtf8(process.readAllStandardOutput());
        return result;
    }

    QTemporaryDir m_root;
    QTemporaryDir m_config;
    QString m_prefix;
};

TEST_F(InstallTreeTest, LaysOutProgramsLibrariesDataDesktopEntryAndIcons)
{
    for (const char *file : {"bin/palettra", "bin/palettra-host", "bin/palettra-db", "lib/palettra/palettra",
                             "lib/palettra/OrvaTavelColorPicker.dlu", "lib/palettra/libpalettra_win32.so",
                             "lib/palettra/Contents/Resources/help/main.html",
                             "share/Orva Tavel/Palettra/SQLite/Contents/Resources/orva-demo.db",
                             "share/applications/palettra.desktop"}) {
        EXPECT_TRUE(QFileInfo::exists(m_prefix + QLatin1Char('/') + QLatin1String(file))) << file;
    }
    EXPECT_TRUE(QFileInfo(m_prefix + QStringLiteral("/bin/palettra")).isSymLink());
    for (int size : {16, 32, 48, 64, 128, 256, 512}) {
        const QImage icon(m_prefix + QStringLiteral("/share/icons/hicolor/%1x%1/apps/palettra.png").arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
}

TEST_F(InstallTreeTest, InstalledProgramsFindTheDemoCollections)
{
    const ProgramRun collections = run(QStringLiteral("bin/palettra-db"), {QStringLiteral("collections")});
    ASSERT_EQ(collections.exitCode, 0);
    for (const char *name : {"Orva Interior", "Orva Façade", "Orva Pulvex", "Orva Accent"})
        EXPECT_TRUE(collections.output.contains(QString::fromUtf8(name))) << collections.output.toStdString();
    EXPECT_TRUE(collections.output.contains(m_prefix + QStringLiteral("/share/Orva Tavel/Palettra/SQLite")));

    const ProgramRun check = run(QStringLiteral("bin/palettra-db"),
                          {QStringLiteral("check"),
                           m_prefix + QStringLiteral("/share/Orva Tavel/Palettra/SQLite/Contents/Resources/orva-demo.db")});
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_TRUE(check.output.trimmed().endsWith(QStringLiteral("clean"))) << check.output.toStdString();

    // The picker, started through its link in bin/, draws its window on the demo deck.
    const QString picture = m_config.path() + QStringLiteral("/picker.png");
    const ProgramRun picker = run(QStringLiteral("bin/palettra"), {QStringLiteral("--screenshot"), picture});
    ASSERT_EQ(picker.exitCode, 0);
    const QImage image(picture);
    ASSERT_EQ(image.size(), QSize(800, 600));
    // The first demo collection's banner title is drawn in white on the dark header.
    int light = 0;
    for (int x = 80; x < 300; ++x) {
        if (qGray(image.pixel(x, 26)) > 200)
            ++light;
    }
    EXPECT_GT(light, 10);

    // The host simulator finds the installed plug-in without being told where it is.
    const ProgramRun host = run(QStringLiteral("bin/palettra-host"), {QStringLiteral("--modal"), QStringLiteral("--close")});
    EXPECT_EQ(host.exitCode, 0);
    EXPECT_TRUE(host.output.contains(QStringLiteral("LibInitialize 1"))) << host.output.toStdString();
}

} // namespace

namespace {

QString runTool(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(300000);
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput()) + QString::fromUtf8(process.readAllStandardError());
}

// The Debian package: its control fields, its library dependencies worked out from the
// binaries, and the installed tree under /usr.
TEST(DebianPackage, HoldsTheInstalledTreeUnderUsrWithItsDependencies)
{
    QTemporaryDir folder;
    int status = -1;
    const QString log = runTool(QStringLiteral(PALETTRA_CPACK_COMMAND),
                                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                 QStringLiteral(PALETTRA_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                                 folder.path()},
                                &status);
    ASSERT_EQ(status, 0) << log.toStdString();
    const QStringList packages = QDir(folder.path()).entryList({QStringLiteral("palettra_*.deb")});
    ASSERT_EQ(packages.size(), 1);
    const QString package = folder.path() + QLatin1Char('/') + packages.first();

    const QString control = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), package});
    EXPECT_TRUE(control.contains(QStringLiteral("Package: palettra"))) << control.toStdString();
    EXPECT_TRUE(control.contains(QStringLiteral("Version: 4.0.0")));
    EXPECT_TRUE(control.contains(QStringLiteral("Section: graphics")));
    EXPECT_TRUE(control.contains(QStringLiteral("Maintainer: ")));
    EXPECT_TRUE(control.contains(QStringLiteral("Description: paint-colour picker")));
    for (const char *dependency : {"libqt6widgets6", "libqt6sql6", "libxml2", "libqt6sql6-sqlite", "qt6-qpa-plugins"})
        EXPECT_TRUE(control.contains(QLatin1String(dependency))) << dependency;

    const QString contents = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), package});
    for (const char *file : {"./usr/bin/palettra -> ../lib/palettra/palettra", "./usr/bin/palettra-db",
                             "./usr/bin/palettra-host", "./usr/lib/palettra/OrvaTavelColorPicker.dlu",
                             "./usr/share/Orva Tavel/Palettra/SQLite/Contents/Resources/orva-demo.db",
                             "./usr/share/applications/palettra.desktop",
                             "./usr/share/icons/hicolor/512x512/apps/palettra.png"})
        EXPECT_TRUE(contents.contains(QLatin1String(file))) << file;
}

} // namespace
