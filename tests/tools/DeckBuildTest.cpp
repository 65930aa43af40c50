#include "FileLock.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SharedTypes.h"
#include "engine/colour/ColourDifference.h"
#include "tools/deck/DeckBuilder.h"
#include "tools/deck/DeckChecker.h"
#include "tools/deck/DeckLayout.h"
#include "tools/deck/DeckSource.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using namespace Palettra::Deck;

namespace {

const QString DemoDatabase = QStringLiteral(PALETTRA_DEMO_DB);
const QString DemoSource = QStringLiteral(PALETTRA_DEMO_SOURCE);

// Runs statements on a copy of a database (for planting faults).
void execute(const QString &file, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("planter"));
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("planter"));
}

// Runs `visit` for every table of the file but SQLite's own, by name.
void forEachTable(const QString &file, const std::function<void(const QSqlDatabase &, const QString &)> &visit)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tables"));
        db.setDatabaseName(file);
        db.open();
        QStringList tables = db.tables();
        tables.sort();
        for (const QString &table : std::as_const(tables)) {
            if (!table.startsWith(QLatin1String("sqlite_")))
                visit(db, table);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tables"));
}

// A digest of every table's rows, in a fixed order.
QByteArray contentDigest(const QString &file)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    forEachTable(file, [&hash](const QSqlDatabase &db, const QString &table) {
        QSqlQuery query(db);
        query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1, 2").arg(table));
        while (query.next()) {
            for (int i = 0; i < query.record().count(); ++i)
                hash.addData(query.value(i).toString().toUtf8() + '\x1f');
        }
    });
    return hash.result();
}

// Per table: its name, its number of rows and a digest of them in a fixed order, every
// value with its type as SQLite stores it. Pictures (blobs) count by their place only:
// they are drawn with the machine's fonts, and the build-twice test holds them.
QStringList tableDigests(const QString &file)
{
    QStringList lines;
    forEachTable(file, [&lines](const QSqlDatabase &db, const QString &table) {
        QSqlQuery columns(db);
        columns.exec(QStringLiteral("SELECT name FROM pragma_table_info('%1') ORDER BY cid").arg(table));
        QStringList typed;
        while (columns.next())
            typed << QStringLiteral("typeof(\"%1\"), CASE WHEN typeof(\"%1\") = 'blob' THEN '' ELSE quote(\"%1\") END")
                         .arg(columns.value(0).toString());
        QSqlQuery query(db);
        query.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(typed.join(QStringLiteral(", ")), table));
        QCryptographicHash hash(QCryptographicHash::Sha256);
        int rows = 0;
        while (query.next()) {
            ++rows;
            for (int i = 0; i < query.record().count(); ++i)
                hash.addData(query.value(i).toString().toUtf8() + '\x1f');
            hash.addData("\x1e");
        }
        lines << QStringLiteral("%1 %2 %3").arg(table).arg(rows).arg(QString::fromLatin1(hash.result().toHex().left(32)));
    });
    return lines;
}

QStringList problemsMatching(const QStringList &problems, const QString &fragment)
{
    QStringList found;
    for (const QString &problem : problems) {
        if (problem.contains(fragment))
            found << problem;
    }
    return found;
}

