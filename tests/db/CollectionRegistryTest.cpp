#include "TestDeck.h"
#include "TestEnvironment.h"

#include "engine/db/Collection.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/SharedTypes.h"
#include "engine/db/StatusCodes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

using namespace Vantor;
using namespace Vantor::DB;
using Palettra::Test::TestDeck;

namespace {

const QUuid InteriorUuid("{6b1f6a52-64a4-4c53-9f0e-0b7a4e6f0a01}");
const QUuid ExteriorUuid("{6b1f6a52-64a4-4c53-9f0e-0b7a4e6f0a02}");
const QUuid DisabledUuid("{6b1f6a52-64a4-4c53-9f0e-0b7a4e6f0a03}");

class CollectionRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_base.isValid());
        registry().setBaseFolder(m_base.path());
    }

    static CollectionRegistry &registry() { return CollectionRegistry::instance(); }

    QString base() const { return m_base.path(); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QDir().mkpath(Palettra::Test::resourcesFolder(base()));
        QFile file(Palettra::Test::resourcesFolder(base()) + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_base;
};

TEST_F(CollectionRegistryTest, RegistersEnabledCollectionsAndTheVirtualOne)
{
    TestDeck deck(base(), QStringLiteral("deck.db"));
    deck.writer().addCollection(InteriorUuid, QStringLiteral("INT"), QStringLiteral("Interior"), 2);
    deck.writer().addCollection(ExteriorUuid, QStringLiteral("EXT"), QStringLiteral("Exterior"), 1);
    deck.writer().addCollection(DisabledUuid, QStringLiteral("OFF"), QStringLiteral("Disabled"), 3, false);
    ASSERT_TRUE(deck.writer().ok()) << deck.writer().lastError().toStdString();
    deck.close();

    EXPECT_EQ(registry().checkCollectionsAvailable(), 1);
    const QList<QUuid> ordered = registry().orderedCollectionUuids();
    ASSERT_EQ(ordered.size(), 2);
    EXPECT_EQ(ordered.at(0), ExteriorUuid);
    EXPECT_EQ(ordered.at(1), InteriorUuid);
    EXPECT_FALSE(ordered.contains(SystemWideCollectionUuid));

    const CollectionLocation location = registry().collectionLocation(InteriorUuid);
    EXPECT_EQ(location.uuid, InteriorUuid);
    EXPECT_EQ(location.systemId, QStringLiteral("INT"));
    EXPECT_EQ(location.order, 2);
    EXPECT_EQ(QFileInfo(location.databasePath).canonicalFilePath(), QFileInfo(deck.path()).canonicalFilePath());
    EXPECT_GT(location.id, 0);
    EXPECT_EQ(registry().collectionId(InteriorUuid), location.id);
    EXPECT_EQ(registry().collectionId(SystemWideCollectionUuid), 0);

    // Not enabled: unknown even after the second enumeration that openCollection runs.
    EXPECT_EQ(registry().collectionId(DisabledUuid), -1);
    EXPECT_EQ(registry().openCollection(DisabledUuid), StatusUnknownCollection);
    EXPECT_EQ(registry().openCollection(InteriorUuid), StatusOk);
    EXPECT_TRUE(registry().connection(InteriorUuid).isOpen());
}

TEST_F(CollectionRegistryTest, OpenCollectionStatusCodes)
{
    EXPECT_EQ(registry().openCollection(QUuid()), StatusNullUuid);
    EXPECT_EQ(registry().openCollection(InteriorUuid), StatusUnknownCollection);

    {
        TestDeck deck(base(), QStringLiteral("deck.db"));
        deck.writer().addCollection(InteriorUuid, QStringLiteral("INT"), QStringLiteral("Interior"), 1);
        ASSERT_TRUE(deck.writer().ok());
    }
    // Found by the enumeration that an unknown UUID triggers.
    EXPECT_EQ(registry().openCollection(InteriorUuid), StatusOk);
    EXPECT_EQ(registry().openCollection(InteriorUuid), StatusOk);
    // Still unknown while the files stay as they are; found once a file brings it.
    EXPECT_EQ(registry().openCollection(ExteriorUuid), StatusUnknownCollection);
    {
        TestDeck deck(base(), QStringLiteral("later.db"));
        deck.writer().addCollection(ExteriorUuid, QStringLiteral("EXT"), QStringLiteral("Exterior"), 2);
        ASSERT_TRUE(deck.writer().ok());
    }
    EXPECT_EQ(registry().openCollection(ExteriorUuid), StatusOk);
}

TEST_F(CollectionRegistryTest, AFileThatVanishedAfterEnumerationCannotBeOpened)
{
    QString path;
    {
        TestDeck deck(base(), QStringLiteral("deck.db"));
        deck.writer().addCollection(InteriorUuid, QStringLiteral("INT"), QStringLiteral("Interior"), 1);
        path = deck.path();
    }
    ASSERT_EQ(registry().checkCollectionsAvailable(), 1);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(registry().openCollection(InteriorUuid), StatusCannotOpen);
    // The engine only reads: it must not have created an empty file in its place.
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(CollectionRegistryTest, FirstFileListedWinsForADuplicateUuid)
{
    {
        TestDeck first(base(), QStringLiteral("a.db"));
        first.writer().addCollection(InteriorUuid, QStringLiteral("INT"), QStringLiteral("In A"), 1);
        TestDeck second(base(), QStringLiteral("b.db"));
        second.writer().addCollection(InteriorUuid, QStringLiteral("INT"), QStringLiteral("In B"), 1);
        ASSERT_TRUE(first.writer().ok());
        ASSERT_TRUE(second.writer().ok());
    }
    // The first by name, whatever order the file system lists them in.
    ASSERT_EQ(registry().checkCollectionsAvailable(), 1);
    const QString expected = Palettra::Test::resourcesFolder(base()) + QStringLiteral("/a.db");
    EXPECT_EQ(QFileInfo(registry().collectionLocation(InteriorUuid).databasePath), QFileInfo(expected));
    EXPECT_EQ(QFileInfo(registry().collectionLocation(SystemWideCollectionUuid).databasePath), QFileInfo(expected));
    EXPECT_EQ(registry().orderedCollectionUuids().size(), 1);
}

TEST_F(CollectionRegistryTest, EqualOrdersInTwoFilesAreBothListedByFileName)
{
    // UNQ_ORDER forbids equal orders within one file; two files can still collide. The
    // file that sorts first by name is written second, so file-system order would differ.
    TestDeck later(base(), QStringLiteral("b-other.db"));
    later.writer().addCollection(InteriorUuid, QStringLiteral("INT"), QStringLiteral("Interior"), 5);
    later.writer().addCollection(ExteriorUuid, QStringLiteral("EXT"), QStringLiteral("Exterior"), 1);
    later.close();
    TestDeck first(base(), QStringLiteral("a-deck.db"));
    const QUuid accent(QStringLiteral("{00000000-0000-0000-0000-0000000000a5}"));
    first.writer().addCollection(accent, QStringLiteral("ACC"), QStringLiteral("Accent"), 5);
    first.close();

    ASSERT_EQ(registry().checkCollectionsAvailable(), 1);
    EXPECT_EQ(registry().orderedCollectionUuids(), (QList<QUuid>{ExteriorUuid, accent, InteriorUuid}));
    // The first file by name answers for the virtual collection.
    EXPECT_TRUE(registry().collectionLocation(SystemWideCollectionUuid).databasePath.endsWith(QLatin1String("/a-deck.db")));
}

TEST_F(CollectionRegistryTest, ForeignAndBrokenFilesAreSkipped)
{
    writeFile(QStringLiteral("empty.db"), QByteArray());
    writeFile(QStringLiteral("text.db"), QByteArray("this is not a database\n").repeated(100));
    writeFile(QStringLiteral("random.db"), QByteArray(4096, '\xA5'));
    {
        // A real SQLite file without a COLLECTION table.
        const QString path = Palettra::Test::resourcesFolder(base()) + QStringLiteral("/foreign.db");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE THINGS (ID integer)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));

    QString goodPath;
    {
        TestDeck deck(base(), QStringLiteral("good.db"));
        deck.writer().addCollection(InteriorUuid, QStringLiteral("INT"), QStringLiteral("Interior"), 1);
        goodPath = deck.path();
    }
    // A truncated copy of a real database.
    QFile good(goodPath);
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    writeFile(QStringLiteral("truncated.db"), good.read(good.size() / 3));

    EXPECT_EQ(registry().checkCollectionsAvailable(), 1);
    EXPECT_EQ(registry().orderedCollectionUuids(), QList<QUuid>{InteriorUuid});
    EXPECT_EQ(registry().collectionLocation(InteriorUuid).databasePath, QFileInfo(goodPath).absoluteFilePath());
}

TEST_F(CollectionRegistryTest, NoResourcesFolderMeansNoCollections)
{
    EXPECT_EQ(registry().checkCollectionsAvailable(), 2);
    EXPECT_TRUE(registry().orderedCollectionUuids().isEmpty());

    QDir().mkpath(Palettra::Test::resourcesFolder(base()));
    EXPECT_EQ(registry().checkCollectionsAvailable(), 2);
}

TEST_F(CollectionRegistryTest, PathsDifferingInCaseAreOtherConnections)
{
    EXPECT_NE(CollectionRegistry::connectionName(QStringLiteral("/Data/Deck.DB")),
              CollectionRegistry::connectionName(QStringLiteral("/data/deck.db")));
}

TEST_F(CollectionRegistryTest, FindBySystemIdIgnoresCaseAndLeavesOutputOnFailure)
{
    TestDeck deck(base(), QStringLiteral("deck.db"));
    deck.writer().addCollection(InteriorUuid, QStringLiteral("IntDeck"), QStringLiteral("Interior"), 1);
    deck.close();
    ASSERT_EQ(registry().checkCollectionsAvailable(), 1);

    QUuid found;
    EXPECT_EQ(registry().findCollectionBySystemId(QStringLiteral("INTDECK"), found), StatusOk);
    EXPECT_EQ(found, InteriorUuid);

    QUuid untouched = ExteriorUuid;
    EXPECT_EQ(registry().findCollectionBySystemId(QStringLiteral("nothing"), untouched), StatusQueryFailed);
    EXPECT_EQ(untouched, ExteriorUuid);
}

TEST_F(CollectionRegistryTest, LoadCollectionReadsItsRow)
{
    TestDeck deck(base(), QStringLiteral("deck.db"));
    deck.writer().addCollection(InteriorUuid, QStringLiteral("INT"), QStringLiteral("Interior Colours"), 4);
    deck.close();

    QSharedPointer<Collection> collection = QSharedPointer<Collection>::create();
    EXPECT_EQ(loadCollection(ExteriorUuid, collection), StatusUnknownCollection);
    EXPECT_TRUE(collection.isNull());

    ASSERT_EQ(loadCollection(InteriorUuid, collection), StatusOk);
    ASSERT_FALSE(collection.isNull());
    EXPECT_EQ(collection->uuid, InteriorUuid);
    EXPECT_EQ(collection->name, QStringLiteral("Interior Colours"));
    EXPECT_EQ(collection->systemId, QStringLiteral("INT"));
    EXPECT_EQ(collection->order, 4);
    EXPECT_EQ(collection->version, 1);
    EXPECT_EQ(collection->id, registry().collectionId(InteriorUuid));
}

// A studio's decks change on a shared folder while the host runs: each look reads the
// file that is there now, under its exact name.
TEST_F(CollectionRegistryTest, FilesAreReadAsTheyAreNowUnderTheirExactNames)
{
    auto nameOf = [](const QUuid &uuid) {
        QSharedPointer<Collection> collection = QSharedPointer<Collection>::create();
        return loadCollection(uuid, collection) == StatusOk && collection ? collection->name : QString();
    };
    const QString folder = Palettra::Test::resourcesFolder(base());
    auto addCollection = [&](const QString &file, const QUuid &uuid, const QString &name) {
        TestDeck deck(base(), file);
        deck.writer().addCollection(uuid, QStringLiteral("SYS"), name, 1);
        ASSERT_TRUE(deck.writer().ok()) << deck.writer().lastError().toStdString();
    };
    addCollection(QStringLiteral("Deck.db"), InteriorUuid, QStringLiteral("Interior"));
    addCollection(QStringLiteral("deck.db"), ExteriorUuid, QStringLiteral("Exterior"));
    registry().enumerateCollections(true);
    // Names that differ in letter case only are two files, each read through its own
    // connection.
    EXPECT_EQ(nameOf(InteriorUuid), QStringLiteral("Interior"));
    EXPECT_EQ(nameOf(ExteriorUuid), QStringLiteral("Exterior"));
    EXPECT_FALSE(registry().refreshChangedFiles());

    // Replaced by a rename over it, as a maker's update arrives.
    addCollection(QStringLiteral("next.draft"), InteriorUuid, QStringLiteral("Interior 2027"));
    ASSERT_EQ(::rename(QFile::encodeName(folder + QStringLiteral("/next.draft")).constData(),
                       QFile::encodeName(folder + QStringLiteral("/Deck.db")).constData()),
              0);
    const quint64 generation = registry().filesGeneration();
    EXPECT_TRUE(registry().refreshChangedFiles());
    EXPECT_GT(registry().filesGeneration(), generation);
    EXPECT_EQ(nameOf(InteriorUuid), QStringLiteral("Interior 2027"));

    // Changed in place by another program.
    {
        QSqlDatabase editor = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("editor"));
        editor.setDatabaseName(folder + QStringLiteral("/deck.db"));
        ASSERT_TRUE(editor.open());
        EXPECT_TRUE(QSqlQuery(editor).exec(QStringLiteral("UPDATE COLLECTION SET NAME = 'Exterior Plus'")));
        editor.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("editor"));
    EXPECT_TRUE(registry().refreshChangedFiles());
    EXPECT_EQ(nameOf(ExteriorUuid), QStringLiteral("Exterior Plus"));

    // Gone: its collection is unknown from the next look on.
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/deck.db")));
    EXPECT_TRUE(registry().refreshChangedFiles());
    EXPECT_EQ(registry().openCollection(ExteriorUuid), StatusUnknownCollection);
    EXPECT_EQ(nameOf(InteriorUuid), QStringLiteral("Interior 2027"));
    EXPECT_FALSE(registry().refreshChangedFiles());

    // The whole folder gone (a shared folder unmounted) is one change, not one per look.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_TRUE(registry().refreshChangedFiles());
    EXPECT_EQ(registry().openCollection(InteriorUuid), StatusUnknownCollection);
    EXPECT_FALSE(registry().refreshChangedFiles());
}

