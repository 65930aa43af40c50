// The colour schemer and the pulvex schemer: layout, which scheme is shown, the neutral
// forms, shortcuts, drags and looks, on a small deck with stored schemes.
#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/JsonCodec.h"
#include "engine/colour/ColourDifference.h"
#include "engine/ui/MainWidget.h"
#include "engine/widgets/ChipDrag.h"
#include "engine/widgets/ColorSchemerLayout.h"
#include "engine/widgets/ColorSchemerPulvexWidget.h"
#include "engine/widgets/ColorSchemerWidget.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QDrag>
#include <QMimeData>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace Vantor;
using Palettra::Test::StandardDeck;

using Palettra::Test::solidPng;

namespace {

const QColor NormalButton(0, 0, 200);
const QColor SelectedButton(0, 200, 0);

// The layout rules, without painting.

TEST(ColorSchemerGeometry, SchemeAreaIsThreeRowsHighAndAtMostOneHundred)
{
    for (int bottom = 40; bottom < 700; ++bottom) {
        const QRect area = schemeAreaBetween(500, 30, bottom);
        if (area.height() <= 0)
            continue;
        EXPECT_EQ(area.height() % 3, 1) << bottom;
        EXPECT_LE(area.height(), 100) << bottom;
        EXPECT_EQ(area.left(), 24);
        EXPECT_EQ(area.right(), 475);
    }
    // Shrunk about its middle: alternately more at the bottom, then more at the top.
    const QRect tall = schemeAreaBetween(500, 0, 399);
    EXPECT_EQ(tall.height(), 100);
    EXPECT_NEAR((tall.top() + tall.bottom()) / 2.0, 199, 2);
}

TEST(ColorSchemerGeometry, RowsBreakWhereTheGroupChanges)
{
    const QRect area(24, 80, 452, 100); // (24, 80) to (475, 179)
    const QVector<int> segments{1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
    const QVector<QRect> cells = layoutSchemeGrid(area, segments, 4, 3);
    ASSERT_EQ(cells.size(), 12);
    const int rowHeight = (area.bottom() - area.top() - 3) / 3;
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(cells.at(i).height(), rowHeight);
        EXPECT_EQ(cells.at(i).left(), area.left() + 1 + (i % 4) * (cells.at(0).width() + 1)) << i;
        EXPECT_EQ(cells.at(i).top(), cells.at(0).top() + (i / 4) * (rowHeight + 1)) << i;
    }
    EXPECT_LE(4 * (cells.at(0).width() + 1) + 1, area.width());
    // A row breaks where the segment does, not where a row is full; a chip beyond the
    // row's room is left out rather than drawn past the area.
    const QVector<QRect> uneven = layoutSchemeGrid(area, {1, 1, 2, 2, 2, 2}, 3, 2);
    ASSERT_EQ(uneven.size(), 5);
    EXPECT_EQ(uneven.at(2).left(), area.left() + 1);
    EXPECT_GT(uneven.at(2).top(), uneven.at(1).top());
    EXPECT_EQ(uneven.at(4).top(), uneven.at(2).top());
    // Segments that change more often than the count implies: the rows that fit, no more.
    const QVector<QRect> restless = layoutSchemeGrid(area, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 4, 3);
    ASSERT_EQ(restless.size(), 3);
    for (const QRect &cell : restless)
        EXPECT_TRUE(area.contains(cell)) << cell.top() << " " << cell.bottom();
    // Nothing to divide by: no grid.
    EXPECT_TRUE(layoutSchemeGrid(area, segments, 0, 3).isEmpty());
}

TEST(ColorSchemerGeometry, NeutralLabelMakesRoomForItsMarker)
{
    const ColorSchemerLayout layout = layoutColorSchemer(QSize(564, 180), QSize(44, 44), {QSize(60, 15), QSize(71, 15)}, 1,
                                                         QSize(90, 16), QSize(101, 15), QSize(9, 9));
    ASSERT_EQ(layout.buttons.size(), 2);
    // Buttons at a pitch of 84, centred.
    EXPECT_EQ(layout.buttons.at(0), QRect((564 - 2 * 84 + 40) / 2, 8, 44, 44));
    EXPECT_EQ(layout.buttons.at(1).left() - layout.buttons.at(0).left(), 84);
    EXPECT_EQ(layout.labels.at(0).width(), 64);
    EXPECT_EQ(layout.labels.at(1).width(), 74 + 9 + 4);
    EXPECT_EQ(layout.neutralFormLabel.width(), 94 + 9 + 4);
    // The natural form's name has a place as wide as it needs, centred under the button.
    EXPECT_EQ(layout.naturalFormLabel.width(), 104 + 9 + 4);
    EXPECT_EQ(layout.naturalFormLabel.left(), layout.buttons.at(1).left() + (44 - (104 + 9 + 4)) / 2);
    // Every label as high as the tallest, under the buttons.
    EXPECT_EQ(layout.labels.at(0).height(), 18);
    EXPECT_EQ(layout.labels.at(0).top(), 53);
    EXPECT_EQ(layout.schemeArea.top(), 53 + 18 - 1 + 16);
    EXPECT_EQ(layout.schemeArea.height() % 3, 1);
    EXPECT_EQ(layout.schemeArea.bottom(), 180 - 33 - 1); // brought down to a height of 3k + 1
}

TEST(PulvexSchemerGeometry, ThreeColumnsOfTheWidth)
{
    const PulvexSchemerLayout layout = layoutPulvexSchemer(QSize(350, 226), 17);
    EXPECT_EQ(layout.labels[0].left(), 12);
    EXPECT_EQ(layout.labels[1].left(), 122);
    EXPECT_EQ(layout.labels[2].left(), 232);
    for (const QRect &label : layout.labels)
        EXPECT_EQ(label.width(), 106);
    EXPECT_EQ(layout.chips[0].top(), layout.labels[0].bottom() + 17 + 6);
    EXPECT_EQ(layout.chips[0].height(), 53);
    EXPECT_EQ(layout.hintBand, QRect(12, 226 - 12 - 17, 350 - 24, 17));
}

// The widgets on a deck.

class SchemerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        for (qint64 id : {deck.idA(), deck.idB()})
            w.addSetting(id, QStringLiteral("card.type"), QStringLiteral("normal"));
        w.addSetting(deck.idA(), QStringLiteral("has.color.schemes.page"), 1);
        w.addSetting(deck.idA(), QStringLiteral("max.chips.on.a.page"), 4);
        w.addText(deck.idA(), QStringLiteral("harmonizer.palette.scheme.harmonic"), QStringLiteral("Harmonic"));
        w.addText(deck.idA(), QStringLiteral("harmonizer.palette.scheme.contrast"), QStringLiteral("Contrast"));
        w.addText(deck.idA(), QStringLiteral("harmonizer.palette.scheme.tonal.neutral"), QStringLiteral("Tonal"));
        w.addText(deck.idA(), QStringLiteral("harmonizer.palette.scheme.complementary.neutral"), QStringLiteral("Complement"));
        w.addText(deck.idA(), QStringLiteral("tiptext.harmonizer.palette.scheme.harmonic"), QStringLiteral("Colours near\non the wheel"));
        for (const char *kind : {"harmonising", "contrasting", "tonal.neutral"}) {
            w.addThemeItem(0, QStringLiteral("image.scheme.%1.normal").arg(QLatin1String(kind)), solidPng(NormalButton, QSize(44, 44)));
            w.addThemeItem(0, QStringLiteral("image.scheme.%1.selected").arg(QLatin1String(kind)), solidPng(SelectedButton, QSize(44, 44)));
        }
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
    }

    void start()
    {
        ASSERT_TRUE(deck.deck().writer().ok()) << deck.deck().writer().lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
    }

    void setting(const QString &name, const QVariant &value)
    {
        deck.deck().writer().exec(QStringLiteral("DELETE FROM SETTING WHERE COLLECTION_ID = ? AND NAME = ?"), {deck.idA(), name});
        deck.deck().writer().addSetting(deck.idA(), name, value);
    }
    void schemes(const QStringList &words) { deck.deck().writer().addSettingList(deck.idA(), QStringLiteral("schemes"), words); }

    void rowScheme(int page, int row, int scheme, const QVector<std::pair<int, int>> &partners)
    {
        int order = 0;
        for (const auto &[p, r] : partners)
            deck.deck().writer().exec(QStringLiteral("INSERT INTO ROW_SCHEME_MAP(COLLECTION_ID, ROW_ID, SCHEME_ID, SCHEME_ROW_ID, "
                                                     "PAGE_ORDER, ROW_ORDER) VALUES(?, ?, ?, ?, 0, ?)"),
                                      {deck.idA(), deck.rowIdA(page, row), scheme, deck.rowIdA(p, r), ++order});
    }
    void pageScheme(int page, int scheme, int schemePage, int order = 0)
    {
        deck.deck().writer().exec(QStringLiteral("INSERT INTO PAGE_SCHEME(COLLECTION_ID, PAGE_ID, SCHEME_PAGE_ID, SCHEME_ID, \"ORDER\") "
                                                 "VALUES(?, ?, ?, ?, ?)"),
                                  {deck.idA(), deck.pageIdA(page), deck.pageIdA(schemePage), scheme, order});
    }

    // Twelve partners of chip 1-1 in three segments, ten of chip 1-2.
    void storeHarmonicSchemes()
    {
        rowScheme(1, 1, SchemeHarmonic, {{1, 2}, {1, 3}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {3, 3}, {4, 1}, {5, 1}, {5, 2}, {5, 3}, {6, 1}});
        rowScheme(1, 2, SchemeHarmonic, {{1, 1}, {1, 3}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {3, 3}, {4, 1}, {5, 1}, {5, 2}});
    }

    static QVector<qint64> rowIds(const QVector<SchemeCell> &cells)
    {
        QVector<qint64> ids;
        for (const SchemeCell &cell : cells)
            ids << cell.rowId;
        return ids;
    }

    StandardDeck deck;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
};