TEST(DemoDeck, PassesTheCheck)
{
    ASSERT_TRUE(QFile::exists(DemoDatabase));
    const QStringList problems = checkDeck(DemoDatabase);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

TEST(DemoDeck, EngineRegistersTheDemoCollectionsInDisplayOrder)
{
    QDir folder(DemoDatabase);
    folder.cdUp();
    folder.cdUp();
    folder.cdUp(); // the database folder holds Contents/Resources
    auto &registry = Vantor::DB::CollectionRegistry::instance();
    registry.setBaseFolder(folder.path());
    ASSERT_EQ(registry.checkCollectionsAvailable(), 1);
    const QList<QUuid> collections = registry.orderedCollectionUuids();
    ASSERT_EQ(collections.size(), 4);
    EXPECT_EQ(collections.at(0), QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4001}")));
    EXPECT_EQ(collections.at(1), QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4002}")));
    EXPECT_EQ(collections.at(2), QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4003}")));
    EXPECT_EQ(collections.at(3), QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4004}")));

    // The switches the panels read are what the demo promises.
    const QUuid interior = collections.at(0);
    const QUuid facade = collections.at(1);
    const QUuid pulvex = collections.at(2);
    EXPECT_EQ(Vantor::CollectionSettings::availableTabBarPages(interior), 15);
    EXPECT_EQ(Vantor::CollectionSettings::modeCard(interior), Vantor::CollectionSettings::ModeColorToColor);
    EXPECT_EQ(Vantor::CollectionSettings::modeCard(facade), Vantor::CollectionSettings::ModeCardToCard);
    EXPECT_FALSE(Vantor::CollectionSettings::moodVisible(facade));
    EXPECT_EQ(Vantor::CollectionSettings::productGroupsMode(facade), Vantor::CollectionSettings::ListProducts);
    EXPECT_EQ(Vantor::CollectionSettings::tabBarPageOrder(facade), (QVector<int>{8, 1, 2}));
    EXPECT_EQ(Vantor::CollectionSettings::cardType(pulvex), Vantor::CollectionSettings::PulvexCard);
    EXPECT_EQ(Vantor::CollectionSettings::modeCard(collections.at(3)), Vantor::CollectionSettings::ModeColorToCard);
    EXPECT_TRUE(Vantor::CollectionSettings::capsureEnabled(interior));
    EXPECT_TRUE(Vantor::CollectionSettings::savePaletteTextFormat(interior, false));

    // Every mood has cards in the interior collection, some of them for exteriors.
    for (int mood = 1; mood <= 6; ++mood) {
        int pageIndex = -1;
        EXPECT_EQ(Vantor::DB::findFirstPageIndexFrom(interior, 1, mood, false, pageIndex), Vantor::DB::StatusOk) << mood;
    }
    int exteriorCard = -1;
    EXPECT_EQ(Vantor::DB::findFirstPageIndexFrom(interior, 1, 7, true, exteriorCard), Vantor::DB::StatusOk);
}

TEST(DemoDeck, LayoutRulesHold)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("layout"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    db.setDatabaseName(DemoDatabase);
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral(
        "SELECT R.COLLECTION_ID, R.PAGE_ID, R.ROW_INDEX, R.SEGMENT, P.SEGMENT, R.L, R.A, R.B, S.VALUE, R.MOOD "
        "FROM \"ROW\" R JOIN PAGE P ON P.ID = R.PAGE_ID "
        "JOIN SETTING S ON S.COLLECTION_ID = R.COLLECTION_ID AND S.NAME = 'max.chips.on.a.page' ORDER BY R.PAGE_ID, R.ROW_INDEX")));
    QHash<qint64, int> chipsOnCard;
    QHash<qint64, int> lastPosition;
    int rows = 0, offHue = 0;
    const WheelGeometry wheel; // 24 segments from 90 degrees clockwise, as all demo collections
    while (query.next()) {
        ++rows;
        const qint64 page = query.value(1).toLongLong();
        const int position = query.value(2).toInt();
        EXPECT_EQ(position, lastPosition.value(page) + 1) << "card " << page;
        lastPosition[page] = position;
        EXPECT_LE(++chipsOnCard[page], query.value(8).toInt()) << "card " << page;
        EXPECT_EQ(query.value(3).toInt(), query.value(4).toInt());
        const double chroma = std::hypot(query.value(6).toDouble(), query.value(7).toDouble());
        if (chroma >= GreyChroma) {
            const double hue = std::fmod(std::atan2(query.value(7).toDouble(), query.value(6).toDouble()) * 180 / M_PI + 360, 360);
            // A chip sits in its hue's sector, or in a neighbouring one when its card's
            // majority decided otherwise.
            const int expected = wheel.segmentForAngle(hue);
            const int distance = std::abs(expected - query.value(3).toInt());
            offHue += std::min(distance, 24 - distance) > 1 ? 1 : 0;
        }
    }
    EXPECT_GT(rows, 1500);
    EXPECT_EQ(offHue, 0);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("layout"));
}

