#include "TestDeck.h"
#include "TestEnvironment.h"

#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SharedTypes.h"
#include "engine/db/SqlSupport.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>

using namespace Vantor;
using namespace Vantor::DB;

namespace {

const QUuid A("{0a000000-0000-4000-8000-00000000000a}");
const QUuid B("{0b000000-0000-4000-8000-00000000000b}");
const QUuid Unknown("{0c000000-0000-4000-8000-00000000000c}");

class CollectionSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_deck = std::make_unique<Palettra::Test::TestDeck>(m_dir.path(), QStringLiteral("deck.db"));
        m_a = writer().addCollection(A, QStringLiteral("A"), QStringLiteral("Collection A"), 1);
        m_b = writer().addCollection(B, QStringLiteral("B"), QStringLiteral("Collection B"), 2);
        CollectionRegistry::instance().setBaseFolder(m_dir.path());
    }

    void TearDown() override { EXPECT_TRUE(writer().ok()) << writer().lastError().toStdString(); }

    Palettra::Deck::DeckWriter &writer() { return m_deck->writer(); }

    void set(qint64 collection, const QString &name, const QVariant &value, int index = 0)
    {
        writer().addSetting(collection, name, value, index);
    }
    void update(qint64 collection, const QString &name, const QVariant &value)
    {
        writer().exec(QStringLiteral("UPDATE SETTING SET VALUE = ? WHERE COLLECTION_ID = ? AND NAME = ?"),
                      {value, collection, name});
    }
    void setBlob(qint64 collection, const QString &name, int index)
    {
        writer().exec(QStringLiteral("INSERT INTO SETTING(COLLECTION_ID, NAME, VALUE, VALUE_INDEX) VALUES(?, ?, X'0102', ?)"),
                      {collection, name, index});
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Palettra::Test::TestDeck> m_deck;
    qint64 m_a = 0;
    qint64 m_b = 0;
};

TEST_F(CollectionSettingsTest, TextsFallBackToTheirKeys)
{
    writer().addText(m_a, QStringLiteral("aboutbox.caption"), QStringLiteral("About the picker"));
    EXPECT_EQ(localizedString(A, LocaleKey::AboutboxCaption), QStringLiteral("About the picker"));
    EXPECT_EQ(localizedString(A, QStringLiteral("ABOUTBOX.CAPTION")), QStringLiteral("About the picker"));
    EXPECT_EQ(localizedString(B, LocaleKey::AboutboxCaption), QStringLiteral("aboutbox.caption"));
    EXPECT_EQ(localizedString(Unknown, LocaleKey::Motto), QStringLiteral("motto"));
    EXPECT_EQ(localizedString(QUuid(), QStringLiteral("x")), QStringLiteral("x"));
}

TEST_F(CollectionSettingsTest, KeysWithQuotesAreData)
{
    writer().addText(m_a, QStringLiteral("it's"), QStringLiteral("quoted"));
    EXPECT_EQ(localizedString(A, QStringLiteral("it's")), QStringLiteral("quoted"));
    const QString injection = QStringLiteral("x' OR '1'='1");
    EXPECT_EQ(localizedString(A, injection), injection);
    EXPECT_EQ(settingValue(A, QStringLiteral("x' OR 1=1 --"), 42).toInt(), 42);
    EXPECT_TRUE(settingValues(A, QStringLiteral("'; DROP TABLE SETTING; --")).isEmpty());
    EXPECT_EQ(settingValue(A, QStringLiteral("collection.enabled")).toInt(), 1);
}

TEST_F(CollectionSettingsTest, KeyTablesKeepTheirPositions)
{
    EXPECT_EQ(int(LocaleKey::Count), 107);
    EXPECT_EQ(localeKeyText(LocaleKey(0)), QStringLiteral("common.mainwindow.caption"));
    EXPECT_EQ(localeKeyText(LocaleKey(79)), QStringLiteral("3dsmax.select.color.button"));
    EXPECT_EQ(localeKeyText(LocaleKey(99)), QStringLiteral("tab.bar.textures.caption"));
    EXPECT_EQ(localeKeyText(LocaleKey(106)), QStringLiteral("license.copyright"));
    EXPECT_EQ(int(SettingKey::Count), 72);
    EXPECT_EQ(settingKeyText(SettingKey(4)), QStringLiteral("num.of.segments"));
    EXPECT_EQ(settingKeyText(SettingKey(39)), QStringLiteral("cie2000.delta.intervals"));
    EXPECT_EQ(settingKeyText(SettingKey(56)), QStringLiteral("row.name.search.order"));
    EXPECT_EQ(settingKeyText(SettingKey(57)), QStringLiteral("PageOfColorSchemes"));
    EXPECT_EQ(settingKeyText(SettingKey(71)), QStringLiteral("Products"));
}

