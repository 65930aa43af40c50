#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/CollectionRegistry.h"
#include "engine/db/NavigationQueries.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace Vantor::DB;
using Palettra::Test::StandardDeck;

namespace {

const int AllMoods = 7;

class NavigationQueriesTest : public ::testing::Test
{
protected:
    StandardDeck deck;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
    const QUuid Unknown{QStringLiteral("{12345678-0000-4000-8000-000000000000}")};

    // The page index reached by stepping from a card.
    int step(int from, bool backward, int mood, bool exteriorOnly)
    {
        ColorPage page;
        const int status = loadAdjacentPage(A, from, backward, mood, exteriorOnly, page);
        return status == StatusOk ? page.pageIndex : status;
    }
    int firstOfSegment(int segment, int mood, bool exteriorOnly)
    {
        ColorPage page;
        const int status = loadFirstPageOfSegment(A, segment, mood, exteriorOnly, page);
        return status == StatusOk ? page.pageIndex : status;
    }
};

TEST_F(NavigationQueriesTest, PageByIndexCarriesItsChipsInPositionOrder)
{
    ColorPage page;
    ASSERT_EQ(loadPageByIndex(A, 4, page), StatusOk);
    EXPECT_EQ(page.pageIndex, 4);
    EXPECT_EQ(page.segment, 2);
    EXPECT_EQ(page.mood, 3);
    EXPECT_FALSE(page.exterior);
    EXPECT_EQ(page.id, deck.pageIdA(4));
    EXPECT_EQ(page.name(1), QStringLiteral("Karte 4"));
    ASSERT_EQ(page.rows.size(), 3);
    for (int r = 1; r <= 3; ++r) {
        const ColorEntry &chip = page.rows.at(r - 1);
        EXPECT_EQ(chip.rowIndex, r);
        EXPECT_EQ(chip.code, QStringLiteral("A-4-%1").arg(r));
        EXPECT_EQ(chip.collectionId, deck.idA());
        EXPECT_EQ(chip.pageId, deck.pageIdA(4));
        EXPECT_EQ(chip.color(), QColor(160, 20 * r, 100));
    }
    // Collection B's card 1 is another card with the same index.
    ColorPage other;
    ASSERT_EQ(loadPageByIndex(B, 1, other), StatusOk);
    EXPECT_EQ(other.rows.first().code, QStringLiteral("B-1-1"));
}

TEST_F(NavigationQueriesTest, MissingCardsAndCollections)
{
    ColorPage page;
    page.pageIndex = 99;
    EXPECT_EQ(loadPageByIndex(A, 7, page), StatusQueryFailed);
    EXPECT_EQ(page.pageIndex, 99); // untouched on failure
    EXPECT_EQ(loadPageByIndex(Unknown, 1, page), StatusUnknownCollection);
    EXPECT_EQ(loadPageByIndex(QUuid(), 1, page), StatusNullUuid);
    EXPECT_EQ(loadPageByIndex(StandardDeck::C, 1, page), StatusUnknownCollection);
}

TEST_F(NavigationQueriesTest, PageByIdWithAndWithoutChips)
{
    ColorPage page;
    ASSERT_EQ(loadPageById(A, deck.pageIdA(2), true, page), StatusOk);
    EXPECT_EQ(page.pageIndex, 2);
    EXPECT_TRUE(page.rows.isEmpty());
    ASSERT_EQ(loadPageById(A, deck.pageIdA(2), false, page), StatusOk);
    ASSERT_EQ(page.rows.size(), 3);
    EXPECT_EQ(page.rows.at(2).code, QStringLiteral("A-2-3"));
    // A card of A is not a card of B.
    EXPECT_EQ(loadPageById(B, deck.pageIdA(2), true, page), StatusQueryFailed);
}

TEST_F(NavigationQueriesTest, SingleColoursResetTheirOutput)
{
    ColorEntry entry;
    ASSERT_EQ(loadColorById(A, deck.rowIdA(3, 2), entry), StatusOk);
    EXPECT_EQ(entry.code, QStringLiteral("A-3-2"));
    EXPECT_EQ(entry.mood, 5);
    EXPECT_EQ(entry.names.size(), 10);
    EXPECT_EQ(entry.name(1), QStringLiteral("Zweit 3 2"));
    EXPECT_EQ(entry.extra(0), QStringLiteral("Extra 3 2"));

    ASSERT_EQ(loadColorAt(A, 6, 3, entry), StatusOk);
    EXPECT_EQ(entry.id, deck.rowIdA(6, 3));
    EXPECT_EQ(entry.rowIndex, 3);
    EXPECT_EQ(entry.segment, 3);

    EXPECT_EQ(loadColorAt(A, 6, 4, entry), StatusQueryFailed);
    EXPECT_EQ(entry.id, -1);
    EXPECT_EQ(entry.red, -1);
    EXPECT_TRUE(entry.names.isEmpty());
    EXPECT_EQ(loadColorById(A, 0, entry), StatusQueryFailed);
    EXPECT_EQ(loadColorById(Unknown, deck.rowIdA(1, 1), entry), StatusUnknownCollection);
}

TEST_F(NavigationQueriesTest, PageSteppingWrapsInBothDirections)
{
    // All moods leave out off-white (3) and neutral (5).
    EXPECT_EQ(step(1, false, AllMoods, false), 2);
    EXPECT_EQ(step(2, false, AllMoods, false), 4);
    EXPECT_EQ(step(4, false, AllMoods, false), 6);
    EXPECT_EQ(step(6, false, AllMoods, false), 1);
    EXPECT_EQ(step(1, true, AllMoods, false), 6);
    EXPECT_EQ(step(6, true, AllMoods, false), 4);
    EXPECT_EQ(step(4, true, AllMoods, false), 2);

    // Where a wrap leads is kept, but not past a change of the file: card 6 turns
    // off-white and leaves the deck shown under all moods.
    deck.deck().writer().exec(QStringLiteral("UPDATE PAGE SET MOOD = 5 WHERE ID = %1").arg(deck.pageIdA(6)));
    ASSERT_TRUE(deck.deck().writer().ok());
    EXPECT_EQ(step(1, true, AllMoods, false), 4);
    EXPECT_EQ(step(4, false, AllMoods, false), 1);
}

TEST_F(NavigationQueriesTest, PageSteppingUnderFilters)
{
    EXPECT_EQ(step(1, false, 1, false), 6);
    EXPECT_EQ(step(6, false, 1, false), 1);
    EXPECT_EQ(step(6, true, 1, false), 1);
    // A single matching card steps onto itself.
    EXPECT_EQ(step(4, false, 3, false), 4);
    EXPECT_EQ(step(4, true, 3, false), 4);
    // Exterior under all moods keeps the neutral and off-white cards.
    EXPECT_EQ(step(2, false, AllMoods, true), 3);
    EXPECT_EQ(step(3, false, AllMoods, true), 5);
    EXPECT_EQ(step(5, false, AllMoods, true), 2);
    EXPECT_EQ(step(2, true, AllMoods, true), 5);
    EXPECT_EQ(step(1, false, 2, true), 2);
    EXPECT_EQ(step(1, false, 1, true), StatusNothingMatches);
    EXPECT_EQ(step(1, false, 4, false), StatusNothingMatches);
}

TEST_F(NavigationQueriesTest, SegmentSteppingWrapsToTheLowestSegment)
{
    EXPECT_EQ(firstOfSegment(1, AllMoods, false), 1);
    EXPECT_EQ(firstOfSegment(2, AllMoods, false), 4);
    EXPECT_EQ(firstOfSegment(3, AllMoods, false), 6);
    EXPECT_EQ(firstOfSegment(9, AllMoods, false), 1);
    EXPECT_EQ(firstOfSegment(2, 1, false), 6);
    EXPECT_EQ(firstOfSegment(3, 2, false), 2);
    // Under all moods with the exterior filter, segment stepping still leaves out the
    // neutral card 5 (page stepping reaches it).
    EXPECT_EQ(firstOfSegment(3, AllMoods, true), 2);
    EXPECT_EQ(step(3, false, AllMoods, true), 5);
    EXPECT_EQ(firstOfSegment(1, 4, false), StatusNothingMatches);
}

TEST_F(NavigationQueriesTest, FirstPageOfSegmentLoadsItsChips)
{
    ColorPage page;
    ASSERT_EQ(loadFirstPageOfSegment(A, 2, AllMoods, false, page), StatusOk);
    ASSERT_EQ(page.rows.size(), 3);
    EXPECT_EQ(page.rows.at(0).code, QStringLiteral("A-4-1"));
    EXPECT_EQ(page.rows.at(2).rowIndex, 3);
}

TEST_F(NavigationQueriesTest, SegmentAndPageFindersSetTheirOutputsFirst)
{
    int segment = 0;
    int pageIndex = 0;
    EXPECT_EQ(findSegmentFrom(A, 2, 6, false, segment), StatusOk);
    EXPECT_EQ(segment, 3);
    EXPECT_EQ(findFirstPageIndexFrom(A, 2, 6, false, pageIndex), StatusOk);
    EXPECT_EQ(pageIndex, 5);

    EXPECT_EQ(findSegmentFrom(A, 2, 4, false, segment), StatusNothingMatches);
    EXPECT_EQ(segment, 2);
    EXPECT_EQ(findFirstPageIndexFrom(A, 2, 4, false, pageIndex), StatusNothingMatches);
    EXPECT_EQ(pageIndex, -1);
    EXPECT_EQ(findFirstPageIndexFrom(Unknown, 2, 1, false, pageIndex), StatusUnknownCollection);
    EXPECT_EQ(pageIndex, -1);
}

TEST_F(NavigationQueriesTest, SegmentsAndExteriorMoods)
{
    QVector<int> segments{42};
    ASSERT_EQ(loadSegments(A, segments), StatusOk);
    EXPECT_EQ(segments, (QVector<int>{1, 2, 3}));
    // The segments are kept between calls, but not past a change of the file.
    deck.deck().writer().exec(QStringLiteral("UPDATE PAGE SET SEGMENT = 7 WHERE ID = %1").arg(deck.pageIdA(4)));
    ASSERT_TRUE(deck.deck().writer().ok());
    ASSERT_EQ(loadSegments(A, segments), StatusOk);
    EXPECT_EQ(segments, (QVector<int>{1, 2, 3, 7}));
    EXPECT_EQ(loadSegments(Unknown, segments), StatusUnknownCollection);
    EXPECT_TRUE(segments.isEmpty());

    EXPECT_TRUE(hasExteriorPagesWithMood(A, 2));
    EXPECT_TRUE(hasExteriorPagesWithMood(A, 6));
    EXPECT_FALSE(hasExteriorPagesWithMood(A, 1));
    EXPECT_FALSE(hasExteriorPagesWithMood(B, 2));
}

TEST_F(NavigationQueriesTest, ColoursAcrossEnabledCollections)
{
    ColorEntry entry;
    ASSERT_EQ(findColorByCode(QStringLiteral("a-5-2"), entry), StatusOk);
    EXPECT_EQ(entry.id, deck.rowIdA(5, 2));
    ASSERT_EQ(findColorByRgb(QColor(80, 60, 100), entry), StatusOk);
    EXPECT_EQ(entry.code, QStringLiteral("A-2-3"));
    ASSERT_EQ(findColorByCode(QStringLiteral("B-2-1"), entry), StatusOk);
    EXPECT_EQ(entry.collectionId, deck.idB());

    // Colours of a collection that is not enabled are not found.
    EXPECT_EQ(findColorByCode(QStringLiteral("C-1-1"), entry), StatusQueryFailed);
    EXPECT_EQ(findColorByRgb(QColor(1, 2, 3), entry), StatusQueryFailed);
    EXPECT_EQ(entry.id, -1);
}

TEST_F(NavigationQueriesTest, CodesAreDataNotSql)
{
    const QStringList attempts{
        QStringLiteral("A-1-1' OR '1'='1"),
        QStringLiteral("x' UNION SELECT * FROM \"ROW\" --"),
        QStringLiteral("'; DELETE FROM \"ROW\"; --"),
        QStringLiteral("A-1-1' --"),
        QStringLiteral("/* A-1-1 */"),
    };
    ColorEntry entry;
    for (const QString &code : attempts)
        EXPECT_EQ(findColorByCode(code, entry), StatusQueryFailed) << code.toStdString();

    // A stored code with a quote is simply found.
    deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET CODE = ? WHERE ID = ?"),
                              {QStringLiteral("O'Brien 7"), deck.rowIdA(1, 1)});
    ASSERT_EQ(findColorByCode(QStringLiteral("o'brien 7"), entry), StatusOk);
    EXPECT_EQ(entry.id, deck.rowIdA(1, 1));

    // Nothing was changed by the attempts.
    QSqlQuery count(CollectionRegistry::instance().connection(A));
    ASSERT_TRUE(count.exec(QStringLiteral("SELECT COUNT(*) FROM \"ROW\"")));
    ASSERT_TRUE(count.next());
    EXPECT_EQ(count.value(0).toInt(), 6 * 3 + 2 * 2 + 1);
}

} // namespace