// Every kind a demo collection lists has schemes for most of its colours (or cards, in
// card mode), where the kind applies at all; complementary neutrals of cards only on
// some cards, so that both the marker and the tonal fallback can be seen.
TEST(DemoDeck, SchemesCoverTheCollections)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("schemes"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    db.setDatabaseName(DemoDatabase);
    ASSERT_TRUE(db.open());
    auto count = [&db](const QString &statement, const QVariantList &values) {
        QSqlQuery query(db);
        query.prepare(statement);
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        EXPECT_TRUE(query.exec() && query.next()) << statement.toStdString();
        return query.value(0).toInt();
    };
    struct Listed { qint64 collection; const char *table; const char *subject; QVector<int> schemes; };
    // Dramatic (5) and complementary neutral (8) of a colour apply to some colours only.
    const Listed listed[] = {
        {1, "ROW_SCHEME_MAP", "ROW_ID", {1, 2, 3, 4, 7, 9}},
        {2, "PAGE_SCHEME", "PAGE_ID", {1, 2, 3, 7, 9}},
        {3, "ROW_SCHEME_MAP", "ROW_ID", {2, 3}},
        {4, "ROW_TO_PAGE_SCHEME", "ROW_ID", {1, 2, 4, 7, 9}},
    };
    for (const Listed &each : listed) {
        const bool cards = QLatin1String(each.subject) == QLatin1String("PAGE_ID");
        const int all = count(cards ? QStringLiteral("SELECT COUNT(*) FROM PAGE WHERE COLLECTION_ID = ?")
                                    : QStringLiteral("SELECT COUNT(*) FROM \"ROW\" WHERE COLLECTION_ID = ?"),
                              {each.collection});
        for (int scheme : each.schemes) {
            const int covered = count(QStringLiteral("SELECT COUNT(DISTINCT %1) FROM %2 WHERE COLLECTION_ID = ? AND SCHEME_ID = ?")
                                          .arg(QLatin1String(each.subject), QLatin1String(each.table)),
                                      {each.collection, scheme});
            EXPECT_GT(covered * 2, all) << "collection " << each.collection << " scheme " << scheme;
        }
    }
    const int facadeCards = count(QStringLiteral("SELECT COUNT(*) FROM PAGE WHERE COLLECTION_ID = 2"), {});
    const int complementary = count(QStringLiteral("SELECT COUNT(DISTINCT PAGE_ID) FROM PAGE_SCHEME WHERE COLLECTION_ID = 2 AND SCHEME_ID = 8"), {});
    EXPECT_GT(complementary, 0);
    EXPECT_LT(complementary, facadeCards);
    // Colour-to-card schemes show whole cards only, so that they fill whole grid rows.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ROW_TO_PAGE_SCHEME M WHERE M.COLLECTION_ID = 4 AND "
                                   "(SELECT COUNT(*) FROM \"ROW\" R WHERE R.PAGE_ID = M.SCHEME_PAGE_ID) != 6"), {}),
              0);
    // The pulvex schemes' three partners are three different chips, none the colour itself.
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(DISTINCT ROW_ID) FROM ROW_SCHEME_MAP WHERE COLLECTION_ID = 3"), {}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (SELECT ROW_ID FROM ROW_SCHEME_MAP WHERE COLLECTION_ID = 3 "
                                   "GROUP BY ROW_ID HAVING COUNT(DISTINCT SCHEME_ROW_ID) < 3 OR SUM(SCHEME_ROW_ID = ROW_ID) > 0)"),
                    {}),
              0);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("schemes"));
}

TEST(DeckBuild, TheSameSourceGivesTheSameContent)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.db"));
    const QString second = dir.filePath(QStringLiteral("second.db"));
    ASSERT_TRUE(buildDeck(DemoSource, first).isEmpty());
    ASSERT_TRUE(buildDeck(DemoSource, second).isEmpty());
    EXPECT_EQ(contentDigest(first), contentDigest(second));
    EXPECT_EQ(contentDigest(first), contentDigest(DemoDatabase));
}

