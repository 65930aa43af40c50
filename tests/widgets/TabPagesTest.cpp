// The products, textures and trend-groups tabs: layout rules, the tint, what each shows
// for the current chip, and bad data.
#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/JsonCodec.h"
#include "engine/widgets/ChipDrag.h"
#include "engine/widgets/ProductsWidget.h"
#include "engine/widgets/ProspectLayout.h"
#include "engine/widgets/ProspectWidget.h"
#include "engine/widgets/TexturesLayout.h"
#include "engine/widgets/TexturesWidget.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QDrag>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

using namespace Vantor;
using Palettra::Test::StandardDeck;

using Palettra::Test::pngBytes;
using Palettra::Test::solidImage;

namespace {

// --- Rules without painting -----------------------------------------------------------

TEST(TexturesGeometry, ThreeColumnsFlushWithBothEdges)
{
    const QVector<QRect> tiles = layoutTextureTiles(500, QSize(148, 96), 30, 140, 4);
    ASSERT_EQ(tiles.size(), 4);
    EXPECT_EQ(tiles.at(0).topLeft(), QPoint(0, 30));
    EXPECT_EQ(tiles.at(1).left(), 176);
    EXPECT_EQ(tiles.at(2).left(), 352);
    EXPECT_EQ(tiles.at(2).right(), 499);
    EXPECT_EQ(tiles.at(3).topLeft(), QPoint(0, 170));
    // Tiles too wide for three columns take fewer, never overlapping.
    for (const QSize tile : {QSize(200, 120), QSize(260, 120), QSize(600, 50)}) {
        const QVector<QRect> wide = layoutTextureTiles(500, tile, 0, 150, 5);
        ASSERT_EQ(wide.size(), 5);
        for (int i = 1; i < wide.size(); ++i) {
            for (int j = 0; j < i; ++j)
                EXPECT_FALSE(wide.at(i).intersects(wide.at(j))) << tile.width() << ": " << i << " and " << j;
        }
    }
    EXPECT_EQ(layoutTextureTiles(500, QSize(200, 120), 0, 150, 3).at(1).right(), 499); // two columns, flush
}

TEST(TextureTint, ChannelsByTheFormula)
{
    QImage texture(3, 1, QImage::Format_ARGB32);
    texture.setPixel(0, 0, qRgb(255, 255, 255));
    texture.setPixel(1, 0, qRgb(100, 150, 200));
    texture.setPixel(2, 0, qRgba(200, 200, 200, 0)); // see-through in the picture, opaque when tinted
    const QColor tint(10, 20, 30);
    const QImage full = tintTexture(texture, tint, 1.0);
    // White takes the colour: (255 · c) >> 8.
    EXPECT_EQ(full.pixel(0, 0), qRgb(9, 19, 29));
    // Half and half: m = (int)(c · 0.5 + t · 0.5), then (t · m) >> 8.
    const QImage half = tintTexture(texture, tint, 0.5);
    EXPECT_EQ(half.pixel(1, 0), qRgb(21, 49, 89));
    // With α = 0 the texture is multiplied by itself.
    const QImage none = tintTexture(texture, tint, 0.0);
    EXPECT_EQ(none.pixel(2, 0), qRgb(156, 156, 156));
    EXPECT_EQ(qAlpha(none.pixel(2, 0)), 255);
    // An α outside (0, 1] from a broken database is taken at the nearest end.
    EXPECT_EQ(tintTexture(texture, tint, 7.5).pixel(0, 0), full.pixel(0, 0));
    EXPECT_EQ(tintTexture(texture, tint, std::nan("")).pixel(2, 0), none.pixel(2, 0));
}

TEST(ProspectGeometry, WideCaptionsWidenTheirBlockAndRowsBreak)
{
    ProspectGroupInput open;
    open.open = true;
    open.headerHeight = 16;
    open.entries = {{QSize(100, 14), QSize(30, 14)}, {QSize(20, 14), QSize(20, 14)}, {QSize(20, 14), QSize(20, 14)}};
    ProspectGroupInput closed;
    closed.headerHeight = 16;
    closed.entries = open.entries;
    const ProspectLayout layout = layoutProspectGroups(200, QSize(64, 48), {open, closed});
    ASSERT_EQ(layout.groups.size(), 2);
    const QVector<ProspectEntryPlace> &entries = layout.groups.at(0).entries;
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries.at(0).chip.topLeft(), QPoint(0, 16 + 9));
    EXPECT_EQ(entries.at(0).firstCaption.top(), entries.at(0).chip.bottom() + 5);
    EXPECT_EQ(entries.at(0).secondCaption.top(), entries.at(0).firstCaption.bottom() + 2);
    // The wide caption widens the block: the next chip follows 5 pixels after it.
    EXPECT_EQ(entries.at(1).chip.left(), 105);
    // The third block would reach the edge: it starts a new chip row.
    EXPECT_EQ(entries.at(2).chip.left(), 0);
    // Chip, then the captions from its bottom + 5 and from the first one's bottom + 2.
    const int blockHeight = entries.at(0).secondCaption.bottom() - entries.at(0).chip.top() + 1;
    EXPECT_EQ(blockHeight, 47 + 5 + 13 + 2 + 14);
    EXPECT_EQ(entries.at(2).chip.top(), entries.at(0).chip.top() + blockHeight + 10);
    EXPECT_EQ(layout.groups.at(0).area.bottom(), entries.at(2).chip.top() + blockHeight - 1);
    // A closed group is its header alone, 10 pixels below the open one.
    EXPECT_TRUE(layout.groups.at(1).entries.isEmpty());
    EXPECT_EQ(layout.groups.at(1).area, QRect(0, layout.groups.at(0).area.bottom() + 10, 200, 16));
    EXPECT_EQ(layout.height, layout.groups.at(1).area.bottom() + 1);
}

