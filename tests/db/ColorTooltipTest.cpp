#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/CollectionSettings.h"
#include "engine/db/ColorTooltip.h"

#include <gtest/gtest.h>

using namespace Vantor::DB;
using Palettra::Test::StandardDeck;

namespace {

class ColorTooltipTest : public ::testing::Test
{
protected:
    void setSwitch(const char *key)
    {
        deck.deck().writer().addSetting(deck.idA(), QLatin1String(key), 1);
    }
    StandardDeck deck;
};

TEST_F(ColorTooltipTest, AllSwitchesOff)
{
    EXPECT_EQ(colorTooltipText(StandardDeck::A, deck.rowIdA(1, 1), true), QStringLiteral("<div style=\"margin:2px;\"></div>"));
    EXPECT_EQ(colorTooltipText(StandardDeck::A, deck.rowIdA(1, 1), false), QString());
    EXPECT_EQ(colorTooltipText(StandardDeck::A, 999999, true), QString());
}

TEST_F(ColorTooltipTest, LinesInOrderWithDisplayOrders)
{
    for (const char *key : {"color.tooltip.show.collection.name", "color.tooltip.show.card.name",
                            "color.tooltip.show.row.code", "color.tooltip.show.row.name",
                            "color.tooltip.show.row.auxiliary.info", "color.tooltip.show.page.index",
                            "color.tooltip.show.row.row.index"})
        setSwitch(key);
    auto &w = deck.deck().writer();
    w.addSettingList(deck.idA(), QStringLiteral("page.name.display.order"), {QStringLiteral("1"), QStringLiteral("7")});
    w.addSettingList(deck.idA(), QStringLiteral("row.name.display.order"), {QStringLiteral("1"), QStringLiteral("0")});
    w.addSettingList(deck.idA(), QStringLiteral("row.extra.display.order"), {QStringLiteral("0")});
    ASSERT_TRUE(w.ok());
    loadOrderLists(StandardDeck::A);

    EXPECT_EQ(colorTooltipText(StandardDeck::A, deck.rowIdA(3, 2), false),
              QStringLiteral("Interior\nKarte 3\nA-3-2\nZweit 3 2\nName 3 2\nExtra 3 2\n3\n2"));
    EXPECT_EQ(colorTooltipText(StandardDeck::A, deck.rowIdA(3, 2), true),
              QStringLiteral("<div style=\"margin:2px;\">Interior<br/>Karte 3<br/>A-3-2<br/>Zweit 3 2<br/>Name 3 2<br/>"
                             "<span style=\"font-style:italic;\">Extra 3 2</span><br/>3<br/>2</div>"));
}

} // namespace