TEST_F(SchemerTest, TwelveColoursMakeThreeRowsAndTenNone)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic")});
    storeHarmonicSchemes();
    start();
    setSchemeKind(A, SchemeHarmonic);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    schemer.grab();
    const QVector<SchemeCell> &cells = schemer.paintedCells();
    ASSERT_EQ(cells.size(), 12);
    QSet<int> rows;
    for (const SchemeCell &cell : cells)
        rows << cell.rect.top();
    EXPECT_EQ(rows.size(), 3);
    EXPECT_EQ(cells.at(4).rect.left(), cells.at(0).rect.left()); // segment 2 starts a row
    EXPECT_EQ(cells.first().rowId, deck.rowIdA(1, 2));
    EXPECT_EQ(cells.first().collection, A);

    setRowIndex(A, 2);
    schemer.grab();
    EXPECT_TRUE(schemer.paintedCells().isEmpty());
}

TEST_F(SchemerTest, RestlessSegmentsStayInsideTheSchemeArea)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic")});
    // Twelve partners whose segment changes at every chip: twelve rows where three fit.
    rowScheme(1, 1, SchemeHarmonic, {{1, 2}, {3, 1}, {1, 3}, {3, 2}, {2, 1}, {3, 3}, {2, 2}, {4, 1}, {2, 3}, {4, 2}, {6, 1}, {4, 3}});
    start();
    setSchemeKind(A, SchemeHarmonic);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    const QImage image = schemer.grab().toImage();
    const QRect area = schemer.currentLayout().schemeArea;
    ASSERT_FALSE(schemer.paintedCells().isEmpty());
    for (const SchemeCell &cell : schemer.paintedCells())
        EXPECT_TRUE(area.contains(cell.rect));
    // No chip colour below the area, where the hint is, nor in the widget's last rows.
    for (int y = area.bottom() + 3; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); x += 3)
            EXPECT_NE(qBlue(image.pixel(x, y)), 100) << x << "," << y;
    }
}

