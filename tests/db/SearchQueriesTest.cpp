#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/CollectionSettings.h"
#include "engine/db/ForgivingSearch.h"
#include "engine/db/SearchQueries.h"
#include "engine/db/SpellingSearch.h"
#include "engine/db/StatusCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>

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

namespace {

// The optimal string alignment distance by its whole table, without bounds or shortcuts.
int plainDistance(const QString &a, const QString &b)
{
    QVector<QVector<int>> d(a.size() + 1, QVector<int>(b.size() + 1));
    for (int i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (int j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        for (int j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

} // namespace

// The spelling search against a plain scan of the same entries in deck order (every
// word compared by its whole table, the same tolerances and ranking), over generated
// names and slips of every kind.
TEST_F(SearchQueriesTest, SpellingSearchAgreesWithAPlainScan)
{
    EXPECT_EQ(spellingText(QString::fromUtf8("Crème Brûlée")), QStringLiteral("creme brulee"));
    EXPECT_EQ(spellingText(QString::fromUtf8("Œuvre GRAY Color-\uFB01ne")), QStringLiteral("oeuvre grey colour fine"));

    useSearchOrders({}, {QStringLiteral("0")});
    struct Plain
    {
        int page, row;
        QString text;
    };
    QVector<Plain> entries; // in deck order: each chip's code, then its name
    for (int page = 1; page <= 6; ++page) {
        for (int row = 1; row <= 3; ++row) {
            entries.append({page, row, QStringLiteral("A-%1-%2").arg(page).arg(row)});
            entries.append({page, row, QStringLiteral("Name %1 %2").arg(page).arg(row)});
        }
    }
    std::mt19937 random(20261209);
    const char *const syllables[] = {"ra", "mo", "ta", "li", "ven", "do", "ska", "ber", "un", "qui", "lo", "mar", "e"};
    auto word = [&] {
        QString made;
        for (int i = 2 + int(random() % 3); i > 0; --i)
            made += QLatin1String(syllables[random() % std::size(syllables)]);
        return made;
    };
    auto &w = deck.deck().writer();
    for (int page = 7; page <= 14; ++page) {
        const qint64 pageId = w.addPage(deck.idA(), page, 1, QStringLiteral("Card %1").arg(page));
        for (int row = 1; row <= 12; ++row) {
            Palettra::Deck::RowSpec chip;
            chip.rowIndex = row;
            chip.code = QStringLiteral("S-%1-%2").arg(page).arg(row);
            chip.names = {random() % 2 ? word() : word() + QLatin1Char(' ') + word()};
            w.addRow(deck.idA(), pageId, chip);
            entries.append({page, row, chip.code});
            entries.append({page, row, chip.names.first()});
        }
    }
    ASSERT_TRUE(w.ok()) << w.lastError().toStdString();

    auto plainBest = [&](const QString &phrase) {
        const QStringList typed = spellingText(phrase).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        int best = -1, bestCost = 0;
        bool bestWhole = false;
        for (int e = 0; e < entries.size(); ++e) {
            const QStringList words = spellingText(entries.at(e).text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (typed.isEmpty() || words.size() < typed.size())
                continue;
            int cost = 0;
            for (int i = 0; i < typed.size() && cost >= 0; ++i) {
                const int distance = plainDistance(typed.at(i), words.at(i));
                cost = distance > spellingTolerance(typed.at(i).size()) ? -1 : cost + distance;
            }
            const bool whole = words.size() == typed.size();
            if (cost >= 0 && (best < 0 || cost < bestCost || (cost == bestCost && whole && !bestWhole))) {
                best = e;
                bestCost = cost;
                bestWhole = whole;
            }
        }
        return best;
    };
    int found = 0;
    for (int trial = 0; trial < 300; ++trial) {
        QString phrase = entries.at(36 + 2 * int(random() % 96) + 1).text;
        for (int slips = int(random() % 3); slips > 0 && phrase.size() > 1; --slips) {
            const int at = int(random() % (phrase.size() - 1));
            switch (random() % 4) {
            case 0: phrase[at] = QLatin1Char('a' + char(random() % 26)); break;
            case 1: phrase.remove(at, 1); break;
            case 2: phrase.insert(at, QLatin1Char('a' + char(random() % 26))); break;
            default: std::swap(phrase[at], phrase[at + 1]);
            }
        }
        const int expected = plainBest(phrase);
        const ForgivingHit hit = spellingSearch({StandardDeck::A}, phrase);
        if (expected < 0) {
            EXPECT_EQ(hit.match, ForgivingMatch::None) << phrase.toStdString();
            continue;
        }
        ++found;
        EXPECT_EQ(hit.match, ForgivingMatch::Spelling) << phrase.toStdString();
        EXPECT_EQ(hit.text, entries.at(expected).text) << phrase.toStdString();
        EXPECT_EQ(hit.pageIndex, entries.at(expected).page) << phrase.toStdString();
        EXPECT_EQ(hit.rowIndex, entries.at(expected).row) << phrase.toStdString();
    }
    EXPECT_GT(found, 150); // most slips are forgiven, and some are not
    EXPECT_LT(found, 300);
}
