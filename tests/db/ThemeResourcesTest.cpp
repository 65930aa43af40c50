#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/SharedTypes.h"
#include "engine/db/StatusCodes.h"
#include "engine/db/ThemeResources.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace Vantor::DB;
using Palettra::Test::StandardDeck;

using Palettra::Test::solidPng;

namespace {

class ThemeResourcesTest : public ::testing::Test
{
protected:
    void setItem(qint64 collection, const QString &key, const QByteArray &data)
    {
        deck.deck().writer().addThemeItem(collection, key, data);
        ASSERT_TRUE(deck.deck().writer().ok()) << deck.deck().writer().lastError().toStdString();
    }
    StandardDeck deck;
};

TEST_F(ThemeResourcesTest, KeyTable)
{
    EXPECT_EQ(int(ThemeKey::Count), 59);
    EXPECT_EQ(themeKeyText(ThemeKey(0)), QStringLiteral("image.widget.main.background"));
    EXPECT_EQ(themeKeyText(ThemeKey::ListOfPreferredFontFaces), QStringLiteral("list.of.preferred.font.faces"));
    EXPECT_EQ(themeKeyText(ThemeKey(58)), QStringLiteral("image.mto"));
}

TEST_F(ThemeResourcesTest, ImagesFromTheirCollectionsOrPlaceholders)
{
    setItem(0, QStringLiteral("image.widget.main.background"), solidPng(Qt::blue, QSize(5, 4)));
    setItem(deck.idA(), QStringLiteral("IMAGE.BANNER"), solidPng(Qt::green, QSize(30, 7)));
    setItem(0, QStringLiteral("image.tick.normal"), QByteArray("broken image"));

    EXPECT_EQ(themeImage(ThemeKey::ImageWidgetMainBackground, QSize(10, 10)).size(), QSize(5, 4));
    const QImage banner = themeImage(StandardDeck::A, ThemeKey::ImageBanner, QSize(10, 10));
    EXPECT_EQ(banner.size(), QSize(30, 7));
    EXPECT_EQ(banner.pixelColor(3, 3), QColor(Qt::green));

    // Undecodable or missing: white with a red frame one pixel in from the edge.
    const QImage placeholder = themeImage(ThemeKey::ImageTickNormal, QSize(12, 8));
    ASSERT_EQ(placeholder.size(), QSize(12, 8));
    EXPECT_EQ(placeholder.pixelColor(0, 0), QColor(255, 255, 255));
    EXPECT_EQ(placeholder.pixelColor(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(placeholder.pixelColor(10, 6), QColor(255, 0, 0));
    EXPECT_EQ(placeholder.pixelColor(5, 4), QColor(255, 255, 255));
    EXPECT_EQ(placeholder.pixelColor(11, 7), QColor(255, 255, 255));
    EXPECT_TRUE(themeImage(StandardDeck::B, ThemeKey::ImageBanner, QSize()).isNull());

    QByteArray data("stale");
    EXPECT_EQ(themeItem(QUuid(), QStringLiteral("image.banner"), data), StatusNullUuid);
    EXPECT_TRUE(data.isEmpty());
}

TEST_F(ThemeResourcesTest, TextItemsAreNotImages)
{
    // A colour stored as text (not a blob) is not an item.
    deck.deck().writer().exec(QStringLiteral("INSERT INTO THEME(COLLECTION_ID, ITEM_KEY, ITEM_DATA) VALUES(0, 'color.widget.collectionselector.text', '1,2,3')"));
    EXPECT_EQ(themeColor(ThemeKey::ColorWidgetCollectionselectorText, Qt::magenta), QColor(Qt::magenta));
}

TEST_F(ThemeResourcesTest, Colours)
{
    const QColor fallback(Qt::cyan);
    EXPECT_EQ(parseThemeColor("10,20,30", fallback), QColor(10, 20, 30, 255));
    EXPECT_EQ(parseThemeColor("10,20,30,128", fallback), QColor(10, 20, 30, 128));
    EXPECT_EQ(parseThemeColor("10,,20,30", fallback), QColor(10, 20, 30));
    EXPECT_EQ(parseThemeColor("10,300,30", fallback), fallback);
    EXPECT_EQ(parseThemeColor("10,20", fallback), fallback);
    EXPECT_EQ(parseThemeColor("1,2,3,4,5", fallback), fallback);
    EXPECT_EQ(parseThemeColor("red,green,blue", fallback), fallback);
    EXPECT_EQ(parseThemeColor("-1,0,0", fallback), fallback);

    setItem(0, QStringLiteral("color.widget.collectionselector.text"), QByteArray("200,100,50"));
    EXPECT_EQ(themeColor(ThemeKey::ColorWidgetCollectionselectorText, fallback), QColor(200, 100, 50));
    EXPECT_EQ(themeColor(ThemeKey::ImageBanner, fallback), fallback);
}

TEST_F(ThemeResourcesTest, FontListPicksTheFirstInstalledFamily)
{
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    const QString installed = families.first();
    setItem(0, QStringLiteral("list.of.preferred.font.faces"),
            QStringLiteral("No Such Family,11;%1,9;Another,12").arg(installed.toUpper()).toUtf8());
    EXPECT_EQ(preferredFontFamily(), installed.toUpper());
    EXPECT_EQ(baseFontPointSize(), 9);
    EXPECT_EQ(normalFont(0).pointSize(), 7);
    EXPECT_EQ(normalFont(1).pointSize(), 8);
    EXPECT_EQ(normalFont(2).pointSize(), 9);
    EXPECT_EQ(normalFont(3).pointSize(), 10);
    EXPECT_EQ(boldFont(4).pointSize(), 11);
    EXPECT_EQ(boldFont(4).weight(), QFont::Bold);
    EXPECT_TRUE(italicFont(2).italic());
    EXPECT_FALSE(normalFont(2).italic());
    EXPECT_EQ(normalFont(-5).pointSize(), 9);
}

TEST_F(ThemeResourcesTest, AFamilyListedTwiceFallsBackToTheBuiltInList)
{
    const QString installed = QFontDatabase::families().value(0);
    setItem(0, QStringLiteral("list.of.preferred.font.faces"), QStringLiteral("%1,9;%1,12").arg(installed).toUtf8());
    // The built-in list names Myriad Pro and Arial; neither is on the test machine, so
    // no family is chosen.
    if (QFontDatabase::families().contains(QStringLiteral("Arial"), Qt::CaseInsensitive)
        || QFontDatabase::families().contains(QStringLiteral("Myriad Pro"), Qt::CaseInsensitive))
        GTEST_SKIP() << "a built-in family is installed here";
    EXPECT_TRUE(preferredFontFamily().isEmpty());
    EXPECT_EQ(baseFontPointSize(), 0);
}

TEST_F(ThemeResourcesTest, FontsStayUsableWithoutAnInstalledFamily)
{
    setItem(0, QStringLiteral("list.of.preferred.font.faces"), QByteArray("Nowhere Sans,10;Nowhere Serif,8"));
    EXPECT_TRUE(preferredFontFamily().isEmpty());
    const QFont font = normalFont(0);
    EXPECT_GT(font.pointSize(), 0);
    EXPECT_EQ(font.family(), QGuiApplication::font().family());
    EXPECT_GE(boldFont(4).pointSize(), font.pointSize());
}

} // namespace