TEST_F(SchemerTest, ButtonsAreTheCurrentCollectionsOwn)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic"), QStringLiteral("contrast")});
    deck.deck().writer().addSettingList(deck.idB(), QStringLiteral("schemes"), {QStringLiteral("contrast")});
    start();
    setLastUsedCollection(B);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    // B borrows A's schemes under its own one button, and its shortcut.
    EXPECT_EQ(schemer.model().schemeCollection(), A);
    EXPECT_EQ(schemer.model().kinds(), QVector<int>{SchemeContrast});
    EXPECT_EQ(schemer.currentLayout().buttons.size(), 1);
}

TEST_F(SchemerTest, NoSchemesAndNoListMeansNoButtons)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic"), QStringLiteral("contrast")});
    start();
    setLastUsedCollection(B);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    EXPECT_TRUE(schemer.model().kinds().isEmpty());
    EXPECT_TRUE(schemer.currentLayout().buttons.isEmpty());
}

TEST_F(SchemerTest, NaturalNeutralNameIsDrawnWhole)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic"), QStringLiteral("neutral")});
    deck.deck().writer().addText(deck.idA(), QStringLiteral("harmonizer.palette.scheme.neutral"), QStringLiteral("Nt"));
    deck.deck().writer().addText(deck.idA(), QStringLiteral("harmonizer.palette.scheme.natural.neutral"),
                                 QStringLiteral("Natural neutral"));
    start();
    setSchemeKind(A, SchemeHarmonic);
    setSchemeNeutralSubKind(A, SchemeNaturalNeutral);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    const QImage image = schemer.grab().toImage();
    const QRect natural = schemer.currentLayout().naturalFormLabel;
    const QRect narrow = schemer.currentLayout().labels.at(1); // the place of the short name "Nt"
    ASSERT_GT(natural.width(), narrow.width());
    // Ink of the name left and right of the short name's place: the whole name is drawn.
    int leftInk = 0, rightInk = 0;
    for (int y = natural.top(); y <= natural.bottom(); ++y) {
        for (int x = natural.left(); x < narrow.left(); ++x)
            leftInk += qGray(image.pixel(x, y)) > 120 ? 1 : 0;
        for (int x = narrow.right() + 1; x <= natural.right(); ++x)
            rightInk += qGray(image.pixel(x, y)) > 120 ? 1 : 0;
    }
    EXPECT_GT(leftInk, 0);
    EXPECT_GT(rightInk, 0);
}