// --- The tabs on a deck -------------------------------------------------------------

class TabPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        w.addSetting(deck.idA(), QStringLiteral("card.type"), QStringLiteral("normal"));
        w.addText(deck.idA(), QStringLiteral("textures.select.message"), QStringLiteral("Surfaces"));
        ASSERT_TRUE(w.ok());
    }

    void start()
    {
        ASSERT_TRUE(deck.deck().writer().ok()) << deck.deck().writer().lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
    }

    qint64 addTexture(qint64 collection, const QString &name, const QByteArray &picture)
    {
        return deck.deck().writer().exec(QStringLiteral("INSERT INTO TEXTURE(COLLECTION_ID, NAME, IMAGE, BASE_ALPHA) VALUES(?, ?, ?, 1.0)"),
                                         {collection, name, picture});
    }
    void mapTexture(qint64 texture, int page, double alpha, const QString &name)
    {
        deck.deck().writer().exec(QStringLiteral("INSERT INTO TEXTURE_MAP(TEXTURE_ID, PAGE_ID, ALPHA, NAME) VALUES(?, ?, ?, ?)"),
                                  {texture, deck.pageIdA(page), alpha, name});
    }
    qint64 addGroup(qint64 collection, const QString &name, bool defaultOpen, int order)
    {
        return deck.deck().writer().exec(
            QStringLiteral("INSERT INTO PROSPECT_GROUP(COLLECTION_ID, NAME, DEFAULT_OPEN, \"ORDER\") VALUES(?, ?, ?, ?)"),
            {collection, name, defaultOpen ? 1 : 0, order});
    }
    void addEntry(qint64 collection, qint64 group, const QString &name1, const QString &name2, const QColor &colour, int order)
    {
        deck.deck().writer().exec(QStringLiteral("INSERT INTO PROSPECT_ENTRY(COLLECTION_ID, PROSPECT_GROUP_ID, NAME_1, NAME_2, RED, "
                                                 "GREEN, BLUE, \"ORDER\") VALUES(?, ?, ?, ?, ?, ?, ?, ?)"),
                                  {collection, group, name1, name2, colour.red(), colour.green(), colour.blue(), order});
    }

    StandardDeck deck;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
};

