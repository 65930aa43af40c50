#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/widgets/CardRollerLayout.h"
#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/ChipDrag.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/ColorWheelGeometry.h"
#include "engine/widgets/ColorWheelWidget.h"
#include "engine/widgets/DropDownButton.h"
#include "engine/widgets/ImageButton.h"
#include "engine/widgets/MoodSelectWidget.h"
#include "engine/widgets/OrvaCustomStyle.h"
#include "engine/widgets/RollButton.h"
#include "engine/widgets/SearchWidget.h"
#include "engine/widgets/ToUpperCaseValidator.h"
#include "engine/db/SearchQueries.h"
#include "engine/db/SqlSupport.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QStyleHints>
#include <QCompleter>
#include <QThreadPool>
#include <QDrag>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

using namespace Vantor;
using Palettra::Test::StandardDeck;

using Palettra::Test::pngBytes;
using Palettra::Test::solidImage;

namespace {

constexpr double Pi = 3.14159265358979323846;

void sendWheel(QWidget *widget, int deltaY)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, deltaY), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// Sends a real drop of the MIME data at the point.
bool drop(QWidget *widget, QMimeData *mime, const QPoint &at)
{
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent dropEvent(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &dropEvent);
    return true;
}

class PanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        w.addSetting(deck.idA(), QStringLiteral("card.type"), QStringLiteral("normal"));
        w.addSetting(deck.idA(), QStringLiteral("num.of.segments"), 24);
        w.addSetting(deck.idA(), QStringLiteral("first.segment.angle"), 90);
        w.addSetting(deck.idA(), QStringLiteral("segment.increment.orientation"), QStringLiteral("CW"));
        w.addSetting(deck.idB(), QStringLiteral("card.type"), QStringLiteral("pulvex"));
        w.addSettingList(deck.idA(), QStringLiteral("page.name.display.order"), {QStringLiteral("1")});
        w.addText(deck.idA(), QStringLiteral("mood.filter.all.moods"), QStringLiteral("All moods"));
        w.addText(deck.idA(), QStringLiteral("mood.filter.exterior.colors"), QStringLiteral("Exterior"));
        // Mood buttons and the tick, so that pixels can be told apart.
        w.addThemeItem(0, QStringLiteral("image.tick.normal"), pngBytes(solidImage(QSize(12, 11), Qt::white)));
        w.addThemeItem(0, QStringLiteral("image.mood.disabled"), pngBytes(solidImage(QSize(11, 11), QColor(255, 0, 255))));
        for (const char *mood : {"fresh", "warm", "calm", "rich", "offwhite", "neutral"}) {
            w.addThemeItem(0, QStringLiteral("image.mood.%1.normal").arg(QLatin1String(mood)), pngBytes(solidImage(QSize(23, 21), QColor(0, 0, 200))));
            w.addThemeItem(0, QStringLiteral("image.mood.%1.selected").arg(QLatin1String(mood)), pngBytes(solidImage(QSize(23, 21), QColor(0, 200, 0))));
        }
        w.addThemeItem(deck.idB(), QStringLiteral("image.mto"), pngBytes(solidImage(QSize(96, 50), QColor(255, 255, 0))));
        w.addThemeItem(0, QStringLiteral("image.widget.color.wheel.background"), pngBytes(solidImage(QSize(122, 122), QColor(30, 30, 30))));
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
    }

    StandardDeck deck;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
};

// --- Card roller ---------------------------------------------------------------

TEST(CardRollerGeometry, FourHundredPixelsWide)
{
    const CardRollerLayout layout = layoutCardRoller(QSize(400, 300), 14);
    EXPECT_EQ(layout.cards[0], QRect(QPoint(2, 16), QPoint(97, 297)));
    EXPECT_EQ(layout.cards[0].width(), 96);
    EXPECT_EQ(layout.cards[1].width(), 196);
    EXPECT_EQ(layout.cards[2].width(), 96);
    EXPECT_EQ(layout.cards[1].left() - layout.cards[0].right() - 1, 4);
    EXPECT_EQ(layout.cards[2].right(), 397);
    EXPECT_EQ(layout.cardStrip, QRect(QPoint(2, 16), QPoint(397, 297)));
    EXPECT_EQ(layout.labels[1], QRect(QPoint(layout.cards[1].left(), 0), QPoint(layout.cards[1].right(), 15)));
}