TEST_F(SchemerTest, NoChipCountMeansNoGrid)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    deck.deck().writer().exec(QStringLiteral("DELETE FROM SETTING WHERE NAME = 'max.chips.on.a.page'"));
    schemes({QStringLiteral("harmonic")});
    storeHarmonicSchemes();
    start();
    setSchemeKind(A, SchemeHarmonic);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    schemer.grab();
    EXPECT_TRUE(schemer.paintedCells().isEmpty());
}

TEST_F(SchemerTest, CollectionWithoutSchemesShowsTheNearestColoursSchemesOfAnother)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic")});
    // True CIELAB for collection A's chips, so that nearness means something; the chip
    // nearest to B's chip 1-1 (10, 10, 10) found by a scan of our own.
    const LabColour target = labFromColour(QColor(10, 10, 10));
    int nearestPage = 0, nearestRow = 0;
    double best = 1e9;
    for (int page = 1; page <= 6; ++page)
        for (int row = 1; row <= 3; ++row) {
            const LabColour lab = labFromColour(QColor(40 * page, 20 * row, 100));
            deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"),
                                      {lab.l, lab.a, lab.b, deck.rowIdA(page, row)});
            if (deltaE2000(target, lab) < best) {
                best = deltaE2000(target, lab);
                nearestPage = page;
                nearestRow = row;
            }
        }
    rowScheme(nearestPage, nearestRow, SchemeHarmonic,
              {{2, 1}, {2, 2}, {2, 3}, {1, 1}, {3, 1}, {3, 2}, {3, 3}, {4, 1}, {5, 1}, {5, 2}, {5, 3}, {6, 1}});
    // B borrows A's schemes under buttons of its own list.
    deck.deck().writer().addSettingList(deck.idB(), QStringLiteral("schemes"), {QStringLiteral("harmonic")});
    start();
    setLastUsedCollection(B);
    setSchemeKind(B, SchemeHarmonic);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    EXPECT_EQ(schemer.model().schemeCollection(), A);
    EXPECT_EQ(schemer.model().kinds(), QVector<int>{SchemeHarmonic});
    schemer.grab();
    EXPECT_EQ(schemer.model().key().collection, A);
    EXPECT_EQ(schemer.model().key().pageIndex, nearestPage);
    EXPECT_EQ(schemer.model().key().rowIndex, nearestRow);
    ASSERT_EQ(schemer.paintedCells().size(), 12);
    EXPECT_EQ(schemer.paintedCells().first().collection, A);

    // A colour that cannot be read cannot be carried over: the diagnostic (debug detail,
    // shown when asked for), and B's key.
    QLoggingCategory::setFilterRules(QStringLiteral("palettra.widgets.debug=true"));
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        messages << text;
    });
    setRowIndex(B, 9);
    schemer.grab();
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    EXPECT_TRUE(messages.contains(QStringLiteral("fake")));
    EXPECT_EQ(schemer.model().key().collection, B);
    EXPECT_TRUE(schemer.paintedCells().isEmpty());
}