TEST_F(CollectionSettingsTest, NumbersAndWordsWithDefaults)
{
    EXPECT_EQ(CollectionSettings::numOfSegments(A), 12);
    EXPECT_EQ(CollectionSettings::maxChipsOnAPage(A), 0);
    EXPECT_EQ(CollectionSettings::cardType(A), CollectionSettings::UnknownCardType);
    EXPECT_TRUE(CollectionSettings::hasExteriorFilter(A));
    EXPECT_TRUE(CollectionSettings::moodVisible(A));
    EXPECT_FALSE(CollectionSettings::hasColorSchemesPage(A));
    EXPECT_EQ(CollectionSettings::productNameCodeSeparator(A), QStringLiteral(": "));
    EXPECT_DOUBLE_EQ(CollectionSettings::firstSegmentAngle(A), 0.0);

    set(m_b, QStringLiteral("num.of.segments"), QStringLiteral("abc"));
    set(m_b, QStringLiteral("max.chips.on.a.page"), 7);
    set(m_b, QStringLiteral("card.type"), QStringLiteral("PULVEX"));
    set(m_b, QStringLiteral("first.segment.angle"), QStringLiteral("97.5"));
    set(m_b, QStringLiteral("segment.increment.orientation"), QStringLiteral("ccw"));
    set(m_b, QStringLiteral("mode.card"), QStringLiteral("modecardtocard"));
    set(m_b, QStringLiteral("mode.mood"), QStringLiteral("MoodModeWarmFreshEquals"));
    set(m_b, QStringLiteral("has.exterior.filter"), 0);
    set(m_b, QStringLiteral("mood.visible"), QStringLiteral("yes"));
    set(m_b, QStringLiteral("product.groups.mode"), QStringLiteral("products"));
    EXPECT_EQ(CollectionSettings::numOfSegments(B), 0);
    EXPECT_EQ(CollectionSettings::maxChipsOnAPage(B), 7);
    EXPECT_EQ(CollectionSettings::cardType(B), CollectionSettings::PulvexCard);
    EXPECT_DOUBLE_EQ(CollectionSettings::firstSegmentAngle(B), 97.5);
    EXPECT_EQ(CollectionSettings::segmentIncrementOrientation(B), CollectionSettings::CounterClockwise);
    EXPECT_EQ(CollectionSettings::modeCard(B), CollectionSettings::ModeCardToCard);
    EXPECT_EQ(CollectionSettings::modeMood(B), CollectionSettings::MoodModeWarmFreshEquals);
    EXPECT_FALSE(CollectionSettings::hasExteriorFilter(B));
    EXPECT_FALSE(CollectionSettings::moodVisible(B)); // only 1 means true
    EXPECT_EQ(CollectionSettings::productGroupsMode(B), CollectionSettings::ListProducts);
}

TEST_F(CollectionSettingsTest, CacheFollowsTheCollectionAskedFor)
{
    set(m_a, QStringLiteral("num.of.segments"), 24);
    set(m_b, QStringLiteral("num.of.segments"), 6);
    EXPECT_EQ(CollectionSettings::numOfSegments(A), 24);

    // Cached: a change in the file is not seen while the cache stays bound to A.
    update(m_a, QStringLiteral("num.of.segments"), 18);
    EXPECT_EQ(CollectionSettings::numOfSegments(A), 24);
    EXPECT_EQ(CollectionSettings::cachedCollection(), A);

    // Asking for B re-binds the cache; A is then read afresh.
    EXPECT_EQ(CollectionSettings::numOfSegments(B), 6);
    EXPECT_EQ(CollectionSettings::cachedCollection(), B);
    EXPECT_EQ(CollectionSettings::numOfSegments(A), 18);
}

TEST_F(CollectionSettingsTest, AbsentValuesAreLookedUpAgain)
{
    EXPECT_EQ(CollectionSettings::maxChipsOnAPage(A), 0);
    set(m_a, QStringLiteral("max.chips.on.a.page"), 9);
    EXPECT_EQ(CollectionSettings::maxChipsOnAPage(A), 9);
}