TEST(CardRollerGeometry, ChipsShareTheCard)
{
    // A 100-pixel chip area: the card is two pixels higher.
    const QVector<QRect> chips = chipRects(QRect(0, 0, 50, 102), 5);
    ASSERT_EQ(chips.size(), 5);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(chips.at(i).height(), 19);
        EXPECT_EQ(chips.at(i + 1).top(), chips.at(i).bottom() + 2); // one separator line between
    }
    EXPECT_EQ(chips.at(4).height(), 20);
    EXPECT_EQ(chips.at(4).bottom(), 100);
    EXPECT_TRUE(chipRects(QRect(0, 0, 50, 102), 0).isEmpty());
}

TEST_F(PanelTest, CardRollerPaintsTheStoredCardAndItsSelection)
{
    setPageIndex(A, 4);
    setRowIndex(A, 2);
    CardRollerWidget roller;
    roller.resize(210, 200);
    const QImage image = roller.grab().toImage();
    ASSERT_EQ(roller.paintedChips(1).size(), 3);
    const QRect chip = roller.paintedChips(1).at(0);
    // Card 4's first chip is (160, 20, 100).
    EXPECT_EQ(QColor(image.pixel(chip.center())), QColor(160, 20, 100));
    // Neighbours under all moods: 2 and 6.
    EXPECT_EQ(QColor(image.pixel(roller.paintedChips(0).at(0).center())), QColor(80, 20, 100));
    EXPECT_EQ(QColor(image.pixel(roller.paintedChips(2).at(0).center())), QColor(240, 20, 100));
    // The selected chip (row 2) is framed in white; the first is not.
    const QRect selected = roller.paintedChips(1).at(1);
    EXPECT_GE(qGray(image.pixel(selected.center().x(), selected.top() - 1)), 200);
    EXPECT_EQ(QColor(image.pixel(chip.center().x(), chip.top() + 2)), QColor(160, 20, 100));
}

TEST_F(PanelTest, CardRollerMouseAndWheel)
{
    setPageIndex(A, 4);
    setRowIndex(A, 2);
    CardRollerWidget roller;
    roller.resize(210, 200);
    roller.grab();
    QSignalSpy rolls(&roller, &CardRollerWidget::roll);
    QSignalSpy rows(&roller, &CardRollerWidget::rowChangedInteractively);

    QTest::mouseClick(&roller, Qt::LeftButton, Qt::NoModifier, roller.paintedChips(1).at(1).center());
    EXPECT_EQ(rows.count(), 0); // the current row
    QTest::mouseClick(&roller, Qt::LeftButton, Qt::NoModifier, roller.paintedChips(1).at(2).center());
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.first().first().toInt(), 3);
    // The same row position on a side card only rolls.
    QTest::mouseClick(&roller, Qt::LeftButton, Qt::NoModifier, roller.paintedChips(0).at(1).center());
    ASSERT_EQ(rolls.count(), 1);
    EXPECT_EQ(rolls.first().first().value<Direction>(), Backward);
    EXPECT_EQ(rows.count(), 1);
    QTest::mouseClick(&roller, Qt::RightButton, Qt::NoModifier, roller.paintedChips(2).at(0).center());
    EXPECT_EQ(rolls.count(), 1);

    sendWheel(&roller, 120);  // away from the user
    sendWheel(&roller, -120); // toward the user
    ASSERT_EQ(rolls.count(), 3);
    EXPECT_EQ(rolls.at(1).first().value<Direction>(), Backward);
    EXPECT_EQ(rolls.at(2).first().value<Direction>(), Forward);
}