TEST(CommonAppDataFolder, FirstXdgDataDirHoldingTheCollectionsElseTheFirst)
{
    const QByteArray saved = qgetenv("XDG_DATA_DIRS");
    QTemporaryDir first, second, third;
    const QString list = first.path() + QLatin1Char(':') + second.path() + QLatin1Char(':') + third.path();
    qputenv("XDG_DATA_DIRS", list.toLocal8Bit());
    EXPECT_EQ(commonAppDataFolder(), first.path());

    ASSERT_TRUE(QDir().mkpath(third.path() + QStringLiteral("/Orva Tavel/Palettra/SQLite")));
    EXPECT_EQ(commonAppDataFolder(), third.path());
    // A file of that name is no collection folder.
    ASSERT_TRUE(QDir().mkpath(second.path() + QStringLiteral("/Orva Tavel/Palettra")));
    QFile file(second.path() + QStringLiteral("/Orva Tavel/Palettra/SQLite"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(commonAppDataFolder(), third.path());
    // A folder of one's own listed first wins.
    ASSERT_TRUE(QDir().mkpath(first.path() + QStringLiteral("/Orva Tavel/Palettra/SQLite")));
    EXPECT_EQ(commonAppDataFolder(), first.path());
    // Empty entries are skipped.
    qputenv("XDG_DATA_DIRS", ("::" + third.path() + QLatin1Char(':')).toLocal8Bit());
    EXPECT_EQ(commonAppDataFolder(), third.path());

    // Unset or empty: the XDG default list, /usr/local/share unless only /usr/share holds
    // the collections (a package installed on this machine).
    const bool onlyUsrShare = QFileInfo(QStringLiteral("/usr/share/Orva Tavel/Palettra/SQLite")).isDir()
        && !QFileInfo(QStringLiteral("/usr/local/share/Orva Tavel/Palettra/SQLite")).isDir();
    const QString standard = onlyUsrShare ? QStringLiteral("/usr/share") : QStringLiteral("/usr/local/share");
    qputenv("XDG_DATA_DIRS", "");
    EXPECT_EQ(commonAppDataFolder(), standard);
    qunsetenv("XDG_DATA_DIRS");
    EXPECT_EQ(commonAppDataFolder(), standard);
    qputenv("XDG_DATA_DIRS", saved);
}

} // namespace
