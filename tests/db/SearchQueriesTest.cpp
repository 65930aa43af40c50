#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/CollectionSettings.h"
#include "engine/db/SearchQueries.h"
#include "engine/db/StatusCodes.h"

#include <gtest/gtest.h>

using namespace Vantor::DB;
using Palettra::Test::StandardDeck;

namespace {

struct Found
{
    int status = 0;
    int pageIndex = 0, rowIndex = 0, segment = 0, mood = 0;
    bool exterior = true;
};

class SearchQueriesTest : public ::testing::Test
{
protected:
    void useSearchOrders(const QStringList &pageOrder, const QStringList &rowOrder)
    {
        auto &w = deck.deck().writer();
        w.addSettingList(deck.idA(), QStringLiteral("page.name.search.order"), pageOrder);
        w.addSettingList(deck.idA(), QStringLiteral("row.name.search.order"), rowOrder);
        ASSERT_TRUE(w.ok());
        loadOrderLists(StandardDeck::A);
    }

    Found search(const QString &phrase)
    {
        Found found;
        found.status = searchPhrase(StandardDeck::A, phrase, found.pageIndex, found.rowIndex, found.segment,
                                    found.mood, found.exterior);
        return found;
    }

    StandardDeck deck;
};

TEST_F(SearchQueriesTest, WithoutSearchOrdersOnlyCodesTakePart)
{
    loadOrderLists(StandardDeck::A);
    QStringList completions{QStringLiteral("stale")};
    ASSERT_EQ(loadCompletions(StandardDeck::A, completions), StatusOk);
    ASSERT_EQ(completions.size(), 18);
    EXPECT_EQ(completions.first(), QStringLiteral("A-1-1"));
    EXPECT_EQ(completions.last(), QStringLiteral("A-6-3"));

    EXPECT_EQ(search(QStringLiteral("Name 2 1")).status, StatusNothingMatches);
    const Found found = search(QStringLiteral("a-2-1"));
    ASSERT_EQ(found.status, StatusOk);
    EXPECT_EQ(found.pageIndex, 2);
    EXPECT_EQ(found.rowIndex, 1);
    EXPECT_EQ(found.segment, 1);
    EXPECT_EQ(found.mood, 2);
    EXPECT_TRUE(found.exterior);
}

TEST_F(SearchQueriesTest, CompletionsAreDistinctNonBlankAndSortedByCode)
{
    // Position 12 is not a column and is skipped.
    useSearchOrders({QStringLiteral("1"), QStringLiteral("12")}, {QStringLiteral("0")});
    auto &w = deck.deck().writer();
    w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = '   ' WHERE CODE = 'A-1-1'"));
    w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = 'A-1-2' WHERE CODE = 'A-1-3'"));
    w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = 'apple' WHERE CODE = 'A-1-2'"));
    ASSERT_TRUE(w.ok());

    QStringList completions;
    ASSERT_EQ(loadCompletions(StandardDeck::A, completions), StatusOk);
    EXPECT_FALSE(completions.contains(QStringLiteral("   ")));
    EXPECT_EQ(completions.count(QStringLiteral("A-1-2")), 1);
    EXPECT_TRUE(completions.contains(QStringLiteral("Karte 3")));
    EXPECT_FALSE(completions.contains(QStringLiteral("Card 3"))); // NAME0 of cards is not searched
    EXPECT_TRUE(completions.contains(QStringLiteral("Name 6 3")));
    // Case-sensitive code order: upper case before lower case.
    EXPECT_LT(completions.indexOf(QStringLiteral("Name 6 3")), completions.indexOf(QStringLiteral("apple")));
    QStringList sorted = completions;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(completions, sorted);
}

TEST_F(SearchQueriesTest, FindsCardsAndColoursIgnoringAsciiCase)
{
    useSearchOrders({QStringLiteral("1")}, {QStringLiteral("1"), QStringLiteral("0")});
    Found card = search(QStringLiteral("KARTE 5"));
    ASSERT_EQ(card.status, StatusOk);
    EXPECT_EQ(card.pageIndex, 5);
    EXPECT_EQ(card.rowIndex, -1);
    EXPECT_EQ(card.mood, 6);
    EXPECT_EQ(card.segment, 3);

    const Found colour = search(QStringLiteral("zweit 4 3"));
    ASSERT_EQ(colour.status, StatusOk);
    EXPECT_EQ(colour.pageIndex, 4);
    EXPECT_EQ(colour.rowIndex, 3);

    // Exact matches only.
    EXPECT_EQ(search(QStringLiteral("Zweit 4")).status, StatusNothingMatches);
    const Found missing = search(QStringLiteral("nothing like it"));
    EXPECT_EQ(missing.status, StatusNothingMatches);
    EXPECT_EQ(missing.pageIndex, -1);
    EXPECT_EQ(missing.rowIndex, -1);
    EXPECT_EQ(missing.segment, -1);
    EXPECT_EQ(missing.mood, 0);
    EXPECT_FALSE(missing.exterior);
}

TEST_F(SearchQueriesTest, CardNameEqualToACodeCountsAsTheCard)
{
    useSearchOrders({QStringLiteral("1")}, {});
    deck.deck().writer().exec(QStringLiteral("UPDATE PAGE SET NAME1 = 'A-2-2' WHERE PAGE_INDEX = 2 AND COLLECTION_ID = ?"),
                              {deck.idA()});
    const Found found = search(QStringLiteral("A-2-2"));
    ASSERT_EQ(found.status, StatusOk);
    EXPECT_EQ(found.pageIndex, 2);
    EXPECT_EQ(found.rowIndex, -1);
}

TEST_F(SearchQueriesTest, NonAsciiLowerCaseStoredNamesAreNotFound)
{
    useSearchOrders({}, {QStringLiteral("0")});
    auto &w = deck.deck().writer();
    w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = ? WHERE CODE = 'A-3-1'"), {QStringLiteral("Crème brûlée")});
    w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = ? WHERE CODE = 'A-3-2'"), {QStringLiteral("CRÈME")});
    EXPECT_EQ(search(QStringLiteral("Crème brûlée")).status, StatusNothingMatches);
    EXPECT_EQ(search(QStringLiteral("CRÈME BRÛLÉE")).status, StatusNothingMatches);
    const Found upper = search(QStringLiteral("crème"));
    ASSERT_EQ(upper.status, StatusOk);
    EXPECT_EQ(upper.rowIndex, 2);
}

TEST_F(SearchQueriesTest, PhrasesAreDataNotSql)
{
    useSearchOrders({QStringLiteral("0")}, {QStringLiteral("0")});
    for (const QString &phrase : {QStringLiteral("x' OR 1=1 --"), QStringLiteral("') OR ('a'='a"),
                                  QStringLiteral("A-1-1'; DROP TABLE PAGE; --"), QStringLiteral("\" OR \"\"=\""),
                                  QStringLiteral("x UNION SELECT 1,2,3,4,5,6")})
        EXPECT_EQ(search(phrase).status, StatusNothingMatches) << phrase.toStdString();
    deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = ? WHERE CODE = 'A-6-1'"),
                              {QStringLiteral("Miller's Cream")});
    const Found quoted = search(QStringLiteral("miller's cream"));
    ASSERT_EQ(quoted.status, StatusOk);
    EXPECT_EQ(quoted.pageIndex, 6);
    EXPECT_EQ(search(QStringLiteral("Card 1")).status, StatusOk);
}

TEST_F(SearchQueriesTest, UnknownCollection)
{
    QStringList completions{QStringLiteral("stale")};
    EXPECT_EQ(loadCompletions(QUuid(), completions), StatusNullUuid);
    EXPECT_TRUE(completions.isEmpty());
    int p = 0, r = 0, s = 0, m = 0;
    bool e = true;
    EXPECT_EQ(searchPhrase(StandardDeck::C, QStringLiteral("C-1-1"), p, r, s, m, e), StatusUnknownCollection);
    EXPECT_EQ(p, -1);
    EXPECT_FALSE(e);
}

} // namespace