TEST_F(PanelTest, CardRollerLabelFallsBackToThePageIndex)
{
    deck.deck().writer().exec(QStringLiteral("UPDATE PAGE SET NAME1 = '' WHERE ID = ?"), {deck.pageIdA(4)});
    DB::loadOrderLists(A);
    setPageIndex(A, 4);
    CardRollerWidget roller;
    roller.resize(210, 200);
    const QImage image = roller.grab().toImage();
    // Some white label text in the centre band.
    const QRect label = roller.currentLayout().labels[1];
    int white = 0;
    for (int x = label.left(); x <= label.right(); ++x)
        for (int y = label.top(); y <= label.bottom(); ++y)
            white += qGray(image.pixel(x, y)) > 200 ? 1 : 0;
    EXPECT_GT(white, 3);
}

TEST_F(PanelTest, CardRollerShowsMtoChipsOfPulvexCollections)
{
    deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET IS_MTO = 1 WHERE CODE = 'B-1-1'"));
    setLastUsedCollection(B);
    setPageIndex(B, 1);
    setRowIndex(B, 2);
    CardRollerWidget roller;
    roller.resize(210, 200);
    QImage image = roller.grab().toImage();
    const QRect mto = roller.paintedChips(1).at(0);
    EXPECT_EQ(QColor(image.pixel(mto.center())), QColor(255, 255, 0)); // the MTO picture
    QSignalSpy rows(&roller, &CardRollerWidget::rowChangedInteractively);
    QTest::mouseClick(&roller, Qt::LeftButton, Qt::NoModifier, mto.center());
    EXPECT_EQ(rows.count(), 0); // cannot be selected

    // Still draggable from the centre card.
    QByteArray payload;
    setChipDragRunner([&payload](QDrag *drag, Qt::DropActions, Qt::DropAction) {
        payload = drag->mimeData()->data(QLatin1String(DB::ChipMimeType));
        return Qt::CopyAction;
    });
    QTest::mousePress(&roller, Qt::LeftButton, Qt::NoModifier, mto.center());
    QTest::mouseMove(&roller, mto.center() + QPoint(0, 2 + QApplication::startDragDistance()));
    QTest::mouseMove(&roller, mto.center() + QPoint(5, 2 + QApplication::startDragDistance()));
    QTest::mouseRelease(&roller, Qt::LeftButton, Qt::NoModifier, mto.center());
    setChipDragRunner(nullptr);
    ASSERT_FALSE(payload.isEmpty());
    EXPECT_TRUE(payload.contains("\"from\" : 1"));

    setShowMto(B, true);
    image = roller.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(mto.center())), QColor(10, 10, 10));
}

TEST_F(PanelTest, CardRollerDropsResolveToCardsAndRows)
{
    setPageIndex(A, 1);
    setRowIndex(A, 1);
    CardRollerWidget roller;
    roller.resize(210, 200);
    roller.grab();
    const QPoint inside = roller.currentLayout().cards[1].center();
    QSignalSpy pages(&roller, &CardRollerWidget::pageChangedInteractively);
    QSignalSpy rows(&roller, &CardRollerWidget::rowChangedInteractively);
    QSignalSpy collections(&roller, &CardRollerWidget::collectionSelectedInteractively);

    DB::ColorEntry chip;
    ASSERT_EQ(DB::loadColorById(A, deck.rowIdA(5, 3), chip), DB::StatusOk);
    auto mimeOf = [](const QByteArray &json) {
        auto *mime = new QMimeData;
        mime->setData(QLatin1String(DB::ChipMimeType), json);
        return std::unique_ptr<QMimeData>(mime);
    };

    // From the card roller itself: refused.
    auto own = mimeOf(DB::writeChipRecord(DB::FromCardRoller, A, chip));
    EXPECT_FALSE(drop(&roller, own.get(), inside));

    // From My Palette: the card and row it names.
    auto fromPalette = mimeOf(DB::writeChipRecord(DB::FromMyPalette, A, chip));
    ASSERT_TRUE(drop(&roller, fromPalette.get(), inside));
    ASSERT_EQ(pages.count(), 1);
    EXPECT_EQ(pages.first().first().toInt(), 5);
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.first().first().toInt(), 3);
    EXPECT_EQ(collections.count(), 0);

    // A trend colour named by a code.
    auto byCode = mimeOf(DB::writeColourRecord(DB::FromProspectGroups, QColor(1, 2, 3), QStringLiteral("nothing"), QStringLiteral("a-2-2")));
    ASSERT_TRUE(drop(&roller, byCode.get(), inside));
    EXPECT_EQ(pages.last().first().toInt(), 2);
    EXPECT_EQ(rows.last().first().toInt(), 2);

    // A colour of the other collection switches collections first.
    auto other = mimeOf(DB::writeColourRecord(DB::FromProspectGroups, QColor(20, 20, 10), QString(), QString()));
    ASSERT_TRUE(drop(&roller, other.get(), inside));
    ASSERT_EQ(collections.count(), 1);
    EXPECT_EQ(collections.first().first().value<QUuid>(), B);

    // Outside the cards the move is refused.
    auto outside = mimeOf(DB::writeChipRecord(DB::FromMyPalette, A, chip));
    EXPECT_FALSE(drop(&roller, outside.get(), QPoint(1, 1)));
}