// A picker opening the deck while it is rebuilt finds the old file or the new one,
// never none.
TEST(DeckBuild, ReplacesTheOldFileInOneStep)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("deck.db"));
    ASSERT_TRUE(buildDeck(DemoSource, target).isEmpty());
    std::atomic<bool> building{true};
    std::atomic<int> opens{0};
    std::atomic<int> failures{0};
    std::thread reader([&] {
        const QByteArray path = QFile::encodeName(target);
        while (building) {
            const int file = ::open(path.constData(), O_RDONLY);
            if (file < 0)
                ++failures;
            else
                ::close(file);
            ++opens;
        }
    });
    for (int build = 0; build < 3; ++build)
        EXPECT_TRUE(buildDeck(DemoSource, target).isEmpty());
    building = false;
    reader.join();
    EXPECT_GT(opens.load(), 0);
    EXPECT_EQ(failures.load(), 0);
    EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral(".building")));
}

// The demo collections as the builder has always made them: every table, row by row.
// Faster building must not change a byte of what the picker reads.
TEST(DeckBuild, DemoContentIsAsRecorded)
{
    QFile recorded(QStringLiteral(PALETTRA_TEST_DATA_DIR "/demo-tables.txt"));
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    const QStringList expected = QString::fromUtf8(recorded.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList actual = tableDigests(DemoDatabase);
    ASSERT_GT(expected.size(), 20);
    EXPECT_EQ(actual, expected) << "the demo database now holds:\n" << actual.join(QLatin1Char('\n')).toStdString();
}

TEST(DeckBuild, SourceProblemsNameTheLineAndWriteNothing)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("one"));
    auto write = [&dir](const QString &name, const QByteArray &text) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write(QStringLiteral("deck.json"), R"({"collections": ["one"], "texts": {}})");
    write(QStringLiteral("one/collection.json"),
          R"({"uuid": "{11111111-2222-4333-8444-555555555555}", "systemId": "ONE", "name": "One", "settings": {}})");
    write(QStringLiteral("one/colours.csv"), "code,red,green,blue\nA1,10,20,30\nA2,10,300,30\n\"A,3\",1,2\n");
    const QString target = dir.filePath(QStringLiteral("out.db"));
    const QStringList problems = buildDeck(dir.path(), target);
    ASSERT_EQ(problems.size(), 2) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(problems.at(0).endsWith(QStringLiteral("colours.csv:3: red, green and blue must be whole numbers from 0 to 255")));
    EXPECT_TRUE(problems.at(1).contains(QStringLiteral("colours.csv:4")));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_FALSE(QFile::exists(target + QStringLiteral(".building")));

    write(QStringLiteral("deck.json"), "{ not json");
    EXPECT_EQ(buildDeck(dir.path(), target).size(), 1);
}

class PlantedFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("faulty.db"));
        ASSERT_TRUE(QFile::copy(DemoDatabase, m_file));
        QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
    }
    QStringList plantAndCheck(const QStringList &statements)
    {
        execute(m_file, statements);
        return checkDeck(m_file);
    }
    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(PlantedFaults, ChipPositionsWithAGap)
{
    const QStringList problems = plantAndCheck({QStringLiteral(
        "UPDATE \"ROW\" SET ROW_INDEX = 9 WHERE ID = (SELECT ID FROM \"ROW\" WHERE ROW_INDEX = 2 ORDER BY ID LIMIT 1)")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("chip positions are not 1 to")).size(), 1) << problems.join(QLatin1Char('\n')).toStdString();
}

TEST_F(PlantedFaults, RowsWithoutTheirCard)
{
    const QStringList problems = plantAndCheck({QStringLiteral("UPDATE \"ROW\" SET PAGE_ID = 999999 WHERE ID = 5")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("row 5 ")).size(), 1);
    EXPECT_FALSE(problemsMatching(problems, QStringLiteral("its card 999999 does not exist")).isEmpty());
}

TEST_F(PlantedFaults, ColourAndCielabDisagree)
{
    const QStringList problems = plantAndCheck({QStringLiteral("UPDATE \"ROW\" SET L = L + 20 WHERE ID = 7")});
    const QStringList found = problemsMatching(problems, QStringLiteral("differs from its RGB"));
    ASSERT_EQ(found.size(), 1);
    EXPECT_TRUE(found.first().startsWith(QStringLiteral("row 7 ")));
}

