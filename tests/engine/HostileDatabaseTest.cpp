// Broken and hostile collection files, made at test time from a copy of the demo
// collections: each alone and beside a good file. Start-up answers with its documented
// code, the picker window is drawn, every collection can be shown, and the good file's
// collections stay usable.

#include "FileLock.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/StatusCodes.h"
#include "engine/ui/MainWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

using namespace Vantor;

namespace {

// The collections of the demo file, which the good file keeps.
const QList<QUuid> GoodCollections{QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4001}")),
                                   QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4002}")),
                                   QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4003}")),
                                   QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4004}"))};

// Every table of a collection file that the engine reads.
const char *const EngineTables[] = {"COLLECTION", "SETTING", "LOCALE", "THEME", "PAGE", "ROW", "COLLECTION_PAGE_MAP",
                                    "PAGE_SCHEME", "ROW_SCHEME_MAP", "ROW_TO_PAGE_SCHEME", "PRODUCT", "PRODUCT_GROUP",
                                    "ROW_PRODUCT_MAP", "ROW_PRODUCT_GROUP_MAP", "PRODUCT_PRODUCT_GROUP_MAP", "TEXTURE",
                                    "TEXTURE_MAP", "PROSPECT_GROUP", "PROSPECT_ENTRY"};

bool execute(const QString &file, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("planter"));
        db.setDatabaseName(file);
        ok = db.open();
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            if (ok && !query.exec(statement)) {
                ADD_FAILURE() << statement.toStdString() << ": " << query.lastError().text().toStdString();
                ok = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("planter"));
    return ok;
}

QStringList columnsOf(const QString &file, const QString &table)
{
    QStringList columns;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
        db.setDatabaseName(file);
        db.open();
        const QSqlRecord record = db.record(table);
        for (int i = 0; i < record.count(); ++i)
            columns << record.fieldName(i);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    return columns;
}

// NULL in every column of every table the engine reads, but the collections' ids and
// UUIDs and the settings that enable them (without which nothing of the file would be
// shown at all).
QStringList nullsEverywhere(const QString &file)
{
    // Views that read the tables stay as they are.
    QStringList statements{QStringLiteral("PRAGMA legacy_alter_table = ON")};
    for (const char *name : EngineTables) {
        const QString table = QLatin1String(name);
        QStringList assignments;
        for (const QString &column : columnsOf(file, table)) {
            if (table == QLatin1String("COLLECTION") && (column == QLatin1String("ID") || column == QLatin1String("UUID")))
                continue;
            assignments << QStringLiteral("\"%1\" = NULL").arg(column);
        }
        // The copy has no NOT NULL constraints.
        statements << QStringLiteral("CREATE TABLE hostile_copy AS SELECT * FROM \"%1\"").arg(table)
                   << QStringLiteral("DROP TABLE \"%1\"").arg(table)
                   << QStringLiteral("ALTER TABLE hostile_copy RENAME TO \"%1\"").arg(table)
                   << QStringLiteral("UPDATE \"%1\" SET %2 %3")
                          .arg(table, assignments.join(QStringLiteral(", ")),
                               table == QLatin1String("SETTING") ? QStringLiteral("WHERE NAME != 'collection.enabled'")
                                                                 : QString());
    }
    return statements;
}

void writeBytes(const QString &file, const QByteArray &bytes)
{
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(out.write(bytes), bytes.size());
}