// --- Colour wheel -----------------------------------------------------------------

TEST(ColorWheelGeometry, TwentyFourSegmentsClockwiseFromTheTop)
{
    QVector<int> all;
    for (int i = 1; i <= 24; ++i)
        all << i;
    const QVector<SegmentRange> ranges = segmentRanges(24, Pi / 2, 1, all);
    ASSERT_FALSE(ranges.isEmpty());
    EXPECT_EQ(ranges.first().segment, 1);
    EXPECT_NEAR(ranges.first().from, (90.0 - 7.5) * Pi / 180, 1e-9);
    EXPECT_NEAR(ranges.first().to, (90.0 + 7.5) * Pi / 180, 1e-9);
    EXPECT_EQ(ranges.at(1).segment, 2);
    EXPECT_NEAR(ranges.at(1).to, (90.0 - 7.5) * Pi / 180, 1e-9);
    EXPECT_EQ(segmentAt(ranges, QPoint(60, 10), 57), 1); // straight above the centre
    EXPECT_EQ(segmentAt(ranges, QPoint(60, 61), 57), 0); // the centre itself
    EXPECT_EQ(segmentAt(ranges, QPoint(60, 2), 57), 0);  // beyond the hit radius
    // Segment 7 (at 0 degrees) crosses angle 0: it is split in two ranges.
    int pieces = 0;
    for (const SegmentRange &range : ranges)
        pieces += range.segment == 7 ? 1 : 0;
    EXPECT_EQ(pieces, 2);
    EXPECT_EQ(segmentAt(ranges, QPoint(110, 61), 57), 7);
}

TEST(ColorWheelGeometry, CounterClockwiseAndMissingSegments)
{
    const QVector<SegmentRange> ranges = segmentRanges(12, 0.1, 2, {1, 3});
    for (const SegmentRange &range : ranges)
        EXPECT_TRUE(range.segment == 1 || range.segment == 3);
    // Segment 1 starts below angle 0 without a range there: a press just below the
    // horizontal right of the centre hits nothing.
    EXPECT_EQ(segmentAt(ranges, QPoint(110, 62), 57), 0);
    EXPECT_EQ(segmentAt(ranges, QPoint(110, 58), 57), 1);
    EXPECT_TRUE(segmentRanges(0, 0, 1, {1}).isEmpty());
    EXPECT_NEAR(wheelAngle(QPoint(60, 10)), Pi / 2, 1e-9);
    EXPECT_NEAR(wheelAngle(QPoint(10, 61)), Pi, 1e-9);
    EXPECT_NEAR(wheelAngle(QPoint(60, 111)), 3 * Pi / 2, 1e-9);
}