// Card mode, through the main widget: the neutral button toggles its forms only where
// the card has a complementary-neutral scheme, and falls back to the tonal one.
TEST_F(SchemerTest, NeutralFormsOfCards)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeCardToCard"));
    setting(QStringLiteral("max.chips.on.a.page"), 3);
    schemes({QStringLiteral("harmonic"), QStringLiteral("neutral")});
    pageScheme(1, SchemeTonalNeutral, 4);
    pageScheme(1, SchemeComplementaryNeutral, 5);
    pageScheme(2, SchemeTonalNeutral, 3);
    start();
    setSchemeKind(A, SchemeNeutral);
    MainWidget main(nullptr);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ColorSchemerWidget *schemer = main.colorSchemerWidget();
    ASSERT_TRUE(schemer->isVisible());
    schemer->grab();
    auto cardOfCells = [&] {
        QSet<qint64> pages;
        for (const SchemeCell &cell : schemer->paintedCells())
            pages << cell.pageId;
        return pages;
    };
    EXPECT_EQ(cardOfCells(), QSet<qint64>{deck.pageIdA(4)});
    EXPECT_TRUE(schemer->model().complementaryAvailable());

    const QPoint neutralButton = schemer->currentLayout().buttons.at(1).center();
    QTest::mouseClick(schemer, Qt::LeftButton, Qt::NoModifier, neutralButton);
    EXPECT_EQ(schemeNeutralSubKind(A), SchemeComplementaryNeutral);
    schemer->grab();
    EXPECT_EQ(cardOfCells(), QSet<qint64>{deck.pageIdA(5)});
    QTest::mouseClick(schemer, Qt::LeftButton, Qt::NoModifier, neutralButton);
    EXPECT_EQ(schemeNeutralSubKind(A), SchemeTonalNeutral);

    // Card 2 has no complementary form: asked for it, the tonal one shows and is stored.
    setSchemeNeutralSubKind(A, SchemeComplementaryNeutral);
    main.pageChangedInteractively(2);
    schemer->grab();
    EXPECT_EQ(cardOfCells(), QSet<qint64>{deck.pageIdA(3)});
    EXPECT_FALSE(schemer->model().complementaryAvailable());
    EXPECT_EQ(schemeNeutralSubKind(A), SchemeTonalNeutral);
    QTest::mouseClick(schemer, Qt::LeftButton, Qt::NoModifier, neutralButton);
    EXPECT_EQ(schemeNeutralSubKind(A), SchemeTonalNeutral);

    // Another kind's button switches kinds.
    QTest::mouseClick(schemer, Qt::LeftButton, Qt::NoModifier, schemer->currentLayout().buttons.at(0).center());
    EXPECT_EQ(schemeKind(A), SchemeHarmonic);
}

