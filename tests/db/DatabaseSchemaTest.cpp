#include "TestDeck.h"
#include "TestEnvironment.h"

#include "engine/db/DatabaseSchema.h"
#include "tools/deck/CompleteDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Vantor::DB;

namespace {

class DatabaseSchemaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_deck = std::make_unique<Palettra::Test::TestDeck>(m_dir.path(), QStringLiteral("schema.db"));
    }

    Palettra::Deck::DeckWriter &writer() { return m_deck->writer(); }

    QList<std::pair<qint64, int>> capsurePriorities()
    {
        QList<std::pair<qint64, int>> rows;
        QSqlQuery query(QSqlDatabase::database(connectionOf()));
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT COLLECTION_ID, PRIORITY FROM CAPSURE_COLLECTION_IDS_BY_PRIORITY")));
        while (query.next())
            rows << std::pair<qint64, int>(query.value(0).toLongLong(), query.value(1).toInt());
        return rows;
    }

    QString connectionOf()
    {
        for (const QString &name : QSqlDatabase::connectionNames()) {
            if (QSqlDatabase::database(name, false).databaseName() == m_deck->path())
                return name;
        }
        return QString();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Palettra::Test::TestDeck> m_deck;
};

TEST_F(DatabaseSchemaTest, SeedsTheVirtualCollectionMoodsAndSchemes)
{
    QSqlQuery query(QSqlDatabase::database(connectionOf()));
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT ID, UUID, SYSTEMID, \"ORDER\" FROM COLLECTION")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toLongLong(), 0);
    EXPECT_EQ(query.value(1).toString(), QStringLiteral("{ffffffff-ffff-ffff-ffff-ffffffffffff}"));
    EXPECT_EQ(query.value(2).toString(), QStringLiteral("VIRTUAL"));
    EXPECT_FALSE(query.next());

    ASSERT_TRUE(query.exec(QStringLiteral("SELECT GROUP_CONCAT(NAME, ',') FROM (SELECT NAME FROM MOOD ORDER BY ID)")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toString(), QStringLiteral("fresh,warm,calm,rich,offwhite,neutral"));
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT COUNT(*), MAX(ID) FROM SCHEME")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), 8);
    EXPECT_EQ(query.value(1).toInt(), 8);
}

TEST_F(DatabaseSchemaTest, ConstraintsRejectImpossibleRows)
{
    const qint64 collection = writer().addCollection(QUuid::createUuid(), QStringLiteral("A"), QStringLiteral("A"), 1);
    writer().addPage(collection, 1, 1, QStringLiteral("Card 1"));
    ASSERT_TRUE(writer().ok());
    // Two cards with the same index in one collection.
    writer().addPage(collection, 1, 2, QStringLiteral("Card 1b"));
    EXPECT_FALSE(writer().ok());
}

TEST_F(DatabaseSchemaTest, CapsureViewMatchesNamesIgnoringCaseAndOrdersByPriority)
{
    const qint64 a = writer().addCollection(QUuid::createUuid(), QStringLiteral("A"), QStringLiteral("A"), 1);
    const qint64 b = writer().addCollection(QUuid::createUuid(), QStringLiteral("B"), QStringLiteral("B"), 2);
    const qint64 c = writer().addCollection(QUuid::createUuid(), QStringLiteral("C"), QStringLiteral("C"), 3);
    const qint64 d = writer().addCollection(QUuid::createUuid(), QStringLiteral("D"), QStringLiteral("D"), 4);
    writer().addSetting(a, QStringLiteral("Capsure.Enabled"), 1);
    writer().addSetting(a, QStringLiteral("CAPSURE.PRIORITY"), 20);
    writer().addSetting(b, QStringLiteral("capsure.enabled"), 1);
    writer().addSetting(b, QStringLiteral("capsure.priority"), QStringLiteral("first please"));
    // Enabled but without a priority: not listed at all.
    writer().addSetting(c, QStringLiteral("capsure.enabled"), 1);
    // A priority but not enabled.
    writer().addSetting(d, QStringLiteral("capsure.enabled"), 0);
    writer().addSetting(d, QStringLiteral("capsure.priority"), 1);
    ASSERT_TRUE(writer().ok()) << writer().lastError().toStdString();

    const auto rows = capsurePriorities();
    ASSERT_EQ(rows.size(), 2);
    // A non-numeric priority casts to 0 and sorts first.
    EXPECT_EQ(rows.at(0), std::make_pair(b, 0));
    EXPECT_EQ(rows.at(1), std::make_pair(a, 20));
}

TEST(DatabaseSchema, ReferenceStatementsAreCompleteAndInOrder)
{
    const QStringList statements = Schema::referenceStatements();
    int tables = 0, indexes = 0, views = 0, inserts = 0;
    for (const QString &statement : statements) {
        const QString trimmed = statement.trimmed();
        tables += trimmed.startsWith(QLatin1String("CREATE TABLE"));
        indexes += trimmed.startsWith(QLatin1String("CREATE INDEX")) || trimmed.startsWith(QLatin1String("CREATE UNIQUE INDEX"));
        views += trimmed.startsWith(QLatin1String("CREATE VIEW"));
        inserts += trimmed.startsWith(QLatin1String("INSERT"));
    }
    EXPECT_EQ(tables, 20);
    EXPECT_EQ(indexes, 16);
    EXPECT_EQ(views, 1);
    EXPECT_EQ(inserts, 15);
    // The view's constant keeps its leading blank.
    EXPECT_TRUE(QString::fromLatin1(Schema::CreateCapsureCollectionIdsByPriority).startsWith(QLatin1String(" CREATE VIEW")));
}

} // namespace