TEST_F(PanelTest, ColorWheelPressesDragsAndWheel)
{
    ColorWheelWidget wheel;
    QSignalSpy chosen(&wheel, &ColorWheelWidget::segmentChangedInteractively);
    QTest::mousePress(&wheel, Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.first().first().toInt(), 1);
    QTest::mouseMove(&wheel, QPoint(61, 10));
    QTest::mouseMove(&wheel, QPoint(62, 10));
    EXPECT_EQ(chosen.count(), 3); // every move while dragging
    QTest::mouseRelease(&wheel, Qt::LeftButton, Qt::NoModifier, QPoint(62, 10));
    QTest::mouseMove(&wheel, QPoint(63, 10));
    EXPECT_EQ(chosen.count(), 3);
    QTest::mousePress(&wheel, Qt::LeftButton, Qt::NoModifier, QPoint(60, 1)); // outside the hit radius
    EXPECT_EQ(chosen.count(), 3);
    QTest::mouseRelease(&wheel, Qt::LeftButton, Qt::NoModifier, QPoint(60, 1));

    // The deck has cards in segments 1 to 3 only: the wheel skips the empty ones and wraps.
    setSegmentIndex(A, 3);
    sendWheel(&wheel, -120);
    EXPECT_EQ(chosen.last().first().toInt(), 1);
    setSegmentIndex(A, 1);
    sendWheel(&wheel, 120);
    EXPECT_EQ(chosen.last().first().toInt(), 3);
    // Under a mood filter segments without such cards are skipped too.
    setMoodFilter(A, MoodFresh);
    sendWheel(&wheel, -120);
    EXPECT_EQ(chosen.last().first().toInt(), 3);
}

TEST_F(PanelTest, ColorWheelPointsAtTheStoredSegment)
{
    ColorWheelWidget wheel;
    setSegmentIndex(A, 1);
    QImage image = wheel.grab().toImage();
    EXPECT_GE(qGray(image.pixel(60, 30)), 240); // the pointer straight up
    setSegmentIndex(A, 7); // 90 degrees clockwise: pointing right
    image = wheel.grab().toImage();
    EXPECT_GE(qGray(image.pixel(90, 61)), 240);
    EXPECT_LT(qGray(image.pixel(60, 30)), 240);
}

TEST_F(PanelTest, ColorWheelWithoutSegmentsIsInert)
{
    deck.deck().writer().exec(QStringLiteral("UPDATE SETTING SET VALUE = '0' WHERE NAME = 'num.of.segments'"));
    CollectionSettings::useCollection(B);
    ColorWheelWidget wheel;
    QSignalSpy chosen(&wheel, &ColorWheelWidget::segmentChangedInteractively);
    QTest::mousePress(&wheel, Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
    sendWheel(&wheel, -120);
    wheel.grab();
    EXPECT_EQ(chosen.count(), 0);
}

// --- Mood selector -------------------------------------------------------------------

TEST_F(PanelTest, MoodSelectorClicksAndMarks)
{
    MoodSelectWidget moods;
    moods.show();
    const MoodSelectLayout &layout = moods.currentLayout();
    QSignalSpy moodSpy(&moods, &MoodSelectWidget::moodFilterChangedInteractively);
    QSignalSpy exteriorSpy(&moods, &MoodSelectWidget::exteriorFilterChangedInteractively);

    QTest::mouseClick(&moods, Qt::LeftButton, Qt::NoModifier, layout.moodButtons[2].center()); // calm
    ASSERT_EQ(moodSpy.count(), 1);
    EXPECT_EQ(moodSpy.first().first().value<Mood>(), MoodCalm);

    // With the exterior filter on, calm (no exterior card) is disabled and marked.
    setExteriorColors(A, true);
    QTest::mouseClick(&moods, Qt::LeftButton, Qt::NoModifier, layout.moodButtons[2].center());
    EXPECT_EQ(moodSpy.count(), 1);
    const QImage image = moods.grab().toImage();
    const QRect calm = layout.moodButtons[2];
    EXPECT_EQ(QColor(image.pixel(calm.right() - 2, calm.bottom() - 2)), QColor(255, 0, 255));
    EXPECT_EQ(QColor(image.pixel(calm.left() + 2, calm.top() + 2)), QColor(0, 0, 200));

    // Turning the exterior filter on while calm is selected resets the mood first.
    setExteriorColors(A, false);
    setMoodFilter(A, MoodCalm);
    QTest::mouseClick(&moods, Qt::LeftButton, Qt::NoModifier, layout.exteriorRect.center());
    ASSERT_EQ(moodSpy.count(), 2);
    EXPECT_EQ(moodSpy.last().first().value<Mood>(), MoodAll);
    ASSERT_EQ(exteriorSpy.count(), 1);
    EXPECT_TRUE(exteriorSpy.first().first().toBool());

    // The selected mood shows its selected picture; the all-moods line its tick.
    setExteriorColors(A, false);
    setMoodFilter(A, MoodWarm);
    QImage selected = moods.grab().toImage();
    EXPECT_EQ(QColor(selected.pixel(layout.moodButtons[1].center())), QColor(0, 200, 0));
    const QRect all = layout.allMoodsRect;
    EXPECT_NE(QColor(selected.pixel(all.left() + 3, all.center().y())), QColor(Qt::white));
    setMoodFilter(A, MoodAll);
    selected = moods.grab().toImage();
    EXPECT_EQ(QColor(selected.pixel(all.left() + 3, all.center().y())), QColor(Qt::white));
}

TEST_F(PanelTest, MoodSelectorLayoutWithAndWithoutExteriorLine)
{
    MoodSelectWidget moods;
    const QSize withExterior = moods.size();
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("has.exterior.filter"), 0);
    CollectionSettings::useCollection(B);
    moods.selectedCollectionChanged(A);
    const int exteriorHeight = std::max(QFontMetrics(moods.font()).height(), 11);
    EXPECT_EQ(moods.height(), withExterior.height() - exteriorHeight - 6);
    EXPECT_TRUE(moods.currentLayout().exteriorRect.isNull());
}

