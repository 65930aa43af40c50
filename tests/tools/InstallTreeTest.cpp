// The installed tree: `cmake --install` into a temporary DESTDIR, then the installed
// programs run against that tree's share folder only, as a package installed under /usr
// is used.

#include "TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
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

const QString PrivateDir = QStringLiteral(PALETTRA_PRIVATE_DIR);

TEST_F(InstallTreeTest, LaysOutProgramsLibrariesDataDesktopEntryAndIcons)
{
    for (const QString &file :
         {QStringLiteral("bin/palettra"), QStringLiteral("bin/palettra-host"), QStringLiteral("bin/palettra-db"),
          PrivateDir + QStringLiteral("/OrvaTavelColorPicker.dlu"), PrivateDir + QStringLiteral("/libpalettra_win32.so"),
          PrivateDir + QStringLiteral("/Contents/Resources/help/main.html"),
          QStringLiteral("share/Orva Tavel/Palettra/SQLite/Contents/Resources/orva-demo.db"),
          QStringLiteral("share/applications/palettra.desktop"), QStringLiteral("share/metainfo/palettra.metainfo.xml"),
          QStringLiteral("share/palettra/blender/palettra_blender.zip"),
          QStringLiteral("share/doc/palettra/copyright"), QStringLiteral("share/doc/palettra/changelog.gz"),
          QStringLiteral("share/doc/palettra/README.Debian"),
          QStringLiteral("share/man/man1/palettra.1.gz"), QStringLiteral("share/man/man1/palettra-host.1.gz"),
          QStringLiteral("share/man/man1/palettra-db.1.gz")}) {
        EXPECT_TRUE(QFileInfo::exists(m_prefix + QLatin1Char('/') + file)) << file.toStdString();
    }
    // The picker is a program of bin/ itself, not a link into the library folder.
    EXPECT_FALSE(QFileInfo(m_prefix + QStringLiteral("/bin/palettra")).isSymLink());
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

    // Every program tells its version and those of the libraries it runs with.
    for (const char *program : {"bin/palettra", "bin/palettra-host", "bin/palettra-db"}) {
        const ProgramRun version = run(QLatin1String(program), {QStringLiteral("--version")});
        EXPECT_EQ(version.exitCode, 0) << program;
        EXPECT_TRUE(version.output.startsWith(QFileInfo(QLatin1String(program)).fileName() + QStringLiteral(" 4.0.0\n")))
            << version.output.toStdString();
        EXPECT_TRUE(version.output.contains(QStringLiteral("Qt 6."))) << program;
        EXPECT_TRUE(version.output.contains(QStringLiteral(", SQLite 3."))) << program;
        EXPECT_TRUE(version.output.contains(QStringLiteral(", libxml2 2."))) << program;
    }

    // The picker, started from bin/, draws its window on the demo deck.
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

    // The host simulator links no test library.
    EXPECT_FALSE(control.contains(QStringLiteral("libqt6test"))) << control.toStdString();

    const QString contents = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), package});
    for (const QString &file :
         {QStringLiteral("./usr/bin/palettra"), QStringLiteral("./usr/bin/palettra-db"), QStringLiteral("./usr/bin/palettra-host"),
          QStringLiteral("./usr/") + PrivateDir + QStringLiteral("/OrvaTavelColorPicker.dlu"),
          QStringLiteral("./usr/share/Orva Tavel/Palettra/SQLite/Contents/Resources/orva-demo.db"),
          QStringLiteral("./usr/share/applications/palettra.desktop"), QStringLiteral("./usr/share/metainfo/palettra.metainfo.xml"),
          QStringLiteral("./usr/share/man/man1/palettra-db.1.gz"), QStringLiteral("./usr/share/doc/palettra/copyright"),
          QStringLiteral("./usr/share/icons/hicolor/512x512/apps/palettra.png")})
        EXPECT_TRUE(contents.contains(file)) << file.toStdString();
    // Nothing for the dynamic loader to learn: no maintainer scripts calling ldconfig.
    const QString scripts = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-I"), package});
    EXPECT_FALSE(scripts.contains(QStringLiteral("postinst"))) << scripts.toStdString();

    // Debian's own checker finds nothing to complain of (where it is installed; CI installs it).
    if (!QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty()) {
        const QString verdict = runTool(QStringLiteral("lintian"), {QStringLiteral("--tag-display-limit"), QStringLiteral("0"), package});
        for (const QString &line : verdict.split(QLatin1Char('\n'))) {
            EXPECT_FALSE(line.startsWith(QStringLiteral("E: ")) || line.startsWith(QStringLiteral("W: "))) << line.toStdString();
        }
    }
}

// The manual pages render, and the software centres' description is valid AppStream.
TEST(DebianPackage, ManualPagesAndMetainfo)
{
    const QString man = QStandardPaths::findExecutable(QStringLiteral("man"));
    if (man.isEmpty())
        GTEST_SKIP() << "man is not installed";
    for (const char *page : {"palettra.1", "palettra-host.1", "palettra-db.1"}) {
        QProcess render;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
        render.setProcessEnvironment(environment);
        render.start(man, {QStringLiteral("-l"), QStringLiteral("--warnings"), QStringLiteral("-Tutf8"),
                           QStringLiteral(PALETTRA_SOURCE_DIR "/docs/man/") + QLatin1String(page)});
        ASSERT_TRUE(render.waitForFinished(60000));
        EXPECT_EQ(render.exitCode(), 0) << page;
        // Bold and underline come as overstrikes: the letters alone.
        const QString text = QString::fromUtf8(render.readAllStandardOutput()).remove(QRegularExpression(QStringLiteral(".\\x08")));
        EXPECT_TRUE(text.contains(QStringLiteral("SYNOPSIS"))) << page;
        EXPECT_TRUE(render.readAllStandardError().isEmpty()) << page;
        if (QLatin1String(page) == QLatin1String("palettra-db.1")) {
            for (const char *command : {"collections", "search", "code", "rgb", "nearest", "delta-e", "completions", "build",
                                        "check", "theme-sheet", "cxf", "export", "match"})
                EXPECT_TRUE(text.contains(QLatin1String(command))) << command;
        }
    }
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (!appstream.isEmpty()) {
        int status = -1;
        const QString verdict = runTool(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                    QStringLiteral(PALETTRA_SOURCE_DIR "/resources/palettra.metainfo.xml")},
                                        &status);
        EXPECT_EQ(status, 0) << verdict.toStdString();
    }
}

} // namespace