TEST_F(TabPagesTest, TexturesTintedWithTheCurrentChip)
{
    deck.deck().writer().addSetting(0, QStringLiteral("texture.size"), QStringLiteral("60,40"));
    const qint64 grey = addTexture(0, QStringLiteral("Grey"), pngBytes(solidImage(QSize(60, 40), QColor(128, 128, 128))));
    const qint64 white = addTexture(deck.idA(), QStringLiteral("White"), pngBytes(solidImage(QSize(60, 40), Qt::white)));
    const qint64 foreign = addTexture(deck.idB(), QStringLiteral("Not ours"), pngBytes(solidImage(QSize(60, 40), Qt::white)));
    const qint64 broken = addTexture(0, QStringLiteral("Broken"), QByteArray("not a picture"));
    mapTexture(grey, 1, 0.5, QStringLiteral("Grey plaster"));
    mapTexture(foreign, 1, 1.0, QStringLiteral("Foreign"));
    mapTexture(white, 1, 1.0, QStringLiteral("White wall"));
    mapTexture(broken, 1, 1.0, QStringLiteral("Broken"));
    start();
    setRowIndex(A, 2); // chip A-1-2: (40, 40, 100)

    TexturesWidget tab;
    tab.resize(300, 226);
    tab.layOut();
    TexturesViewport *viewport = tab.texturesViewport();
    ASSERT_EQ(viewport->tiles().size(), 4);
    EXPECT_EQ(viewport->tiles().at(0).first.size(), QSize(60, 40));
    // The shared collection's and the collection's own textures, not another's.
    EXPECT_TRUE(viewport->loadedTextures().contains(grey));
    EXPECT_TRUE(viewport->loadedTextures().contains(white));
    EXPECT_FALSE(viewport->loadedTextures().contains(foreign));
    QImage image = viewport->grab().toImage();
    const QPoint greyCentre = viewport->tiles().at(0).first.center();
    // m = (int)(c · 0.5 + 128 · 0.5), result (128 · m) >> 8.
    EXPECT_EQ(QColor(image.pixel(greyCentre)), QColor((128 * 84) >> 8, (128 * 84) >> 8, (128 * 114) >> 8));
    EXPECT_EQ(QColor(image.pixel(viewport->tiles().at(2).first.center())), QColor((255 * 40) >> 8, (255 * 40) >> 8, (255 * 100) >> 8));
    // The three outlines of a tile: the middle one on its edge.
    EXPECT_EQ(QColor(image.pixel(viewport->tiles().at(0).first.topLeft() + QPoint(20, 0))), QColor(96, 96, 96));
    // The foreign texture's place stays empty; the broken picture keeps its outlines.
    const QColor background(image.pixel(viewport->tiles().at(0).first.right() + 3, greyCentre.y()));
    const QRect foreignPlace = viewport->tiles().at(1).first;
    EXPECT_EQ(QColor(image.pixel(foreignPlace.center())), background);
    EXPECT_EQ(QColor(image.pixel(foreignPlace.topLeft() + QPoint(20, 0))), background);
    const QRect brokenPlace = viewport->tiles().at(3).first;
    EXPECT_EQ(QColor(image.pixel(brokenPlace.center())), background);
    EXPECT_EQ(QColor(image.pixel(brokenPlace.topLeft() + QPoint(20, 0))), QColor(96, 96, 96));

    // Without a current chip the textures turn red.
    setRowIndex(A, 0);
    tab.selectedRowChanged();
    image = viewport->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(viewport->tiles().at(2).first.center())), QColor(254, 0, 0));
    EXPECT_EQ(TexturesViewport::tintColour(), QColor(255, 0, 0));
}