TEST_F(PanelTest, MoodSelectorOfPulvexCollectionsTogglesMtoOnly)
{
    setLastUsedCollection(B);
    MoodSelectWidget moods;
    QSignalSpy moodSpy(&moods, &MoodSelectWidget::moodFilterChangedInteractively);
    QSignalSpy mtoSpy(&moods, &MoodSelectWidget::showMtoChangedInteractively);
    QTest::mouseClick(&moods, Qt::LeftButton, Qt::NoModifier, moods.currentLayout().mtoRect.center());
    ASSERT_EQ(mtoSpy.count(), 1);
    EXPECT_TRUE(mtoSpy.first().first().toBool());
    EXPECT_EQ(moodSpy.count(), 0);
    EXPECT_EQ(moods.size(), moods.currentLayout().size);
}

// --- Search field ------------------------------------------------------------------

TEST_F(PanelTest, SearchFieldTypesUpperCaseAndEmitsTrimmedPhrases)
{
    SearchWidget search;
    EXPECT_EQ(search.lineEdit()->completer(), nullptr);
    search.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&search));
    EXPECT_EQ(search.size(), QSize(210, 26));
    QSignalSpy phrases(&search, &SearchWidget::searchForPhrase);

    // They are read away from the interface and handed over once the field has the focus.
    search.lineEdit()->setFocus();
    QTRY_VERIFY(search.lineEdit()->completer() != nullptr);
    EXPECT_EQ(search.lineEdit()->completer()->caseSensitivity(), Qt::CaseInsensitive);
    QTest::keyClicks(search.lineEdit(), QStringLiteral("b-2"));
    EXPECT_TRUE(search.lineEdit()->text().startsWith(QStringLiteral("B-2")));
    QTest::keyClick(search.lineEdit(), Qt::Key_Escape);
    EXPECT_TRUE(search.lineEdit()->text().isEmpty());
    EXPECT_EQ(phrases.count(), 0);

    // Inline, the field completes as a completer over the collection's whole list
    // would, also when the first character changes.
    DB::backgroundReads().waitForDone();
    QCoreApplication::processEvents();
    QStringList all;
    ASSERT_EQ(DB::loadCompletions(lastUsedCollection(), all), DB::StatusOk);
    QLineEdit reference(&search); // in the same window, so that it can have the focus
    reference.setValidator(new ToUpperCaseValidator(&reference));
    auto *whole = new QCompleter(all, &reference);
    whole->setCompletionMode(QCompleter::InlineCompletion);
    whole->setCaseSensitivity(Qt::CaseInsensitive);
    reference.setCompleter(whole);
    reference.show();
    int completed = 0;
    for (const char *typed : {"n", "a-", "name 4", "b", "A-2", "z", "b-1-2", "a-1"}) {
        QStringList shown; // text and selection, as each field leaves them
        for (QLineEdit *field : {search.lineEdit(), &reference}) {
            field->clear();
            field->setFocus();
            QTest::keyClicks(field, QLatin1String(typed));
            shown << field->text() << field->selectedText();
        }
        ASSERT_EQ(shown.size(), 4);
        EXPECT_EQ(shown.at(0), shown.at(2)) << typed;
        EXPECT_EQ(shown.at(1), shown.at(3)) << typed;
        completed += shown.at(3).isEmpty() ? 0 : 1;
    }
    EXPECT_GE(completed, 2);
    search.lineEdit()->setFocus();
    search.lineEdit()->clear();

    search.lineEdit()->setText(QStringLiteral("   "));
    QTest::keyClick(search.lineEdit(), Qt::Key_Return);
    ASSERT_EQ(phrases.count(), 1);
    EXPECT_EQ(phrases.first().first().toString(), QString());
    EXPECT_TRUE(search.lineEdit()->text().isEmpty());

    search.lineEdit()->setText(QStringLiteral("  A-1-1 "));
    QTest::keyClick(search.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(phrases.last().first().toString(), QStringLiteral("A-1-1"));
    // Without the focus and empty, the placeholder shows in italics.
    EXPECT_TRUE(search.lineEdit()->font().italic());
}

