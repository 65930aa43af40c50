#include "TestDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineApplication.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLibraryInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Vantor;

namespace {

const QUuid Interior("{a1a1a1a1-0000-4000-8000-000000000001}");
const QUuid Exterior("{a1a1a1a1-0000-4000-8000-000000000002}");

// Lays out a database folder below the test's data folder, as a paint maker's installer
// would, with two collections (Exterior shown first).
void installCollections()
{
    Palettra::Test::TestDeck deck(databaseFolderPath(), QStringLiteral("colours.db"));
    const qint64 interior = deck.writer().addCollection(Interior, QStringLiteral("INT"), QStringLiteral("Interior"), 2);
    deck.writer().addCollection(Exterior, QStringLiteral("EXT"), QStringLiteral("Exterior"), 1);
    deck.writer().addSettingList(interior, QStringLiteral("row.name.display.order"), {QStringLiteral("1"), QStringLiteral("0")});
    ASSERT_TRUE(deck.writer().ok()) << deck.writer().lastError().toStdString();
}

TEST(EngineStartup, DatabaseFolderFollowsTheCommonDataFolder)
{
    EXPECT_EQ(databaseFolderPath(), Palettra::Test::dataHome() + QStringLiteral("/Orva Tavel/Palettra/SQLite"));
}

TEST(EngineStartup, NamesAndVersion)
{
    EXPECT_EQ(hostTag(), QStringLiteral("3DSMax"));
    EXPECT_EQ(settingsApplicationName(), QStringLiteral("Palettra.3DSMax"));
    EXPECT_EQ(engineVersion(), QStringLiteral("4.0.0"));
}

TEST(EngineStartup, EnsureApplicationCreatesTheObjectOnlyOnce)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_TRUE(ensureApplication(engineModuleHandle()));
    ASSERT_NE(qobject_cast<QApplication *>(QCoreApplication::instance()), nullptr);
    QCoreApplication *first = QCoreApplication::instance();
    EXPECT_FALSE(ensureApplication(engineModuleHandle()));
    EXPECT_EQ(QCoreApplication::instance(), first);
}

TEST(EngineStartup, AnExistingApplicationIsUsed)
{
    int argc = 1;
    char name[] = "host";
    char *argv[] = {name, nullptr};
    QApplication hostApplication(argc, argv);
    installCollections();

    EXPECT_EQ(initializeEngineInHost(engineModuleHandle()), StartupOk);
    EXPECT_EQ(QCoreApplication::instance(), &hostApplication);
}

TEST(EngineStartup, ModulePathNamesTheFileHoldingTheEngine)
{
    const QString path = modulePathOf(engineModuleHandle());
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isAbsolute());
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_TRUE(modulePathOf(nullptr).isEmpty());
}

// A program started through a link or by a bare name on the PATH is reported by that
// name: the module path is its real file all the same, so that the help page beside it
// is found.
TEST(EngineStartup, ModulePathOfTheProgramIsItsRealFile)
{
    QTemporaryDir dir;
    const QString program = dir.path() + QStringLiteral("/lib/palettra/palettra");
    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/lib/palettra")));
    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/bin")));
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString link = dir.path() + QStringLiteral("/bin/palettra");
    ASSERT_TRUE(QFile::link(QStringLiteral("../lib/palettra/palettra"), link));
    const QString real = QFileInfo(program).canonicalFilePath();

    EXPECT_EQ(resolveModulePath(QStringLiteral("palettra"), real), real);
    EXPECT_EQ(resolveModulePath(link, real), real);
    EXPECT_EQ(resolveModulePath(QString(), real), real);
    // A plug-in is where it was loaded from.
    const QString plugin = dir.path() + QStringLiteral("/lib/palettra/OrvaTavelColorPicker.dlu");
    EXPECT_EQ(resolveModulePath(plugin, real), plugin);
}

TEST(EngineStartup, NoCollectionsFailsWithMinusThree)
{
    EXPECT_EQ(initializeEngineInHost(engineModuleHandle()), StartupNoCollections);
    // What start-up set up before failing stays in place.
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(QCoreApplication::libraryPaths(), QStringList{QLibraryInfo::path(QLibraryInfo::PluginsPath)});
    EXPECT_EQ(databaseFolder(), databaseFolderPath());
}

TEST(EngineStartup, StartsOnTheCollectionsAndRegistersResources)
{
    ensureApplication(engineModuleHandle());
    installCollections();
    ASSERT_EQ(initializeEngineInHost(engineModuleHandle()), StartupOk);

    EXPECT_EQ(modulePath(), modulePathOf(engineModuleHandle()));
    EXPECT_EQ(DB::CollectionRegistry::instance().orderedCollectionUuids(), (QList<QUuid>{Exterior, Interior}));
    for (int size : {16, 32, 48, 64, 128, 256, 512}) {
        const QImage icon(QStringLiteral(":/image/ui/icon_%1.png").arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
}

TEST(EngineStartup, FirstStartInAHostProcessShowsTheFirstCollection)
{
    ensureApplication(engineModuleHandle());
    installCollections();
    // First run ever: no process id stored.
    ASSERT_EQ(hostApplicationPid(), 0);
    ASSERT_EQ(startEngine(QStringLiteral("/opt/max/plugin.dlu"), databaseFolderPath()), StartupOk);
    EXPECT_EQ(lastUsedCollection(), Exterior);
    EXPECT_EQ(hostApplicationPid(), QCoreApplication::applicationPid());
}

TEST(EngineStartup, StartingAgainInTheSameProcessKeepsTheUsersChoice)
{
    ensureApplication(engineModuleHandle());
    installCollections();
    ASSERT_EQ(startEngine(QString(), databaseFolderPath()), StartupOk);
    setLastUsedCollection(Interior);

    ASSERT_EQ(startEngine(QString(), databaseFolderPath()), StartupOk);
    EXPECT_EQ(lastUsedCollection(), Interior);
    // The order lists of the shown collection were loaded.
    EXPECT_EQ(DB::rowNameDisplayOrder(), (QVector<int>{1, 0}));
}

TEST(EngineStartup, ANewHostProcessResetsTheCollection)
{
    ensureApplication(engineModuleHandle());
    installCollections();
    setLastUsedCollection(Interior);
    setHostApplicationPid(QCoreApplication::applicationPid() + 1);

    ASSERT_EQ(startEngine(QString(), databaseFolderPath()), StartupOk);
    EXPECT_EQ(lastUsedCollection(), Exterior);
    EXPECT_EQ(hostApplicationPid(), QCoreApplication::applicationPid());
}

TEST(EngineStartup, AMissingFolderFailsWithoutTouchingTheState)
{
    ensureApplication(engineModuleHandle());
    EXPECT_EQ(startEngine(QString(), QStringLiteral("/nonexistent/folder")), StartupNoCollections);
    EXPECT_EQ(hostApplicationPid(), 0);
    EXPECT_TRUE(lastUsedCollection().isNull());
}

} // namespace