QByteArray garbage(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

struct Fault
{
    QString name;
    // Whether the file's own collections are still registered: decides the start-up
    // code when the file is alone.
    bool keepsCollections;
};

void PrintTo(const Fault &fault, std::ostream *out)
{
    *out << fault.name.toStdString();
}

std::vector<Fault> faults()
{
    std::vector<Fault> list{{QStringLiteral("empty"), false},
                            {QStringLiteral("garbage"), false},
                            {QStringLiteral("garbage-after-header"), false},
                            {QStringLiteral("truncated-header"), false},
                            {QStringLiteral("truncated-half"), false},
                            {QStringLiteral("rename-COLLECTION.UUID"), false},
                            {QStringLiteral("rename-ROW.CODE"), true},
                            {QStringLiteral("rename-PAGE.PAGE_INDEX"), true},
                            {QStringLiteral("rename-SETTING.VALUE"), false},
                            {QStringLiteral("rename-LOCALE.STRING"), true},
                            {QStringLiteral("text-in-integer-columns"), true},
                            {QStringLiteral("nulls-everywhere"), true},
                            {QStringLiteral("rows-of-missing-cards"), true},
                            {QStringLiteral("huge-blobs"), true},
                            {QStringLiteral("huge-texts"), true},
                            {QStringLiteral("directory"), false},
                            {QStringLiteral("fifo"), false},
                            {QStringLiteral("locked"), false}};
    for (const char *table : EngineTables)
        list.push_back({QStringLiteral("drop-%1").arg(QLatin1String(table)),
                        QLatin1String(table) != QLatin1String("COLLECTION") && QLatin1String(table) != QLatin1String("SETTING")});
    return list;
}

class HostileDatabase : public ::testing::TestWithParam<std::tuple<Fault, bool>>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_base.isValid());
        m_resources = m_base.path() + QStringLiteral("/Contents/Resources");
        ASSERT_TRUE(QDir().mkpath(m_resources));
        if (beside()) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(PALETTRA_DEMO_DB), m_resources + QStringLiteral("/good.db")));
        }
        plant(fault().name, m_resources + QStringLiteral("/hostile.db"));
    }

    const Fault &fault() const { return std::get<0>(GetParam()); }
    bool beside() const { return std::get<1>(GetParam()); }

    // A copy of the demo file whose collections are other ones (new UUIDs, system ids
    // and places in the display order), so that the good file's stay its own.
    void copyAsOtherCollections(const QString &file)
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(PALETTRA_DEMO_DB), file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        QStringList statements;
        for (int id = 1; id <= GoodCollections.size(); ++id) {
            const QUuid uuid = QUuid::createUuid();
            m_hostileCollections << uuid;
            statements << QStringLiteral("UPDATE COLLECTION SET UUID = '%1', SYSTEMID = 'HOSTILE%2', \"ORDER\" = 10 + %2 "
                                         "WHERE ID = %2")
                              .arg(uuid.toString())
                              .arg(id);
        }
        ASSERT_TRUE(execute(file, statements));
    }

    void plant(const QString &name, const QString &file)
    {
        if (name == QLatin1String("empty"))
            return writeBytes(file, QByteArray());
        if (name == QLatin1String("garbage"))
            return writeBytes(file, garbage(64 * 1024, 1));
        if (name == QLatin1String("garbage-after-header"))
            return writeBytes(file, QByteArray("SQLite format 3", 16) + garbage(64 * 1024, 2));
        if (name == QLatin1String("directory")) {
            ASSERT_TRUE(QDir().mkpath(file));
            return;
        }
        if (name == QLatin1String("fifo")) {
            ASSERT_EQ(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
            return;
        }
        copyAsOtherCollections(file);
        if (name.startsWith(QLatin1String("truncated"))) {
            QFile in(file);
            ASSERT_TRUE(in.open(QIODevice::ReadOnly));
            const QByteArray bytes = in.readAll();
            in.close();
            return writeBytes(file, bytes.left(name.endsWith(QLatin1String("header")) ? 60 : bytes.size() / 2));
        }
        if (name.startsWith(QLatin1String("drop-"))) {
            ASSERT_TRUE(execute(file, {QStringLiteral("DROP TABLE \"%1\"").arg(name.mid(5))}));
            return;
        }
        if (name.startsWith(QLatin1String("rename-"))) {
            const QStringList parts = name.mid(7).split(QLatin1Char('.'));
            ASSERT_TRUE(execute(file, {QStringLiteral("ALTER TABLE \"%1\" RENAME COLUMN \"%2\" TO \"%2_RENAMED\"")
                                           .arg(parts.at(0), parts.at(1))}));
            return;
        }
        if (name == QLatin1String("text-in-integer-columns")) {
            ASSERT_TRUE(execute(file, {QStringLiteral("PRAGMA ignore_check_constraints = 1"),
                                       QStringLiteral("UPDATE \"ROW\" SET RED = 'red', GREEN = 'green', ROW_INDEX = 'first', "
                                                      "SEGMENT = 'some', MOOD = 'glad', SCHEME_POS = 'x' WHERE ID % 2 = 0"),
                                       QStringLiteral("UPDATE PAGE SET PAGE_INDEX = 'one ' || ID, SEGMENT = 'seg', MOOD = 'blue', "
                                                      "EXTERIOR = 'outside' WHERE ID % 3 = 0"),
                                       QStringLiteral("UPDATE SETTING SET VALUE_INDEX = 'index ' || ID"),
                                       QStringLiteral("UPDATE PROSPECT_ENTRY SET RED = 'r'"),
                                       QStringLiteral("UPDATE TEXTURE SET BASE_ALPHA = 'opaque'")}));
            return;
        }
        if (name == QLatin1String("nulls-everywhere")) {
            ASSERT_TRUE(execute(file, nullsEverywhere(file)));
            return;
        }
        if (name == QLatin1String("rows-of-missing-cards")) {
            ASSERT_TRUE(execute(file, {QStringLiteral("UPDATE \"ROW\" SET PAGE_ID = PAGE_ID + 1000000")}));
            return;
        }
        if (name == QLatin1String("huge-blobs")) {
            ASSERT_TRUE(execute(file, {QStringLiteral("UPDATE THEME SET ITEM_DATA = zeroblob(100 * 1024 * 1024) WHERE ROWID = "
                                                      "(SELECT ROWID FROM THEME WHERE ITEM_KEY = 'image.banner' ORDER BY "
                                                      "COLLECTION_ID LIMIT 1)"),
                                       QStringLiteral("UPDATE TEXTURE SET IMAGE = randomblob(1024 * 1024)")}));
            return;
        }
        if (name == QLatin1String("huge-texts")) {
            const QString huge = QStringLiteral("substr(replace(hex(zeroblob(5 * 1024 * 1024)), '0', 'W'), 1, 10 * 1024 * 1024)");
            ASSERT_TRUE(execute(file, {QStringLiteral("UPDATE LOCALE SET STRING = %1 WHERE KEY IN ('mypalette.palette.save', "
                                                      "'motto', 'color.palette.copyright', 'tab.bar.color.schemes.caption', "
                                                      "'color.palette.banner.title')")
                                           .arg(huge),
                                       QStringLiteral("UPDATE COLLECTION SET NAME = %1 WHERE ID = 1").arg(huge),
                                       QStringLiteral("UPDATE SETTING SET VALUE = %1 WHERE NAME = 'schemes'").arg(huge),
                                       QStringLiteral("UPDATE \"ROW\" SET NAME0 = %1 WHERE ID = (SELECT MIN(ID) FROM \"ROW\")").arg(huge)}));
            return;
        }
        if (name == QLatin1String("locked")) {
            m_lock = std::make_unique<Palettra::Test::ExclusiveLockHolder>(file);
            ASSERT_TRUE(m_lock->locked());
            return;
        }
        FAIL() << "unknown fault " << name.toStdString();
    }

    // Draws the window and checks that it shows something other than one colour.
    void expectDrawn(MainWidget &main)
    {
        main.resize(800, 600);
        const QImage image = main.grab().toImage();
        ASSERT_EQ(image.size(), QSize(800, 600));
        const QRgb corner = image.pixel(5, 590);
        bool varied = false;
        for (int y = 0; y < image.height() && !varied; y += 7) {
            for (int x = 0; x < image.width() && !varied; x += 7)
                varied = image.pixel(x, y) != corner;
        }
        EXPECT_TRUE(varied);
    }

    QTemporaryDir m_base;
    QString m_resources;
    QList<QUuid> m_hostileCollections;
    std::unique_ptr<Palettra::Test::ExclusiveLockHolder> m_lock;
};

