#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/SchemeQueries.h"
#include "engine/db/StatusCodes.h"

#include <gtest/gtest.h>

using namespace Vantor::DB;
using Palettra::Test::StandardDeck;

namespace {

class SchemeQueriesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        const qint64 a = deck.idA();
        // Card 1 forms a harmonic scheme (1) with cards 4 and 6, a complementary
        // neutral one (8) with card 5.
        w.exec(QStringLiteral("INSERT INTO PAGE_SCHEME(COLLECTION_ID, PAGE_ID, SCHEME_PAGE_ID, SCHEME_ID, \"ORDER\") VALUES(?, ?, ?, 1, 0)"),
               {a, deck.pageIdA(1), deck.pageIdA(4)});
        w.exec(QStringLiteral("INSERT INTO PAGE_SCHEME(COLLECTION_ID, PAGE_ID, SCHEME_PAGE_ID, SCHEME_ID, \"ORDER\") VALUES(?, ?, ?, 1, 1)"),
               {a, deck.pageIdA(1), deck.pageIdA(6)});
        w.exec(QStringLiteral("INSERT INTO PAGE_SCHEME(COLLECTION_ID, PAGE_ID, SCHEME_PAGE_ID, SCHEME_ID, \"ORDER\") VALUES(?, ?, ?, 8, 0)"),
               {a, deck.pageIdA(1), deck.pageIdA(5)});
        // Chip 1-2: scheme 1 partners 6-1 (page 1, row 2) and 4-3 (page 0, row 1).
        addRowScheme(deck.rowIdA(1, 2), 1, deck.rowIdA(6, 1), 1, 2);
        addRowScheme(deck.rowIdA(1, 2), 1, deck.rowIdA(4, 3), 0, 1);
        // Contrast (2) and wide contrast (3) partners of chip 1-2.
        addRowScheme(deck.rowIdA(1, 2), 2, deck.rowIdA(2, 1), 0, 1);
        addRowScheme(deck.rowIdA(1, 2), 3, deck.rowIdA(3, 1), 0, 1);
        addRowScheme(deck.rowIdA(1, 2), 3, deck.rowIdA(3, 2), 1, 1);
        addRowScheme(deck.rowIdA(1, 2), 2, deck.rowIdA(2, 2), 1, 1);
        // Chip 1-1 lists card 4 then card 2 as its scheme-1 cards.
        addRowToPage(deck.rowIdA(1, 1), 1, deck.pageIdA(4), 0);
        addRowToPage(deck.rowIdA(1, 1), 1, deck.pageIdA(2), 1);
        addRowScheme(deck.rowIdA(1, 1), 5, deck.rowIdA(2, 2), 0, 1);
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
    }

    void addRowScheme(qint64 row, int scheme, qint64 partner, int pageOrder, int rowOrder)
    {
        deck.deck().writer().exec(
            QStringLiteral("INSERT INTO ROW_SCHEME_MAP(COLLECTION_ID, ROW_ID, SCHEME_ID, SCHEME_ROW_ID, PAGE_ORDER, ROW_ORDER) VALUES(?, ?, ?, ?, ?, ?)"),
            {deck.idA(), row, scheme, partner, pageOrder, rowOrder});
    }
    void addRowToPage(qint64 row, int scheme, qint64 page, int order)
    {
        deck.deck().writer().exec(
            QStringLiteral("INSERT INTO ROW_TO_PAGE_SCHEME(COLLECTION_ID, ROW_ID, SCHEME_ID, SCHEME_PAGE_ID, \"ORDER\") VALUES(?, ?, ?, ?, ?)"),
            {deck.idA(), row, scheme, page, order});
    }

    static QStringList codes(const QVector<ColorEntry> &colors)
    {
        QStringList list;
        for (const ColorEntry &color : colors)
            list << color.code;
        return list;
    }

    StandardDeck deck;
    const QUuid A = StandardDeck::A;
};

TEST_F(SchemeQueriesTest, SchemePagesLoadWithTheirChips)
{
    QList<ColorPage> pages;
    ASSERT_EQ(loadSchemePages(A, 1, 1, pages), StatusOk);
    ASSERT_EQ(pages.size(), 2);
    QList<int> indexes{pages.at(0).pageIndex, pages.at(1).pageIndex};
    std::sort(indexes.begin(), indexes.end());
    EXPECT_EQ(indexes, (QList<int>{4, 6}));
    EXPECT_EQ(pages.at(0).rows.size(), 3);

    EXPECT_TRUE(hasComplementaryNeutralScheme(A, 1));
    EXPECT_FALSE(hasComplementaryNeutralScheme(A, 2));
    EXPECT_TRUE(hasComplementaryNeutralScheme(QUuid(QStringLiteral("{99999999-0000-4000-8000-000000000000}")), 2));
}

