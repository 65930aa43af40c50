#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/StatusCodes.h"

#include <gtest/gtest.h>

using namespace Vantor::DB;
using Palettra::Test::StandardDeck;

namespace {

class CapsureQueriesTest : public ::testing::Test
{
protected:
    void enable(qint64 collection, const QVariant &priority)
    {
        deck.deck().writer().addSetting(collection, QStringLiteral("capsure.enabled"), 1);
        deck.deck().writer().addSetting(collection, QStringLiteral("capsure.priority"), priority);
    }

    StandardDeck deck;
};

TEST_F(CapsureQueriesTest, NothingEnabledFindsNothing)
{
    QVector<qint64> ids{7};
    ASSERT_EQ(loadCapsureCollectionIds(ids), StatusOk);
    EXPECT_TRUE(ids.isEmpty());
    QVector<ColorEntry> matches;
    ASSERT_EQ(findCapsureMatches(QStringLiteral("A-1-1"), matches), StatusOk);
    EXPECT_TRUE(matches.isEmpty());
}

TEST_F(CapsureQueriesTest, MatchesComeInPriorityOrder)
{
    enable(deck.idA(), 5);
    enable(deck.idB(), 2);
    // The same code in both collections.
    deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET CODE = 'shared-7' WHERE CODE IN ('A-2-2', 'B-1-2')"));
    ASSERT_TRUE(deck.deck().writer().ok());

    QVector<qint64> ids;
    ASSERT_EQ(loadCapsureCollectionIds(ids), StatusOk);
    EXPECT_EQ(ids, (QVector<qint64>{deck.idB(), deck.idA()}));

    QVector<ColorEntry> matches;
    ASSERT_EQ(findCapsureMatches(QStringLiteral("SHARED-7"), matches), StatusOk);
    ASSERT_EQ(matches.size(), 2);
    EXPECT_EQ(matches.at(0).collectionId, deck.idB());
    EXPECT_EQ(matches.at(1).collectionId, deck.idA());
}

TEST_F(CapsureQueriesTest, NamesOfTheSearchOrderMatchInAnyAsciiCase)
{
    enable(deck.idA(), 1);
    deck.deck().writer().addSettingList(deck.idA(), QStringLiteral("row.name.search.order"), {QStringLiteral("1")});
    loadOrderLists(StandardDeck::A);
    QVector<ColorEntry> matches;
    ASSERT_EQ(findCapsureMatches(QStringLiteral("ZWEIT 3 1"), matches), StatusOk);
    ASSERT_EQ(matches.size(), 1);
    EXPECT_EQ(matches.first().id, deck.rowIdA(3, 1));
    // A quote is part of the text, not of the statement.
    ASSERT_EQ(findCapsureMatches(QStringLiteral("x') OR 1=1 OR UPPER('"), matches), StatusOk);
    EXPECT_TRUE(matches.isEmpty());
}

TEST_F(CapsureQueriesTest, LabColoursOfACollection)
{
    QVector<LabCandidate> candidates;
    ASSERT_EQ(loadLabColors(StandardDeck::A, candidates), StatusOk);
    ASSERT_EQ(candidates.size(), 18);
    for (const LabCandidate &candidate : candidates) {
        if (candidate.rowId == deck.rowIdA(4, 3)) {
            EXPECT_DOUBLE_EQ(candidate.l, 40.0);
            EXPECT_DOUBLE_EQ(candidate.a, 3.0);
            EXPECT_DOUBLE_EQ(candidate.b, -3.0);
        }
    }
    EXPECT_EQ(loadLabColors(StandardDeck::C, candidates), StatusUnknownCollection);
    EXPECT_TRUE(candidates.isEmpty());
}

// Collections do not change while the engine runs: their candidates are read once, and
// a read that failed is tried again.
TEST_F(CapsureQueriesTest, LabColoursAreReadOnceAndAFailedReadIsNotKept)
{
    auto &writer = deck.deck().writer();
    writer.exec(QStringLiteral("ALTER TABLE \"ROW\" RENAME TO ROW_AWAY"));
    ASSERT_TRUE(writer.ok());
    QVector<LabCandidate> candidates;
    ASSERT_EQ(loadLabColors(StandardDeck::A, candidates), StatusOk);
    EXPECT_TRUE(candidates.isEmpty());

    writer.exec(QStringLiteral("ALTER TABLE ROW_AWAY RENAME TO \"ROW\""));
    ASSERT_TRUE(writer.ok());
    ASSERT_EQ(loadLabColors(StandardDeck::A, candidates), StatusOk);
    ASSERT_EQ(candidates.size(), 18);

    writer.exec(QStringLiteral("DELETE FROM \"ROW\""));
    ASSERT_TRUE(writer.ok());
    QVector<LabCandidate> again;
    ASSERT_EQ(loadLabColors(StandardDeck::A, again), StatusOk);
    ASSERT_EQ(again.size(), 18);
    EXPECT_EQ(again.constData(), candidates.constData()); // one shared copy
    // Another collection of the same file has candidates of its own.
    ASSERT_EQ(loadLabColors(StandardDeck::B, again), StatusOk);
    EXPECT_TRUE(again.isEmpty());
}

} // namespace