TEST_F(CollectionSettingsTest, TabBarPageOrder)
{
    EXPECT_TRUE(CollectionSettings::tabBarPageOrder(A).isEmpty());

    writer().addSettingList(m_a, QStringLiteral("tab.bar.page"), {QStringLiteral("PageOfTextures"), QStringLiteral(" pageofcolorschemes ")});
    EXPECT_EQ(CollectionSettings::tabBarPageOrder(A), (QVector<int>{8, 1}));

    writer().addSettingList(m_b, QStringLiteral("tab.bar.page"), {QStringLiteral("PageOfProspect"), QStringLiteral("PageOfNothing")});
    setBlob(m_b, QStringLiteral("tab.bar.page"), 2);
    EXPECT_EQ(CollectionSettings::tabBarPageOrder(B), (QVector<int>{1, 2, 4, 8}));
}

TEST_F(CollectionSettingsTest, SchemeWordsStopAtTheFirstNonText)
{
    writer().addSettingList(m_a, QStringLiteral("schemes"),
                            {QStringLiteral(" Harmonic"), QStringLiteral("wide contrast"), QStringLiteral("tonal neutral"),
                             QStringLiteral("sparkly"), QStringLiteral("NATURAL NEUTRAL")});
    EXPECT_EQ(CollectionSettings::schemes(A), (QVector<int>{1, 3, 7, 0, 9}));

    set(m_b, QStringLiteral("schemes"), QStringLiteral("dramatic"), 0);
    setBlob(m_b, QStringLiteral("schemes"), 1);
    set(m_b, QStringLiteral("schemes"), QStringLiteral("contrast"), 2);
    EXPECT_EQ(CollectionSettings::schemes(B), (QVector<int>{5}));
}

TEST_F(CollectionSettingsTest, DeltaEIntervals)
{
    EXPECT_EQ(CollectionSettings::cie2000DeltaIntervals(A), (QVector<double>{0.05}));
    set(m_a, QStringLiteral("cie2000.delta.intervals"), QStringLiteral("0.5,-1,,2"));
    EXPECT_EQ(CollectionSettings::cie2000DeltaIntervals(A), (QVector<double>{0.5, 2.0}));
    set(m_b, QStringLiteral("cie2000.delta.intervals"), QStringLiteral("x"));
    EXPECT_EQ(CollectionSettings::cie2000DeltaIntervals(B), (QVector<double>{0.05}));
}

TEST_F(CollectionSettingsTest, TooltipSwitchesUseTheirFallbackKeys)
{
    EXPECT_FALSE(CollectionSettings::tooltipShowPageName(A));
    set(m_a, QStringLiteral("color.tooltip.show.card.name"), 1);
    set(m_a, QStringLiteral("color.tooltip.show.row.code"), 1);
    set(m_a, QStringLiteral("color.tooltip.show.color.code"), 0);
    set(m_a, QStringLiteral("color.tooltip.show.auxiliary"), 1);
    set(m_a, QStringLiteral("color.tooltip.show.row.auxiliary.info"), 0);
    set(m_a, QStringLiteral("color.tooltip.show.row.row.index"), 1);
    EXPECT_TRUE(CollectionSettings::tooltipShowPageName(A));
    EXPECT_TRUE(CollectionSettings::tooltipShowRowCode(A));
    EXPECT_FALSE(CollectionSettings::tooltipShowRowAuxiliary(A)); // the primary key wins
    EXPECT_FALSE(CollectionSettings::tooltipShowRowName(A));
    EXPECT_TRUE(CollectionSettings::tooltipShowRowIndex(A));
    EXPECT_FALSE(CollectionSettings::tooltipShowCollectionName(A));
    EXPECT_FALSE(CollectionSettings::tooltipShowPageIndex(A));

    // Cached under the primary key.
    update(m_a, QStringLiteral("color.tooltip.show.card.name"), 0);
    EXPECT_TRUE(CollectionSettings::tooltipShowPageName(A));

    EXPECT_TRUE(CollectionSettings::savePaletteTextFormat(A, true));
    EXPECT_FALSE(CollectionSettings::savePaletteTextFormat(A, false));
    set(m_b, QStringLiteral("save.palette.text.format"), 1);
    EXPECT_TRUE(CollectionSettings::savePaletteTextFormat(B, false));
}

