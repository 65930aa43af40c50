// The main widget's panels follow whatever moves the deck: the wheel and the textures
// after a drop on another card, the tab a collection offers, the scroll areas' background
// wherever they are scrolled, and a session that prints nothing but what it is asked for.
#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/ui/MainWidget.h"
#include "engine/ui/TabBarWidget.h"
#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/ColorSchemerWidget.h"
#include "engine/widgets/ColorWheelWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/ImageButton.h"
#include "engine/widgets/ProductsWidget.h"
#include "engine/widgets/ProspectWidget.h"
#include "engine/widgets/TexturesWidget.h"
#include "TestPictures.h"
#include "WidgetEvents.h"

#include <QBuffer>
#include <QClipboard>
#include <QLabel>
#include <QLoggingCategory>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>

using namespace Vantor;
using Palettra::Test::StandardDeck;

using Palettra::Test::pngBytes;

using Palettra::Test::dropChipRecord;

namespace {

// A background where every pixel differs from its neighbours: any piece of it drawn in
// the wrong place shows.
QImage noisyBackground()
{
    QImage image(800, 600, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(int(random.bounded(256)), int(random.bounded(256)), (x + y) % 256));
    }
    return image;
}

QStringList &messages()
{
    static QStringList list;
    return list;
}

class PanelsFollowTheDeckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        w.addSetting(deck.idA(), QStringLiteral("card.type"), QStringLiteral("normal"));
        w.addSettingList(deck.idA(), QStringLiteral("schemes"), {QStringLiteral("harmonic")});
        w.addSetting(deck.idA(), QStringLiteral("has.prospect.page"), 1);
        w.addThemeItem(0, QStringLiteral("image.widget.main.background"), pngBytes(noisyBackground()));
    }

    void start(bool offerTextures)
    {
        auto &w = deck.deck().writer();
        if (offerTextures) {
            w.addSetting(0, QStringLiteral("has.textures.page"), 1);
            w.addSetting(deck.idA(), QStringLiteral("has.textures.page"), 1);
        }
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
        main = std::make_unique<MainWidget>(nullptr);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }

    qint64 addTexture(const QString &name, int page)
    {
        const QImage white = QImage(QSize(148, 96), QImage::Format_RGB32);
        const qint64 id = deck.deck().writer().exec(
            QStringLiteral("INSERT INTO TEXTURE(COLLECTION_ID, NAME, IMAGE, BASE_ALPHA) VALUES(0, ?, ?, 1.0)"),
            {name, pngBytes(white)});
        deck.deck().writer().exec(QStringLiteral("INSERT INTO TEXTURE_MAP(TEXTURE_ID, PAGE_ID, ALPHA, NAME) VALUES(?, ?, 1.0, ?)"),
                                  {id, deck.pageIdA(page), name});
        return id;
    }

    // The main window's own background at a point of `widget`.
    QRgb backgroundAt(const QWidget *widget, const QPoint &point) const
    {
        return main->background().pixel(widget->mapTo(main.get(), point));
    }

    StandardDeck deck;
    std::unique_ptr<MainWidget> main;
    const QUuid A = StandardDeck::A;
};

} // namespace