TEST_F(TabPagesTest, WideTilesAndLongCaptionsStayInTheirColumn)
{
    deck.deck().writer().addSetting(0, QStringLiteral("texture.size"), QStringLiteral("200,120"));
    for (int i = 0; i < 3; ++i) {
        const qint64 white = addTexture(0, QStringLiteral("White %1").arg(i), pngBytes(solidImage(QSize(200, 120), Qt::white)));
        mapTexture(white, 1, 1.0, QStringLiteral("A caption far wider than the tile it belongs to, number %1").arg(i));
    }
    start();
    setRowIndex(A, 2);
    TexturesWidget tab;
    tab.resize(500, 226);
    tab.layOut();
    TexturesViewport *viewport = tab.texturesViewport();
    ASSERT_EQ(viewport->tiles().size(), 3);
    const QRect first = viewport->tiles().at(0).first;
    const QRect second = viewport->tiles().at(1).first;
    EXPECT_FALSE(first.intersects(second));
    EXPECT_EQ(second.top(), first.top());
    EXPECT_GT(viewport->tiles().at(2).first.top(), first.bottom());
    // Between the first two tiles, under them, the caption of the first does not spill.
    const QImage image = viewport->grab().toImage();
    int lit = 0;
    for (int x = first.right() + 2; x < second.left() - 1; ++x) {
        for (int y = first.bottom() + 5; y < first.bottom() + 25; ++y)
            lit += qGray(image.pixel(x, y)) > 128 ? 1 : 0;
    }
    EXPECT_EQ(lit, 0);
}

TEST_F(TabPagesTest, TextureSizeThatDoesNotParseTakesTheDefault)
{
    deck.deck().writer().addSetting(0, QStringLiteral("texture.size"), QStringLiteral("wide"));
    const qint64 grey = addTexture(0, QStringLiteral("Grey"), pngBytes(solidImage(QSize(10, 10), Qt::gray)));
    mapTexture(grey, 1, 1.0, QStringLiteral("Grey"));
    mapTexture(grey, 2, 1.0, QStringLiteral("Grey"));
    start();
    TexturesWidget tab;
    tab.resize(520, 226);
    tab.layOut();
    ASSERT_EQ(tab.texturesViewport()->tiles().size(), 1);
    EXPECT_EQ(tab.texturesViewport()->tiles().first().first.size(), QSize(148, 96));
    // A new card lays out its own textures.
    setPageIndex(A, 2);
    tab.selectedPageChanged();
    ASSERT_EQ(tab.texturesViewport()->tiles().size(), 1);
    EXPECT_EQ(tab.texturesViewport()->tiles().first().second.pageId, deck.pageIdA(2));
}

TEST_F(TabPagesTest, TrendGroupsOpenCloseAndRemember)
{
    const qint64 shared = addGroup(0, QStringLiteral("Shared"), true, 2);
    const qint64 own = addGroup(deck.idA(), QStringLiteral("Own"), false, 1);
    const qint64 others = addGroup(deck.idB(), QStringLiteral("B only"), true, 0);
    addEntry(0, shared, QStringLiteral("Sandbar"), QStringLiteral("Forecast 1"), QColor(201, 183, 156), 1);
    addEntry(0, shared, QStringLiteral("A caption much wider than its chip"), QStringLiteral(""), QColor(10, 20, 30), 2);
    addEntry(deck.idA(), own, QStringLiteral("Tide"), QStringLiteral("Forecast 2"), QColor(110, 156, 159), 1);
    start();

    ProspectWidget tab;
    tab.resize(400, 226);
    tab.layOut();
    ProspectViewport *viewport = tab.prospectViewport();
    // In their order, with the shared groups of the file; not another collection's.
    EXPECT_EQ(viewport->orderedGroups(), (QList<qint64>{own, shared}));
    EXPECT_FALSE(viewport->isOpen(own));
    EXPECT_TRUE(viewport->isOpen(shared));
    const ProspectLayout &layout = viewport->currentLayout();
    ASSERT_EQ(layout.groups.size(), 2);
    EXPECT_TRUE(layout.groups.at(0).entries.isEmpty());
    ASSERT_EQ(layout.groups.at(1).entries.size(), 2);
    EXPECT_GT(layout.groups.at(1).entries.at(1).firstCaption.width(), 64);

    // Opening a group by its header picture, as a user does.
    viewport->show();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, layout.groups.at(0).area.topLeft() + QPoint(4, 4));
    EXPECT_TRUE(viewport->isOpen(own));
    EXPECT_EQ(viewport->currentLayout().groups.at(0).entries.size(), 1);
    const QImage image = viewport->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(viewport->currentLayout().groups.at(0).entries.at(0).chip.center())), QColor(110, 156, 159));

    // What was opened stays open in a new tab; what was never touched takes its default.
    ProspectWidget again;
    again.resize(400, 226);
    EXPECT_TRUE(again.prospectViewport()->isOpen(own));
    EXPECT_TRUE(again.prospectViewport()->isOpen(shared));
    // Groups of the shared collection appear in every collection.
    setLastUsedCollection(B);
    again.selectedCollectionChanged(B);
    EXPECT_EQ(again.prospectViewport()->orderedGroups(), (QList<qint64>{others, shared}));
}