TEST_F(PlantedFaults, SettingsThatDoNotParse)
{
    const QStringList problems = plantAndCheck(
        {QStringLiteral("UPDATE SETTING SET VALUE = 'many' WHERE NAME = 'num.of.segments' AND COLLECTION_ID = 1"),
         QStringLiteral("UPDATE SETTING SET VALUE = 'sideways' WHERE NAME = 'card.type' AND COLLECTION_ID = 2"),
         QStringLiteral("UPDATE SETTING SET VALUE = 'PageOfNothing' WHERE NAME = 'tab.bar.page' AND COLLECTION_ID = 1 AND VALUE_INDEX = 0"),
         QStringLiteral("UPDATE SETTING SET VALUE = '1,x' WHERE NAME = 'cie2000.delta.intervals' AND COLLECTION_ID = 1")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting num.of.segments of collection 1: \"many\" is not a number")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting card.type of collection 2")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting tab.bar.page of collection 1")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting cie2000.delta.intervals of collection 1")).size(), 1);
}

TEST_F(PlantedFaults, SettingsBeyondWhatThePickerCanDraw)
{
    const QStringList problems = plantAndCheck(
        {QStringLiteral("UPDATE SETTING SET VALUE = '1000000' WHERE NAME = 'num.of.segments' AND COLLECTION_ID = 1"),
         QStringLiteral("UPDATE SETTING SET VALUE = '0' WHERE NAME = 'num.of.segments' AND COLLECTION_ID = 2"),
         QStringLiteral("UPDATE SETTING SET VALUE = '-7' WHERE NAME = 'max.chips.on.a.page' AND COLLECTION_ID = 1"),
         QStringLiteral("UPDATE SETTING SET VALUE = '99999' WHERE NAME = 'max.chips.on.a.page' AND COLLECTION_ID = 2"),
         QStringLiteral("UPDATE SETTING SET VALUE = '90000' WHERE NAME = 'widget.prospect.chip.width' AND COLLECTION_ID = 1"),
         QStringLiteral("UPDATE SETTING SET VALUE = '-3' WHERE NAME = 'widget.prospect.chip.height' AND COLLECTION_ID = 1"),
         QStringLiteral("UPDATE SETTING SET VALUE = '148,100000' WHERE NAME = 'texture.size' AND COLLECTION_ID = 0")});
    const QString all = problems.join(QLatin1Char('\n'));
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting num.of.segments of collection 1: 1000000 is outside")).size(), 1) << all.toStdString();
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting num.of.segments of collection 2: 0 is outside")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting max.chips.on.a.page of collection 1: -7 is outside")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting max.chips.on.a.page of collection 2: 99999 is outside")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting widget.prospect.chip.width of collection 1: 90000")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting widget.prospect.chip.height of collection 1: -3")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("setting texture.size of collection 0: 100000 is outside")).size(), 1);
}