TEST_F(PanelsFollowTheDeckTest, ADropOnAnotherCardMovesTheWheelAndTheTextures)
{
    addTexture(QStringLiteral("Card one plaster"), 1);
    addTexture(QStringLiteral("Card four brick"), 4);
    start(true);
    main->tabPageSelected(PageOfTextures);
    TexturesViewport *textures = main->texturesWidget()->texturesViewport();
    ASSERT_EQ(textures->tiles().size(), 1);
    EXPECT_EQ(textures->tiles().at(0).second.name, QStringLiteral("Card one plaster"));
    ASSERT_EQ(segmentIndex(A), 1);

    // Chip A-4-2 lies on card 4, in segment 2.
    DB::ColorEntry chip;
    ASSERT_EQ(DB::loadColorById(A, deck.rowIdA(4, 2), chip), DB::StatusOk);
    CardRollerWidget *roller = main->cardRollerWidget();
    roller->grab();
    dropChipRecord(roller, roller->currentLayout().cards[1].center(), DB::writeChipRecord(DB::FromColorSchemer, A, chip));
    EXPECT_EQ(pageIndex(A), 4);
    EXPECT_EQ(rowIndex(A), 2);
    EXPECT_EQ(segmentIndex(A), 2);
    ASSERT_EQ(textures->tiles().size(), 1);
    EXPECT_EQ(textures->tiles().at(0).second.name, QStringLiteral("Card four brick"));

    // The wheel steps on from the segment it now points at.
    ColorWheelWidget *wheel = main->colorWheelWidget();
    const QPoint centre = wheel->rect().center();
    QWheelEvent step(centre, wheel->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(wheel, &step);
    EXPECT_EQ(segmentIndex(A), 3);
}

TEST_F(PanelsFollowTheDeckTest, AStoredTabTheCollectionDoesNotOfferIsTheFirstOffered)
{
    setTabPageIndex(A, PageOfTextures);
    start(false);
    EXPECT_EQ(tabPageIndex(A), PageOfColorSchemes);
    EXPECT_TRUE(main->colorSchemerWidget()->isVisible());
    EXPECT_FALSE(main->texturesWidget()->isVisible());
}

TEST_F(PanelsFollowTheDeckTest, ScrolledTabsShowTheWindowsBackgroundBehindThem)
{
    for (int page = 1; page <= 6; ++page) {
        for (int i = 0; i < 3; ++i)
            addTexture(QStringLiteral("Texture %1-%2").arg(page).arg(i), 1);
    }
    for (int g = 0; g < 8; ++g) {
        const qint64 group = deck.deck().writer().exec(
            QStringLiteral("INSERT INTO PROSPECT_GROUP(COLLECTION_ID, NAME, DEFAULT_OPEN, \"ORDER\") VALUES(?, ?, 1, ?)"),
            {deck.idA(), QStringLiteral("Group %1").arg(g), g});
        deck.deck().writer().exec(QStringLiteral("INSERT INTO PROSPECT_ENTRY(COLLECTION_ID, PROSPECT_GROUP_ID, NAME_1, NAME_2, "
                                                 "RED, GREEN, BLUE, \"ORDER\") VALUES(?, ?, 'Chip', 'X', 200, 10, 10, 1)"),
                                  {deck.idA(), group});
    }
    start(true);

    // Trend groups: the chips scroll, the background under them does not.
    main->tabPageSelected(PageOfProspect);
    ProspectWidget *trends = main->prospectWidget();
    QScrollBar *bar = trends->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    for (int value : {0, bar->maximum() / 2 + 3, bar->maximum()}) {
        bar->setValue(value);
        const QImage shot = trends->grab().toImage();
        // Right of each group's one chip, inside the scrolled area: background only.
        const QWidget *viewport = trends->viewport();
        const QPoint inside = viewport->geometry().topLeft() + QPoint(viewport->width() - 30, 0);
        int checked = 0;
        for (int y = inside.y() + 2; y < viewport->geometry().bottom() - 2; y += 7) {
            const QPoint at(inside.x(), y);
            EXPECT_EQ(shot.pixel(at), backgroundAt(trends, at)) << "scrolled to " << value << ", y " << y;
            ++checked;
        }
        EXPECT_GT(checked, 10);
    }

    // Textures: a list longer than the window, scrolled to its end.
    main->tabPageSelected(PageOfTextures);
    TexturesWidget *texturesTab = main->texturesWidget();
    QScrollBar *texturesBar = texturesTab->verticalScrollBar();
    ASSERT_GT(texturesBar->maximum(), 300);
    for (int value : {texturesBar->maximum() / 3, texturesBar->maximum()}) {
        texturesBar->setValue(value);
        const QImage shot = texturesTab->grab().toImage();
        const TexturesViewport *viewport = texturesTab->texturesViewport();
        int checked = 0;
        for (const auto &tile : viewport->tiles()) {
            // The gap right of the first column's tiles, where they are in view.
            const QPoint gap = viewport->mapTo(texturesTab, QPoint(tile.first.right() + 8, tile.first.center().y()));
            if (tile.first.left() != 0 || !texturesTab->viewport()->geometry().contains(gap))
                continue;
            EXPECT_EQ(shot.pixel(gap), backgroundAt(texturesTab, gap)) << "scrolled to " << value;
            ++checked;
        }
        EXPECT_GT(checked, 0);
    }
}

// Each panel that shows chips marks the one the keyboard is on, puts it into My Palette
// on Return or Insert and copies it on Ctrl+C; a trend colour that is no chip is refused.
TEST_F(PanelsFollowTheDeckTest, EveryChipPanelCollectsAndCopiesByKeyboard)
{
    auto &w = deck.deck().writer();
    w.addSetting(deck.idA(), QStringLiteral("max.chips.on.a.page"), 3);
    w.addSetting(deck.idA(), QStringLiteral("has.color.schemes.page"), 1);
    w.addSetting(deck.idA(), QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    w.addSetting(deck.idA(), QStringLiteral("has.product.groups.page"), 1);
    int order = 0;
    for (const auto &[page, row] : QVector<std::pair<int, int>>{{2, 1}, {3, 1}, {4, 1}})
        w.exec(QStringLiteral("INSERT INTO ROW_SCHEME_MAP(COLLECTION_ID, ROW_ID, SCHEME_ID, SCHEME_ROW_ID, PAGE_ORDER, ROW_ORDER) "
                              "VALUES(?, ?, ?, ?, 0, ?)"),
               {deck.idA(), deck.rowIdA(1, 1), int(SchemeHarmonic), deck.rowIdA(page, row), ++order});
    const qint64 group = w.exec(QStringLiteral("INSERT INTO PROSPECT_GROUP(COLLECTION_ID, NAME, DEFAULT_OPEN, \"ORDER\") "
                                               "VALUES(?, 'Spring', 1, 0)"),
                                {deck.idA()});
    w.exec(QStringLiteral("INSERT INTO PROSPECT_ENTRY(COLLECTION_ID, PROSPECT_GROUP_ID, ROW_ID, NAME_1, RED, GREEN, BLUE, \"ORDER\") "
                          "VALUES(?, ?, ?, 'Stands for a chip', 1, 2, 3, 1), (?, ?, NULL, 'Mood only', 10, 200, 10, 2)"),
           {deck.idA(), group, deck.rowIdA(5, 2), deck.idA(), group});
    start(false);
    setPageIndex(A, 1);
    setRowIndex(A, 1);
    setSchemeKind(A, SchemeHarmonic);
    const MyPaletteModel &palette = main->myPaletteWidget()->model();
    QClipboard *clipboard = QGuiApplication::clipboard();

    main->tabPageSelected(PageOfColorSchemes);
    ColorSchemerWidget *schemer = main->colorSchemerWidget();
    schemer->setFocus(Qt::TabFocusReason);
    const QImage schemeShot = schemer->grab().toImage();
    ASSERT_EQ(schemer->paintedCells().size(), 3);
    const QRect marked = schemer->paintedCells().at(0).rect;
    EXPECT_EQ(schemeShot.pixel(marked.topLeft() + QPoint(1, 1)), qRgb(255, 196, 64));
    QTest::keyClick(schemer, Qt::Key_Down);
    QTest::keyClick(schemer, Qt::Key_Return);
    EXPECT_EQ(palette.cell(QPoint(0, 0)).index.rowId, deck.rowIdA(3, 1));
    QTest::keyClick(schemer, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard->text().startsWith(QStringLiteral("A-3-1 "))) << clipboard->text().toStdString();

    main->tabPageSelected(PageOfProspect);
    ProspectWidget *trends = main->prospectWidget();
    trends->setFocus(Qt::TabFocusReason);
    QTest::keyClick(trends, Qt::Key_Down);
    QTest::keyClick(trends, Qt::Key_Insert);
    EXPECT_EQ(palette.cell(QPoint(1, 0)).index.rowId, deck.rowIdA(5, 2));
    QTest::keyClick(trends, Qt::Key_Right);
    QTest::keyClick(trends, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard->text().startsWith(QStringLiteral("Mood only \u2014 #0AC80A"))) << clipboard->text().toStdString();
    QTest::keyClick(trends, Qt::Key_Return);
    EXPECT_FALSE(palette.cell(QPoint(2, 0)).isOccupied());
    EXPECT_TRUE(main->myPaletteWidget()->statusLabel()->text().contains(QStringLiteral("trend colour")));
    // Back on the header, Space closes the group and the keyboard stays on it.
    QTest::keyClick(trends, Qt::Key_Up);
    QTest::keyClick(trends, Qt::Key_Up);
    QTest::keyClick(trends, Qt::Key_Space);
    EXPECT_FALSE(trends->prospectViewport()->isOpen(group));
    QTest::keyClick(trends, Qt::Key_Down);
    QTest::keyClick(trends, Qt::Key_Return);
    EXPECT_TRUE(trends->prospectViewport()->isOpen(group));

    main->tabPageSelected(PageOfProducts);
    main->productsWidget()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(main->productsWidget(), Qt::Key_Return);
    EXPECT_EQ(palette.cell(QPoint(2, 0)).index.rowId, deck.rowIdA(1, 1));
}

TEST_F(PanelsFollowTheDeckTest, ANormalSessionPrintsNothingAndStatementsShowWhenAskedFor)
{
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("has.color.schemes.page"), 1);
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("max.chips.on.a.page"), 1);
    deck.deck().writer().exec(QStringLiteral("INSERT INTO ROW_SCHEME_MAP(COLLECTION_ID, ROW_ID, SCHEME_ID, SCHEME_ROW_ID, "
                                             "PAGE_ORDER, ROW_ORDER) VALUES(?, ?, 1, ?, 0, 1)"),
                              {deck.idA(), deck.rowIdA(1, 1), deck.rowIdA(2, 1)});
    messages().clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        messages() << text;
    });
    start(true);
    setRowIndex(A, 1);
    for (TabBarPage page : {PageOfProspect, PageOfTextures, PageOfColorSchemes})
        main->tabPageSelected(page);
    main->colorSchemerWidget()->grab();
    // The Capsure button pulses, settles and pulses again.
    ImageButton *capsure = main->collectionSelectWidget()->capsureButton();
    capsure->show();
    capsure->startAttentionAnimation();
    capsure->endAttentionAnimation();
    // Settled: the last fade-in has ended and taken its effect away.
    ASSERT_TRUE(QTest::qWaitFor([capsure] { return capsure->graphicsEffect() == nullptr; }, 5000));
    capsure->startAttentionAnimation();
    capsure->endAttentionAnimation();
    capsure->startAttentionAnimation();
    EXPECT_TRUE(capsure->attentionRunning());
    EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('\n')).toStdString();

    // Asked for, the scheme statement shows with its values in place.
    QLoggingCategory::setFilterRules(QStringLiteral("palettra.db.debug=true"));
    setRowIndex(A, 1);
    main->schemeKindChangedInteractively(SchemeContrast);
    main->colorSchemerWidget()->grab();
    main->schemeKindChangedInteractively(SchemeHarmonic);
    main->colorSchemerWidget()->grab();
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    const QString wanted = QStringLiteral("M.ROW_ID = %1     AND M.SCHEME_ID = 1").arg(deck.rowIdA(1, 1));
    bool found = false;
    for (const QString &message : messages())
        found = found || (message.contains(wanted) && !message.contains(QLatin1Char('?')));
    EXPECT_TRUE(found) << messages().join(QLatin1Char('\n')).toStdString();
}