TEST_F(SchemerTest, ShortcutsAsKeySequences)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic"), QStringLiteral("contrast"), QStringLiteral("neutral")});
    start();
    setSchemeKind(A, SchemeHarmonic);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    schemer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&schemer));
    QSignalSpy kinds(&schemer, &ColorSchemerWidget::schemeKindChangedInteractively);
    QSignalSpy forms(&schemer, &ColorSchemerWidget::schemeNeutralSubKindChangedInteractively);
    auto chord = [&schemer](Qt::Key digit) {
        QTest::keyClick(&schemer, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&schemer, digit, Qt::ControlModifier);
    };
    chord(Qt::Key_2);
    ASSERT_EQ(kinds.count(), 1);
    EXPECT_EQ(kinds.last().first().value<SchemeKind>(), SchemeContrast);
    chord(Qt::Key_1); // the selected kind, not the neutral one
    chord(Qt::Key_4); // there is no fourth kind
    EXPECT_EQ(kinds.count(), 1);
    chord(Qt::Key_3);
    ASSERT_EQ(kinds.count(), 2);
    EXPECT_EQ(kinds.last().first().value<SchemeKind>(), SchemeNeutral);
    // The neutral kind chosen again asks for its tonal form (no complementary one here).
    setSchemeKind(A, SchemeNeutral);
    chord(Qt::Key_3);
    ASSERT_EQ(forms.count(), 1);
    EXPECT_EQ(forms.last().first().value<SchemeKind>(), SchemeTonalNeutral);

    schemer.hide();
    schemer.switchToScheme2();
    EXPECT_EQ(kinds.count(), 2);
}

TEST_F(SchemerTest, CellsDragAsChipsOfTheSchemeCollection)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic")});
    storeHarmonicSchemes();
    start();
    setSchemeKind(A, SchemeHarmonic);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    schemer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&schemer));
    schemer.grab();
    ASSERT_EQ(schemer.paintedCells().size(), 12);
    QByteArray payload;
    setChipDragRunner([&payload](QDrag *drag, Qt::DropActions, Qt::DropAction) {
        payload = drag->mimeData()->data(QLatin1String(DB::ChipMimeType));
        return Qt::CopyAction;
    });
    const QPoint start = schemer.paintedCells().at(5).rect.center();
    QTest::mousePress(&schemer, Qt::LeftButton, Qt::NoModifier, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(12, 0)), QPointF(schemer.mapToGlobal(start + QPoint(12, 0))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&schemer, &move);
    QTest::mouseRelease(&schemer, Qt::LeftButton, Qt::NoModifier, start);
    setChipDragRunner(nullptr);
    ASSERT_FALSE(payload.isEmpty());
    bool ok = false;
    const QVariantMap record = DB::parseJson(QString::fromUtf8(payload), ok).toMap();
    ASSERT_TRUE(ok);
    EXPECT_EQ(record.value(QStringLiteral("from")).toInt(), DB::FromColorSchemer);
    EXPECT_EQ(QUuid(record.value(QStringLiteral("collectuionUuid")).toString()), A);
    EXPECT_EQ(record.value(QStringLiteral("colorId")).toLongLong(), schemer.paintedCells().at(5).rowId);
}