TEST_F(PanelTest, RollButtonsRoll)
{
    SearchWidget search;
    QSignalSpy rolls(&search, &SearchWidget::roll);
    QTest::mouseClick(search.forwardButton(), Qt::LeftButton);
    QTest::mouseClick(search.backwardButton(), Qt::LeftButton);
    ASSERT_EQ(rolls.count(), 2);
    EXPECT_EQ(rolls.at(0).first().value<Direction>(), Forward);
    EXPECT_EQ(rolls.at(1).first().value<Direction>(), Backward);
    EXPECT_TRUE(search.forwardButton()->autoRepeat());
    EXPECT_EQ(search.forwardButton()->geometry().right(), 209);
    EXPECT_EQ(search.backwardButton()->geometry().right(), search.forwardButton()->x() - 1);

    // Both buttons are in the Tab chain, after the text field.
    search.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&search));
    search.lineEdit()->setFocus();
    QTest::keyClick(search.lineEdit(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), search.backwardButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), search.forwardButton());
}

// --- Collection selector ---------------------------------------------------------

TEST_F(PanelTest, CollectionSelectorListAndChoices)
{
    QWidget window;
    window.resize(400, 300);
    auto *selector = new CollectionSelectWidget(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(selector->size(), QSize(234, 30));
    EXPECT_EQ(selector->collectionName(), QStringLiteral("Interior"));
    QListWidget *list = selector->collectionList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->parentWidget(), &window);
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 28);
    EXPECT_EQ(list->visualItemRect(list->item(1)).top(), 28);
    QSignalSpy chosen(selector, &CollectionSelectWidget::collectionSelectedInteractively);

    QTest::mouseClick(selector->dropDownButton(), Qt::LeftButton);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(selector->dropDownButton()->isClosed());
    EXPECT_TRUE(list->item(0)->isSelected());
    // The current collection's item still emits.
    selector->listWidgetItemActivated(list->item(0));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.first().first().value<QUuid>(), A);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(selector->dropDownButton()->isClosed());

    // Opening and closing with the button emits nothing.
    QTest::mouseClick(selector->dropDownButton(), Qt::LeftButton, Qt::NoModifier, QPoint(0, 0));
    EXPECT_TRUE(list->isVisible());
    // Two separate clicks, not a double click: the second far enough from the first.
    const QPoint farCorner(selector->dropDownButton()->width() - 1, selector->dropDownButton()->height() - 1);
    ASSERT_GT(farCorner.manhattanLength(), 2 * QGuiApplication::styleHints()->mouseDoubleClickDistance());
    QTest::mouseClick(selector->dropDownButton(), Qt::LeftButton, Qt::NoModifier, farCorner);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(chosen.count(), 1);

    // An item whose data is no UUID closes the list silently.
    list->item(1)->setData(Qt::UserRole, QStringLiteral("not a uuid"));
    QTest::mouseClick(selector->dropDownButton(), Qt::LeftButton);
    selector->listWidgetItemActivated(list->item(1));
    EXPECT_EQ(chosen.count(), 1);
    EXPECT_FALSE(list->isVisible());
}