TEST_F(TabPagesTest, TrendChipsDragOnlyOnceOneWasPressed)
{
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("widget.prospect.chip.width"), QStringLiteral("lots"));
    const qint64 group = addGroup(deck.idA(), QStringLiteral("Forecast"), true, 1);
    addEntry(deck.idA(), group, QStringLiteral("Sandbar"), QStringLiteral("F-04"), QColor(201, 183, 156), 1);
    start();
    ProspectWidget tab;
    tab.resize(400, 226);
    tab.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab));
    ProspectViewport *viewport = tab.prospectViewport();
    const QRect chip = viewport->currentLayout().groups.at(0).entries.at(0).chip;
    EXPECT_EQ(chip.size(), QSize(64, 48)); // a chip size that does not parse: the default
    int drags = 0;
    QByteArray payload;
    setChipDragRunner([&](QDrag *drag, Qt::DropActions, Qt::DropAction) {
        ++drags;
        payload = drag->mimeData()->data(QLatin1String(DB::ChipMimeType));
        return Qt::CopyAction;
    });
    auto dragFrom = [&](const QPoint &from) {
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
        const QPoint to = from + QPoint(0, 20);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(viewport->mapToGlobal(to)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    };
    // Beside the chip, before any chip was pressed: nothing to drag.
    dragFrom(QPoint(chip.right() + 40, chip.center().y()));
    EXPECT_EQ(drags, 0);
    dragFrom(chip.center());
    setChipDragRunner(nullptr);
    ASSERT_EQ(drags, 1);
    bool ok = false;
    const QVariantMap record = DB::parseJson(QString::fromUtf8(payload), ok).toMap();
    ASSERT_TRUE(ok);
    EXPECT_EQ(record.value(QStringLiteral("from")).toInt(), DB::FromProspectGroups);
    EXPECT_EQ(record.value(QStringLiteral("colorName1")).toString(), QStringLiteral("Sandbar"));
    EXPECT_EQ(record.value(QStringLiteral("colorName2")).toString(), QStringLiteral("F-04"));
    EXPECT_EQ(QColor::fromRgb(QRgb(record.value(QStringLiteral("colorRgb")).toULongLong())), QColor(201, 183, 156));
    EXPECT_EQ(viewport->pressedText(), QStringLiteral("Forecast\nSandbar\nF-04"));
    // Hovering a chip or a header picture shows the pointing hand.
    QTest::mouseMove(viewport, chip.center());
    EXPECT_EQ(viewport->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(viewport, QPoint(chip.right() + 40, chip.center().y()));
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);

    // After a chip was pressed, a press on the group's name or on empty space followed by
    // a move drags nothing.
    const QRect header = viewport->currentLayout().groups.at(0).area;
    for (const QPoint from : {QPoint(chip.right() + 40, chip.center().y()), QPoint(chip.right() + 10, chip.bottom() + 60)}) {
        setChipDragRunner([&](QDrag *, Qt::DropActions, Qt::DropAction) {
            ++drags;
            return Qt::CopyAction;
        });
        dragFrom(chip.center());
        EXPECT_EQ(drags, 2);
        dragFrom(from);
        EXPECT_EQ(drags, 2) << from.x() << "," << from.y();
        drags = 1;
    }
    setChipDragRunner(nullptr);
    EXPECT_TRUE(header.isValid());
}