TEST_F(SchemerTest, LooksOfButtonsGridAndFrame)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    schemes({QStringLiteral("harmonic"), QStringLiteral("contrast")});
    storeHarmonicSchemes();
    start();
    setSchemeKind(A, SchemeHarmonic);
    ColorSchemerWidget schemer;
    schemer.resize(564, 400); // taller than needed: the area still takes at most 100 pixels
    const QImage image = schemer.grab().toImage();
    EXPECT_LE(schemer.currentLayout().schemeArea.height(), 100);
    EXPECT_EQ(QColor(image.pixel(schemer.currentLayout().buttons.at(0).center())), SelectedButton);
    EXPECT_EQ(QColor(image.pixel(schemer.currentLayout().buttons.at(1).center())), NormalButton);
    const QVector<SchemeCell> &cells = schemer.paintedCells();
    ASSERT_EQ(cells.size(), 12);
    const QRect first = cells.first().rect;
    EXPECT_EQ(QColor(image.pixel(first.center())), cells.first().colour);
    // Grid lines right of and below each chip; the solid frame a pixel outside them all.
    EXPECT_EQ(QColor(image.pixel(first.right() + 1, first.center().y())), QColor(64, 64, 64));
    EXPECT_EQ(QColor(image.pixel(first.center().x(), first.bottom() + 1)), QColor(64, 64, 64));
    EXPECT_EQ(QColor(image.pixel(first.left() - 1, first.center().y())), QColor(64, 64, 64));
    EXPECT_EQ(QColor(image.pixel(first.center().x(), first.top() - 1)), QColor(64, 64, 64));
}

TEST_F(SchemerTest, TooltipsOfButtonsAndChips)
{
    setting(QStringLiteral("mode.card"), QStringLiteral("ModeColorToColor"));
    setting(QStringLiteral("color.tooltip.show.row.code"), 1);
    schemes({QStringLiteral("harmonic")});
    storeHarmonicSchemes();
    start();
    setSchemeKind(A, SchemeHarmonic);
    ColorSchemerWidget schemer;
    schemer.resize(564, 226);
    schemer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&schemer));
    schemer.grab();
    QTest::mouseMove(&schemer, schemer.currentLayout().buttons.at(0).center());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("<span style=\"font-size: 12px;\">Colours near<br/>on the wheel</span>"));
    EXPECT_EQ(schemer.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&schemer, schemer.paintedCells().first().rect.center());
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("A-1-2"))) << QToolTip::text().toStdString();
    EXPECT_EQ(schemer.cursor().shape(), Qt::ArrowCursor);
}

// --- The pulvex schemer -------------------------------------------------------------