TEST(CollectionSelectorAlone, OneCollectionHidesTheDropDown)
{
    QTemporaryDir dir;
    Palettra::Test::TestDeck deck(dir.path(), QStringLiteral("one.db"));
    const QUuid only = QUuid::createUuid();
    deck.writer().addCollection(only, QStringLiteral("ONE"), QStringLiteral("Only"), 1);
    deck.close();
    ASSERT_EQ(startEngine(QString(), dir.path()), StartupOk);
    CollectionSelectWidget selector;
    EXPECT_FALSE(selector.dropDownButton()->isVisibleTo(&selector));
    EXPECT_FALSE(selector.capsureButton()->isVisibleTo(&selector));
}

// --- Custom style and image button -------------------------------------------------

TEST(OrvaCustomStyleGeometry, ScrollBarSlider)
{
    const ScrollBarSpan span = scrollBarSpan(200, 0, 90, 10, 0);
    EXPECT_EQ(span.sliderStart, 0);
    EXPECT_EQ(span.sliderLength, 20);
    OrvaCustomStyle style;
    QScrollBar bar(Qt::Vertical);
    bar.setStyle(&style);
    bar.setRange(0, 90);
    bar.setPageStep(10);
    bar.resize(12, 200);
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = Qt::Vertical;
    option.minimum = 0;
    option.maximum = 90;
    option.pageStep = 10;
    option.sliderPosition = 0;
    option.rect = QRect(0, 0, 12, 200);
    EXPECT_EQ(style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider), QRect(0, 0, 12, 20));
    EXPECT_TRUE(style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubPage).isNull());
    EXPECT_TRUE(style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine).isNull());
    EXPECT_EQ(style.hitTestComplexControl(QStyle::CC_ScrollBar, &option, QPoint(5, 100)), QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(style.hitTestComplexControl(QStyle::CC_ScrollBar, &option, QPoint(5, 10)), QStyle::SC_ScrollBarSlider);
    EXPECT_EQ(style.pixelMetric(QStyle::PM_ScrollBarExtent), 12);
    option.sliderPosition = 90;
    EXPECT_TRUE(style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddPage).isNull());
}

TEST(OrvaCustomStyleGeometry, VerticalPictureSliderDrawsNothing)
{
    OrvaCustomStyle style;
    style.grooveImage = QImage(21, 7, QImage::Format_ARGB32);
    style.grooveImage.fill(Qt::red);
    style.handleImage = QImage(11, 17, QImage::Format_ARGB32);
    style.handleImage.fill(Qt::blue);
    QSlider slider(Qt::Vertical);
    slider.setStyle(&style);
    slider.resize(30, 100);
    QImage canvas(30, 100, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = Qt::Vertical;
    option.rect = QRect(0, 0, 30, 100);
    style.drawComplexControl(QStyle::CC_Slider, &option, &painter, &slider);
    painter.end();
    for (int y = 0; y < 100; y += 7)
        for (int x = 0; x < 30; x += 3)
            ASSERT_EQ(qAlpha(canvas.pixel(x, y)), 0);
    EXPECT_EQ(style.pixelMetric(QStyle::PM_SliderLength), 11);
}

TEST(ImageButtonLook, DisabledAndAttention)
{
    const QImage normal = solidImage(QSize(16, 16), QColor(200, 40, 40));
    ImageButton button(normal, normal);
    EXPECT_EQ(qAlpha(button.disabledPicture().pixel(8, 8)), 127);
    // Not visible: no attention.
    button.startAttentionAnimation();
    EXPECT_FALSE(button.attentionRunning());
    button.resize(20, 20);
    button.show();
    button.startAttentionAnimation();
    EXPECT_TRUE(button.attentionRunning());
    button.startAttentionAnimation(); // not restarted
    EXPECT_TRUE(button.attentionRunning());
    button.hide(); // hiding ends the animation
    EXPECT_FALSE(button.attentionRunning());
}

} // namespace