TEST_F(CollectionSettingsTest, SizesAndLinks)
{
    const QSize fallback(11, 22);
    EXPECT_EQ(CollectionSettings::prospectChipSize(A, fallback), fallback);
    set(m_a, QStringLiteral("widget.prospect.chip.width"), 40);
    EXPECT_EQ(CollectionSettings::prospectChipSize(A, fallback), fallback);
    set(m_a, QStringLiteral("widget.prospect.chip.height"), 30);
    EXPECT_EQ(CollectionSettings::prospectChipSize(A, fallback), QSize(40, 30));

    EXPECT_EQ(CollectionSettings::textureSize(A, fallback), fallback);
    set(0, QStringLiteral("texture.size"), QStringLiteral("128,96"));
    EXPECT_EQ(CollectionSettings::textureSize(A, fallback), QSize(128, 96));
    set(m_b, QStringLiteral("texture.size"), QStringLiteral("1,2,3"));
    EXPECT_EQ(CollectionSettings::textureSize(B, fallback), fallback);

    EXPECT_EQ(CollectionSettings::helpLink(A), QStringLiteral("file:///%APP%/Contents/Resources/help/main.html"));
    EXPECT_TRUE(CollectionSettings::headerLink(A).isEmpty());
    set(m_a, QStringLiteral("help.link"), QStringLiteral("https://example.invalid/help"));
    EXPECT_EQ(CollectionSettings::helpLink(A), QStringLiteral("https://example.invalid/help"));

    EXPECT_FALSE(CollectionSettings::capsureEnabled(A));
    set(m_a, QStringLiteral("capsure.enabled"), 1);
    set(m_a, QStringLiteral("capsure.folder.to.watch.windows"), QStringLiteral("/tmp/capsure"));
    EXPECT_TRUE(CollectionSettings::capsureEnabled(A));
    EXPECT_EQ(CollectionSettings::capsureFolderToWatch(A), QStringLiteral("/tmp/capsure"));
    EXPECT_TRUE(CollectionSettings::capsureFilenameToWatch(A).isEmpty());
}

TEST_F(CollectionSettingsTest, AvailableTabBarPages)
{
    EXPECT_EQ(CollectionSettings::availableTabBarPages(A), PageOfColorSchemes);

    set(m_b, QStringLiteral("has.product.groups.page"), 1);
    set(m_b, QStringLiteral("has.prospect.page"), 1);
    set(m_b, QStringLiteral("has.textures.page"), 1);
    // Textures also need the switch of the virtual collection.
    EXPECT_EQ(CollectionSettings::availableTabBarPages(B), PageOfColorSchemes | PageOfProducts | PageOfProspect);

    set(0, QStringLiteral("has.textures.page"), 1);
    EXPECT_EQ(CollectionSettings::availableTabBarPages(A), PageOfColorSchemes);
    EXPECT_EQ(CollectionSettings::availableTabBarPages(B),
              PageOfColorSchemes | PageOfProducts | PageOfProspect | PageOfTextures);
}

TEST_F(CollectionSettingsTest, ExteriorMoodPagesAreCachedPerMood)
{
    writer().addPage(m_a, 1, 1, QStringLiteral("Card 1"), true, 3);
    writer().addPage(m_a, 2, 1, QStringLiteral("Card 2"), false, 4);
    EXPECT_TRUE(CollectionSettings::hasPageWithExteriorMood(A, 3));
    EXPECT_FALSE(CollectionSettings::hasPageWithExteriorMood(A, 4));
    // Not openable: treated as present, so the mood stays usable.
    EXPECT_TRUE(hasExteriorPagesWithMood(Unknown, 4));
}

TEST_F(CollectionSettingsTest, OrderLists)
{
    writer().addSettingList(m_a, QStringLiteral("row.name.search.order"), {QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("x")});
    writer().addSettingList(m_a, QStringLiteral("page.name.display.order"), {QStringLiteral("1")});
    // Stored out of order: the value index decides.
    set(m_a, QStringLiteral("row.name.display.order"), 5, 1);
    set(m_a, QStringLiteral("row.name.display.order"), 3, 0);

    loadOrderLists(A);
    EXPECT_EQ(rowNameSearchOrder(), (QVector<int>{2, 0, 0}));
    EXPECT_EQ(pageNameDisplayOrder(), (QVector<int>{1}));
    EXPECT_EQ(rowNameDisplayOrder(), (QVector<int>{3, 5}));
    EXPECT_TRUE(pageExtraDisplayOrder().isEmpty());
    EXPECT_TRUE(pageNameSearchOrder().isEmpty());
    EXPECT_TRUE(rowExtraDisplayOrder().isEmpty());

    loadOrderLists(Unknown);
    EXPECT_TRUE(rowNameSearchOrder().isEmpty());
    EXPECT_TRUE(pageNameDisplayOrder().isEmpty());
}

} // namespace