TEST_F(SchemerTest, PulvexSchemerShowsThreePartnersOrNone)
{
    deck.deck().writer().addText(deck.idA(), QStringLiteral("harmonizer.palette.scheme.wide.contrast"), QStringLiteral("Wide"));
    auto partner = [&](int row, int scheme, int pageOrder, int page, int partnerRow) {
        deck.deck().writer().exec(QStringLiteral("INSERT INTO ROW_SCHEME_MAP(COLLECTION_ID, ROW_ID, SCHEME_ID, SCHEME_ROW_ID, "
                                                 "PAGE_ORDER, ROW_ORDER) VALUES(?, ?, ?, ?, ?, 1)"),
                                  {deck.idA(), deck.rowIdA(1, row), scheme, deck.rowIdA(page, partnerRow), pageOrder});
    };
    partner(1, SchemeWideContrast, 0, 4, 1);
    partner(1, SchemeContrast, 0, 5, 1);
    partner(1, SchemeWideContrast, 1, 6, 1);
    partner(2, SchemeWideContrast, 0, 4, 2);
    partner(2, SchemeContrast, 0, 5, 2);
    start();
    ColorSchemerPulvexWidget pulvex;
    pulvex.resize(350, 226);
    EXPECT_EQ(pulvex.labelTexts(), (QStringList{QStringLiteral("Wide 1"), QStringLiteral("Contrast"), QStringLiteral("Wide 2")}));
    QImage image = pulvex.grab().toImage();
    ASSERT_EQ(pulvex.paintedCells().size(), 3);
    EXPECT_EQ(pulvex.paintedCells().at(0).second.code, QStringLiteral("A-4-1"));
    EXPECT_EQ(pulvex.paintedCells().at(1).second.code, QStringLiteral("A-5-1"));
    EXPECT_EQ(pulvex.paintedCells().at(2).second.code, QStringLiteral("A-6-1"));
    EXPECT_EQ(QColor(image.pixel(pulvex.currentLayout().chips[1].center())), QColor(200, 20, 100));
    EXPECT_EQ(QColor(image.pixel(pulvex.currentLayout().labels[0].topLeft() + QPoint(2, 2))), QColor(99, 99, 99));

    // Two stored partners: the labels, but no chips.
    setRowIndex(A, 2);
    image = pulvex.grab().toImage();
    EXPECT_TRUE(pulvex.paintedCells().isEmpty());
    EXPECT_EQ(QColor(image.pixel(pulvex.currentLayout().labels[2].topLeft() + QPoint(2, 2))), QColor(99, 99, 99));
    EXPECT_NE(QColor(image.pixel(pulvex.currentLayout().chips[1].center())), QColor(200, 40, 100));
}

TEST_F(SchemerTest, PulvexDragsNeedAPressOfTheLeftButtonAlone)
{
    auto partner = [&](int scheme, int pageOrder, int page) {
        deck.deck().writer().exec(QStringLiteral("INSERT INTO ROW_SCHEME_MAP(COLLECTION_ID, ROW_ID, SCHEME_ID, SCHEME_ROW_ID, "
                                                 "PAGE_ORDER, ROW_ORDER) VALUES(?, ?, ?, ?, ?, 1)"),
                                  {deck.idA(), deck.rowIdA(1, 1), scheme, deck.rowIdA(page, 1), pageOrder});
    };
    partner(SchemeWideContrast, 0, 4);
    partner(SchemeContrast, 0, 5);
    partner(SchemeWideContrast, 1, 6);
    start();
    ColorSchemerPulvexWidget pulvex;
    pulvex.resize(350, 226);
    pulvex.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pulvex));
    pulvex.grab();
    int drags = 0;
    QByteArray payload;
    setChipDragRunner([&](QDrag *drag, Qt::DropActions, Qt::DropAction) {
        ++drags;
        payload = drag->mimeData()->data(QLatin1String(DB::ChipMimeType));
        return Qt::CopyAction;
    });
    const QPoint chip = pulvex.currentLayout().chips[2].center();
    auto moveWithLeft = [&](const QPoint &to) {
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(pulvex.mapToGlobal(to)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&pulvex, &move);
    };
    // A press with two buttons held arms nothing.
    QMouseEvent both(QEvent::MouseButtonPress, QPointF(chip), QPointF(pulvex.mapToGlobal(chip)), Qt::RightButton,
                     Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&pulvex, &both);
    moveWithLeft(chip + QPoint(20, 0));
    EXPECT_EQ(drags, 0);
    QTest::mouseRelease(&pulvex, Qt::LeftButton, Qt::NoModifier, chip);

    QTest::mousePress(&pulvex, Qt::LeftButton, Qt::NoModifier, chip);
    moveWithLeft(chip + QPoint(20, 0));
    setChipDragRunner(nullptr);
    ASSERT_EQ(drags, 1);
    bool ok = false;
    const QVariantMap record = DB::parseJson(QString::fromUtf8(payload), ok).toMap();
    EXPECT_EQ(record.value(QStringLiteral("colorId")).toLongLong(), deck.rowIdA(6, 1));
    EXPECT_EQ(record.value(QStringLiteral("from")).toInt(), DB::FromColorSchemer);
}

} // namespace