// What is not a database file is named as what it is, and a file another process holds
// locked is reported once as locked, not as a list of failing queries.
TEST_F(PlantedFaults, DirectoriesPipesDevicesAndLockedFiles)
{
    const auto only = [](const QStringList &problems, const char *text) {
        return problems.size() == 1 && problems.first().contains(QLatin1String(text));
    };
    EXPECT_TRUE(only(checkDeck(m_dir.path()), "a directory"));
    EXPECT_TRUE(only(checkDeck(QStringLiteral("/dev/null")), "a device"));
    const QString pipe = m_dir.filePath(QStringLiteral("pipe.db"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_TRUE(only(checkDeck(pipe), "a named pipe"));
    EXPECT_TRUE(only(checkDeck(m_dir.filePath(QStringLiteral("missing.db"))), "no such file"));

    // Another process holds the file locked while it is checked.
    QStringList locked;
    {
        Palettra::Test::ExclusiveLockHolder holder(m_file);
        ASSERT_TRUE(holder.locked());
        locked = checkDeck(m_file);
    }
    EXPECT_TRUE(only(locked, "locked by another process")) << locked.join(QLatin1Char('\n')).toStdString();
    // Once it is let go, the file checks as before.
    EXPECT_EQ(checkDeck(m_file), QStringList());
}

TEST_F(PlantedFaults, ThemeItemsThatDoNotDecode)
{
    const QStringList problems = plantAndCheck(
        {QStringLiteral("UPDATE THEME SET ITEM_DATA = X'00010203' WHERE ITEM_KEY = 'image.tick.normal'"),
         QStringLiteral("UPDATE THEME SET ITEM_DATA = CAST('1,2' AS BLOB) WHERE ITEM_KEY = 'color.widget.collectionselector.text'"),
         QStringLiteral("UPDATE THEME SET ITEM_DATA = CAST('Nice Font' AS BLOB) WHERE ITEM_KEY = 'list.of.preferred.font.faces'")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("theme item image.tick.normal of collection 0: the image does not decode")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("color.widget.collectionselector.text")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("list.of.preferred.font.faces")).size(), 1);
}

TEST_F(PlantedFaults, MapsPointingNowhere)
{
    const QStringList problems = plantAndCheck(
        {QStringLiteral("INSERT INTO ROW_SCHEME_MAP(COLLECTION_ID, ROW_ID, SCHEME_ID, SCHEME_ROW_ID, PAGE_ORDER, ROW_ORDER) VALUES(1, 1, 1, 888888, 0, 1)"),
         QStringLiteral("INSERT INTO PAGE_SCHEME(COLLECTION_ID, PAGE_ID, SCHEME_PAGE_ID, SCHEME_ID, \"ORDER\") VALUES(2, 777777, 1, 1, 0)"),
         QStringLiteral("INSERT INTO TEXTURE_MAP(TEXTURE_ID, PAGE_ID, ALPHA, NAME) VALUES(666666, 1, 0.5, 'Gone')"),
         QStringLiteral("INSERT INTO ROW_PRODUCT_MAP(COLLECTION_ID, ROW_ID, PRODUCT_ID) VALUES(1, 1, 555555)"),
         QStringLiteral("INSERT INTO PROSPECT_ENTRY(COLLECTION_ID, PROSPECT_GROUP_ID, ROW_ID, \"ORDER\") VALUES(0, 1, 444444, 99)")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("points at colour 888888")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("points at card 777777")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("points at texture 666666")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("points at product 555555")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("points at colour 444444")).size(), 1);
}

TEST_F(PlantedFaults, CollectionsWithoutCardsAndOverfullCards)
{
    const QStringList problems = plantAndCheck(
        {QStringLiteral("DELETE FROM COLLECTION_PAGE_MAP WHERE COLLECTION_ID = 3"),
         QStringLiteral("UPDATE SETTING SET VALUE = '3' WHERE NAME = 'max.chips.on.a.page' AND COLLECTION_ID = 2")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("collection Orva Pulvex")).size(), 1);
    EXPECT_FALSE(problemsMatching(problems, QStringLiteral("more than max.chips.on.a.page (3)")).isEmpty());
}

TEST_F(PlantedFaults, ListedSchemeKindsWithoutSchemes)
{
    const QStringList problems = plantAndCheck(
        {QStringLiteral("DELETE FROM ROW_SCHEME_MAP WHERE COLLECTION_ID = 1 AND SCHEME_ID = 4"),
         QStringLiteral("DELETE FROM PAGE_SCHEME WHERE COLLECTION_ID = 2 AND SCHEME_ID = 7"),
         QStringLiteral("DELETE FROM ROW_TO_PAGE_SCHEME WHERE COLLECTION_ID = 4 AND SCHEME_ID = 2"),
         QStringLiteral("DELETE FROM ROW_SCHEME_MAP WHERE COLLECTION_ID = 3 AND SCHEME_ID = 3")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("collection 1: scheme kind \"dynamic\" is listed but ROW_SCHEME_MAP")).size(), 1)
        << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("collection 2: scheme kind \"neutral\" is listed but PAGE_SCHEME")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("collection 4: scheme kind \"contrast\" is listed but ROW_TO_PAGE_SCHEME")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("collection 3: scheme kind \"wide contrast\"")).size(), 1);
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("scheme kind")).size(), 4);
}