TEST_F(SchemeQueriesTest, SchemeCardsThatNoLongerLoadAreSkipped)
{
    // Both target cards leave the collection.
    deck.deck().writer().exec(QStringLiteral("DELETE FROM COLLECTION_PAGE_MAP WHERE PAGE_ID IN (?, ?)"),
                              {deck.pageIdA(4), deck.pageIdA(6)});
    QList<ColorPage> pages{ColorPage()};
    ASSERT_EQ(loadSchemePages(A, 1, 1, pages), StatusOk);
    EXPECT_TRUE(pages.isEmpty());
}

TEST_F(SchemeQueriesTest, RowSchemeColoursInSchemeOrder)
{
    QVector<ColorEntry> colors;
    ASSERT_EQ(loadRowSchemeColors(A, 1, 1, 2, colors), StatusOk);
    EXPECT_EQ(codes(colors), (QStringList{QStringLiteral("A-4-3"), QStringLiteral("A-6-1")}));
    EXPECT_EQ(colors.at(0).rowIndex, 1); // the position within the scheme
    EXPECT_EQ(colors.at(1).rowIndex, 2);
    EXPECT_EQ(colors.at(0).collectionId, deck.idA());
    EXPECT_EQ(colors.at(0).names.size(), 10);
}

TEST_F(SchemeQueriesTest, RowPositionOutsideTheCard)
{
    QVector<ColorEntry> colors{ColorEntry()};
    EXPECT_EQ(loadRowSchemeColors(A, 1, 1, 0, colors), StatusRowOutsideCard);
    EXPECT_TRUE(colors.isEmpty());
    colors = {ColorEntry()};
    EXPECT_EQ(loadPageSchemeColors(A, 1, 1, 4, colors), StatusRowOutsideCard);
    EXPECT_TRUE(colors.isEmpty());
    EXPECT_EQ(loadContrastSchemeColors(A, 1, 4, colors), StatusRowOutsideCard);
    EXPECT_EQ(loadRowSchemeColors(A, 1, 99, 1, colors), StatusQueryFailed);
}

TEST_F(SchemeQueriesTest, SchemesThatDoNotApplyGiveNothing)
{
    QVector<ColorEntry> colors;
    // Dramatic (5) needs a neutral or white colour.
    ASSERT_EQ(loadRowSchemeColors(A, 5, 1, 1, colors), StatusOk);
    EXPECT_TRUE(colors.isEmpty());
    deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET WHITE = 1 WHERE ID = ?"), {deck.rowIdA(1, 1)});
    ASSERT_EQ(loadRowSchemeColors(A, 5, 1, 1, colors), StatusOk);
    EXPECT_EQ(codes(colors), QStringList{QStringLiteral("A-2-2")});
    // Complementary neutral (8) needs a rich colour (mood 4).
    ASSERT_EQ(loadRowSchemeColors(A, 8, 1, 1, colors), StatusOk);
    EXPECT_TRUE(colors.isEmpty());
}

TEST_F(SchemeQueriesTest, PageSchemeColoursCardByCard)
{
    QVector<ColorEntry> colors;
    ASSERT_EQ(loadPageSchemeColors(A, 1, 1, 1, colors), StatusOk);
    EXPECT_EQ(codes(colors), (QStringList{QStringLiteral("A-4-1"), QStringLiteral("A-4-2"), QStringLiteral("A-4-3"),
                                          QStringLiteral("A-2-1"), QStringLiteral("A-2-2"), QStringLiteral("A-2-3")}));
    EXPECT_EQ(colors.at(0).pageOrder, 0);
    EXPECT_EQ(colors.at(3).pageOrder, 1);
    EXPECT_EQ(colors.at(4).rowIndex, 2);
}

// A failed query of a colour's scheme cards writes its error to the debug output.
TEST_F(SchemeQueriesTest, FailedPageSchemeQueryIsLogged)
{
    deck.deck().writer().exec(QStringLiteral("DROP TABLE ROW_TO_PAGE_SCHEME"));
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        messages << text;
    });
    QVector<ColorEntry> colors;
    const int status = loadPageSchemeColors(A, 1, 1, 1, colors);
    qInstallMessageHandler(previous);
    EXPECT_EQ(status, StatusQueryFailed);
    EXPECT_TRUE(colors.isEmpty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(QStringLiteral(" : "))) << messages.first().toStdString();
    EXPECT_TRUE(messages.first().contains(QStringLiteral("ROW_TO_PAGE_SCHEME"))) << messages.first().toStdString();
}

TEST_F(SchemeQueriesTest, ContrastPartnersMerged)
{
    QVector<ColorEntry> colors;
    ASSERT_EQ(loadContrastSchemeColors(A, 1, 2, colors), StatusOk);
    // Wide contrast of scheme card 0, contrast of card 0, wide contrast of card 1, rest.
    EXPECT_EQ(codes(colors), (QStringList{QStringLiteral("A-3-1"), QStringLiteral("A-2-1"), QStringLiteral("A-3-2"),
                                          QStringLiteral("A-2-2")}));
}

} // namespace