TEST_P(HostileDatabase, StartsDrawsShowsEveryCollectionAndKeepsTheGoodOnes)
{
    const int status = startEngine(modulePathOf(engineModuleHandle()), m_base.path());
    const bool anyCollection = beside() || fault().keepsCollections;
    EXPECT_EQ(status, anyCollection ? StartupOk : StartupNoCollections);
    if (status != StartupOk)
        return;

    MainWidget *pointer = nullptr;
    MainWidget main(&pointer);
    expectDrawn(main);

    // Every collection that is offered can be shown, the hostile file's as well.
    const QList<QUuid> offered = DB::CollectionRegistry::instance().orderedCollectionUuids();
    for (const QUuid &uuid : offered) {
        main.collectionChangedInteractively(uuid);
        expectDrawn(main);
    }
    if (!beside())
        return;
    // The good file's collections are all there and show their cards.
    for (const QUuid &uuid : GoodCollections) {
        EXPECT_TRUE(offered.contains(uuid)) << uuid.toString().toStdString() << " among " << offered.size();
        main.collectionChangedInteractively(uuid);
        EXPECT_EQ(lastUsedCollection(), uuid);
        DB::ColorPage page;
        EXPECT_EQ(DB::loadPageByIndex(uuid, 1, page), DB::StatusOk);
        EXPECT_FALSE(page.rows.isEmpty());
    }
}

std::string faultName(const ::testing::TestParamInfo<std::tuple<Fault, bool>> &info)
{
    QString name = std::get<0>(info.param).name + (std::get<1>(info.param) ? QStringLiteral("_beside_good")
                                                                              : QStringLiteral("_alone"));
    name.replace(QLatin1Char('-'), QLatin1Char('_')).replace(QLatin1Char('.'), QLatin1Char('_'));
    return name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, HostileDatabase, ::testing::Combine(::testing::ValuesIn(faults()), ::testing::Bool()),
                         faultName);

} // namespace