// Inside a batch the texts and settings come from one read of each collection; they must
// be what the statements answer, for awkward keys too.
TEST_F(CollectionSettingsTest, BatchAnswersAsTheStatementsDo)
{
    writer().addText(m_a, QStringLiteral("aboutbox.caption"), QStringLiteral("About"));
    writer().addText(m_a, QStringLiteral("Twice"), QStringLiteral("first"));
    writer().addText(m_a, QStringLiteral("TWICE"), QStringLiteral("second"));
    writer().addText(m_a, QStringLiteral("ÄRGER"), QStringLiteral("upper umlaut"));
    writer().exec(QStringLiteral("INSERT INTO LOCALE(COLLECTION_ID, \"KEY\", STRING) VALUES(?, 'number', 12)"), {m_a});
    writer().addText(m_a, QStringLiteral(""), QStringLiteral("empty key"));
    set(m_a, QStringLiteral("list.value"), QStringLiteral("one"), 0);
    set(m_a, QStringLiteral("list.value"), QStringLiteral("three"), 2);
    set(m_a, QStringLiteral("List.Value"), QStringLiteral("minus"), -1);
    set(m_a, QStringLiteral("only.second"), QStringLiteral("x"), 1);
    setBlob(m_a, QStringLiteral("blob"), 0);
    set(m_b, QStringLiteral("list.value"), QStringLiteral("b"), 0);
    ASSERT_TRUE(writer().ok()) << writer().lastError().toStdString();

    const QStringList keys{QStringLiteral("aboutbox.caption"), QStringLiteral("ABOUTBOX.caption"), QStringLiteral("twice"),
                           QStringLiteral("ärger"), QStringLiteral("ÄRGER"), QStringLiteral("number"),
                           QStringLiteral("missing"), QStringLiteral("list.value"), QStringLiteral("LIST.VALUE"),
                           QStringLiteral("only.second"), QStringLiteral("blob"), QString(), QStringLiteral("")};
    auto answers = [&] {
        QVariantList all;
        for (const QUuid &collection : {A, B, Unknown}) {
            for (const QString &key : keys)
                all << localizedString(collection, key) << settingValue(collection, key, QStringLiteral("default"))
                    << QVariant(settingValues(collection, key));
        }
        return all;
    };
    const QVariantList plain = answers();
    ASSERT_FALSE(plain.isEmpty());
    EXPECT_EQ(plain.at(0).toString(), QStringLiteral("About"));
    {
        const CollectionLookupBatch batch;
        EXPECT_EQ(answers(), plain);
        // Within the batch the collection is not read again.
        writer().addText(m_a, QStringLiteral("later"), QStringLiteral("new"));
        EXPECT_EQ(localizedString(A, QStringLiteral("later")), QStringLiteral("later"));
    }
    EXPECT_EQ(localizedString(A, QStringLiteral("later")), QStringLiteral("new"));
}

// A statement prepared on another thread, through a connection of that thread's own, is
// not kept: a later connection of the same name on the interface thread prepares its
// own rather than meeting one of a connection that is gone.
TEST(PreparedStatements, ThoseOfOtherThreadsAreNotKept)
{
    auto selectOnce = [](const QString &name) {
        int value = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QStringLiteral(":memory:"));
            if (db.open()) {
                PreparedStatement statement(db, QStringLiteral("SELECT 41 + ?"));
                if (statement.exec({1}) && statement.query().next())
                    value = statement.query().value(0).toInt();
            }
        }
        QSqlDatabase::removeDatabase(name);
        return value;
    };
    int onThread = -1;
    std::thread reader([&] { onThread = selectOnce(QStringLiteral("probe")); });
    reader.join();
    EXPECT_EQ(onThread, 42);
    EXPECT_EQ(selectOnce(QStringLiteral("probe")), 42);
}