TEST_F(PlantedFaults, MissingIndexesAndTables)
{
    QStringList problems = plantAndCheck({QStringLiteral("DROP INDEX IDX_PAGE_PAGE_INDEX"),
                                          QStringLiteral("DROP INDEX IDX_PAGE_SEGMENT_PAGE_INDEX"),
                                          QStringLiteral("DROP INDEX IDX_CMAP_PAGE_COLLECTION"),
                                          QStringLiteral("DROP INDEX IDX_CMAP_COLLECTION_PAGE")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("indexes: browsing scans a whole table")).size(), 1)
        << problems.join(QLatin1Char('\n')).toStdString();

    problems = plantAndCheck({QStringLiteral("DROP TABLE ROW_TO_PAGE_SCHEME")});
    EXPECT_EQ(problemsMatching(problems, QStringLiteral("table ROW_TO_PAGE_SCHEME: missing")).size(), 1);
    EXPECT_FALSE(checkDeck(m_dir.filePath(QStringLiteral("nothing.db"))).isEmpty());
}

TEST(DeckLayoutRules, WheelSegments)
{
    const WheelGeometry clockwise{24, 90.0, 1};
    EXPECT_DOUBLE_EQ(clockwise.segmentCentre(1), 90.0);
    EXPECT_DOUBLE_EQ(clockwise.segmentCentre(2), 75.0);
    EXPECT_DOUBLE_EQ(clockwise.segmentCentre(24), 105.0);
    EXPECT_EQ(clockwise.segmentForAngle(90.0), 1);
    EXPECT_EQ(clockwise.segmentForAngle(83.0), 1);
    EXPECT_EQ(clockwise.segmentForAngle(82.0), 2);
    EXPECT_EQ(clockwise.segmentForAngle(0.0), 7);
    const WheelGeometry counter{12, 0.0, 2};
    EXPECT_DOUBLE_EQ(counter.segmentCentre(2), 30.0);
    EXPECT_EQ(counter.segmentForAngle(350.0), 1);
    EXPECT_EQ(counter.segmentForAngle(335.0), 12);
}

TEST(DeckLayoutRules, MoodsAndExteriorSuitability)
{
    EXPECT_EQ(moodForColour(92, 5, 80), 5);  // off-white
    EXPECT_EQ(moodForColour(60, 4, 200), 6); // neutral
    EXPECT_EQ(moodForColour(40, 55, 20), 4); // rich
    EXPECT_EQ(moodForColour(60, 30, 40), 2); // warm
    EXPECT_EQ(moodForColour(75, 30, 140), 1); // fresh
    EXPECT_EQ(moodForColour(50, 30, 250), 3); // calm
    EXPECT_TRUE(exteriorForColour(60, 15));
    EXPECT_FALSE(exteriorForColour(95, 5));
    EXPECT_FALSE(exteriorForColour(50, 60));
}

TEST(DeckLayoutRules, CielabToSrgbInvertsTheEngine)
{
    for (const QColor &colour : {QColor(12, 200, 99), QColor(255, 255, 255), QColor(0, 0, 0), QColor(130, 60, 210)}) {
        const Vantor::LabColour lab = Vantor::labFromColour(colour);
        EXPECT_EQ(colourFromLab(lab.l, lab.a, lab.b), colour);
    }
}

TEST(DeckSourceFormat, CsvQuotingAndMoodWords)
{
    const QVector<QStringList> rows = parseCsv(QStringLiteral("code,name0\r\n\"A,1\",\"Say \"\"hi\"\"\"\nB2,plain\n"));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(1), (QStringList{QStringLiteral("A,1"), QStringLiteral("Say \"hi\"")}));
    EXPECT_EQ(rows.at(2), (QStringList{QStringLiteral("B2"), QStringLiteral("plain")}));
    EXPECT_EQ(moodFromWord(QStringLiteral("Off-White")), 5);
    EXPECT_EQ(moodFromWord(QStringLiteral("rich")), 4);
    EXPECT_EQ(moodFromWord(QStringLiteral("sparkly")), 0);
}

} // namespace