TEST_F(TabPagesTest, TrendGroupOpensAndClosesByItsName)
{
    const qint64 group = addGroup(deck.idA(), QStringLiteral("Forecast 2027: Coastal Light"), false, 1);
    addEntry(deck.idA(), group, QStringLiteral("Sandbar"), QStringLiteral("F-04"), QColor(201, 183, 156), 1);
    start();
    ProspectWidget tab;
    tab.resize(400, 226);
    tab.layOut();
    tab.show();
    ProspectViewport *viewport = tab.prospectViewport();
    const QRect area = viewport->currentLayout().groups.at(0).area;
    // On the name, well right of the picture.
    const QPoint onName = area.topLeft() + QPoint(16 + 8 + 40, area.height() / 2);
    QTest::mouseMove(viewport, onName);
    EXPECT_EQ(viewport->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, onName);
    EXPECT_TRUE(viewport->isOpen(group));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, onName);
    EXPECT_FALSE(viewport->isOpen(group));
    // Past the end of the name the header is no button.
    const QPoint pastName(area.right() - 4, onName.y());
    QTest::mouseMove(viewport, pastName);
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, pastName);
    EXPECT_FALSE(viewport->isOpen(group));
}

TEST_F(TabPagesTest, ProductsOfTheCurrentChip)
{
    auto &w = deck.deck().writer();
    const qint64 withCode = w.exec(QStringLiteral("INSERT INTO PRODUCT(NAME, PRODUCT_CODE) VALUES('Velvet Matt', 'VM-10')"));
    const qint64 withoutCode = w.exec(QStringLiteral("INSERT INTO PRODUCT(NAME, PRODUCT_CODE) VALUES('Primer', '')"));
    const qint64 group = w.exec(QStringLiteral("INSERT INTO PRODUCT_GROUP(NAME) VALUES('Walls')"));
    for (qint64 product : {withCode, withoutCode})
        w.exec(QStringLiteral("INSERT INTO ROW_PRODUCT_MAP(COLLECTION_ID, ROW_ID, PRODUCT_ID) VALUES(?, ?, ?)"),
               {deck.idA(), deck.rowIdA(1, 1), product});
    w.exec(QStringLiteral("INSERT INTO ROW_PRODUCT_GROUP_MAP(COLLECTION_ID, ROW_ID, PRODUCT_GROUP_ID) VALUES(?, ?, ?)"),
           {deck.idA(), deck.rowIdA(1, 2), group});
    w.addSetting(deck.idA(), QStringLiteral("product.groups.mode"), QStringLiteral("products"));
    start();
    ProductsWidget tab;
    tab.resize(560, 226);
    tab.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab));
    EXPECT_EQ(tab.heading()->text(), QStringLiteral("A-1-1"));
    ASSERT_EQ(tab.productList()->count(), 2);
    // "products" in small letters lists products; the default separator; no code, no separator.
    EXPECT_EQ(tab.productList()->item(0)->text(), QStringLiteral("Velvet Matt: VM-10"));
    EXPECT_EQ(tab.productList()->item(1)->text(), QStringLiteral("Primer"));
    EXPECT_GE(tab.productList()->geometry().top(), tab.heading()->geometry().bottom() + 9);

    // A colour chosen elsewhere while the tab is hidden shows when the tab shows again.
    tab.hide();
    setRowIndex(A, 2);
    tab.show();
    EXPECT_EQ(tab.heading()->text(), QStringLiteral("A-1-2"));
    EXPECT_EQ(tab.productList()->count(), 0); // it has a product group, and this collection lists products

    // No current chip: a blank heading and an empty list.
    setRowIndex(A, 0);
    tab.selectedColorChanged();
    EXPECT_EQ(tab.heading()->text(), QStringLiteral(" "));
    EXPECT_EQ(tab.productList()->count(), 0);
}

TEST_F(TabPagesTest, ProductGroupsByDefault)
{
    auto &w = deck.deck().writer();
    const qint64 group = w.exec(QStringLiteral("INSERT INTO PRODUCT_GROUP(NAME) VALUES('Walls')"));
    w.exec(QStringLiteral("INSERT INTO ROW_PRODUCT_GROUP_MAP(COLLECTION_ID, ROW_ID, PRODUCT_GROUP_ID) VALUES(?, ?, ?)"),
           {deck.idA(), deck.rowIdA(1, 1), group});
    start();
    ProductsWidget tab;
    tab.selectedColorChanged();
    ASSERT_EQ(tab.productList()->count(), 1);
    EXPECT_EQ(tab.productList()->item(0)->text(), QStringLiteral("Walls"));
}

} // namespace
