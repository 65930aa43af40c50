// What a new user meets in the first hour, driven by real keys and clicks: search that
// forgives and takes colour values, undo of My Palette, the keyboard on every panel, the
// focus frame, tooltips, and the chosen colour in words.
#include "StandardDeck.h"
#include "TestEnvironment.h"
#include "WidgetEvents.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ForgivingSearch.h"
#include "engine/db/NavigationQueries.h"
#include "engine/colour/ColourValueText.h"
#include "engine/widgets/MyPaletteFullWidget.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/ui/FocusFrame.h"
#include "engine/ui/MainWidget.h"
#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/ColorWheelWidget.h"
#include "engine/widgets/DropDownButton.h"
#include "engine/widgets/ImageButton.h"
#include "engine/widgets/SearchWidget.h"
#include "WidgetEvents.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QSlider>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>

using namespace Vantor;
using Palettra::Test::StandardDeck;

using Palettra::Test::UrlRecorder;

namespace {

class FirstHourTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        w.addSetting(deck.idA(), QStringLiteral("card.type"), QStringLiteral("normal"));
        w.addSettingList(deck.idA(), QStringLiteral("row.name.search.order"), {QStringLiteral("0"), QStringLiteral("1")});
        w.addSettingList(deck.idA(), QStringLiteral("row.name.display.order"), {QStringLiteral("0")});
        for (int page = 1; page <= 6; ++page) {
            for (int row = 1; row <= 3; ++row) {
                const LabColour lab = labFromColour(QColor(40 * page, 20 * row, 100));
                w.exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"),
                       {lab.l, lab.a, lab.b, deck.rowIdA(page, row)});
            }
        }
        // A name that starts like another collection's code, and one beyond the basic plane.
        w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = ? WHERE ID = ?"), {QStringLiteral("B12 Blue"), deck.rowIdA(1, 1)});
        w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = ? WHERE ID = ?"),
               {QString::fromUtf16(u"Tide \U0001D400 Pool"), deck.rowIdA(3, 2)});
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
        main = std::make_unique<MainWidget>(nullptr);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }

    // Types into the search field and presses Enter, as a user does.
    void search(const QString &text)
    {
        QLineEdit *field = main->searchWidget()->lineEdit();
        field->setFocus(Qt::MouseFocusReason);
        field->clear();
        // QTest types ASCII only; other characters arrive as an input method would put them.
        bool ascii = true;
        for (const QChar c : text)
            ascii = ascii && c.unicode() < 128;
        if (ascii)
            QTest::keyClicks(field, text);
        else
            field->insert(text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    void dropChip(int page, int row, int cellRow, int cellColumn)
    {
        DB::ColorEntry chip;
        ASSERT_EQ(DB::loadColorById(A, deck.rowIdA(page, row), chip), DB::StatusOk);
        MyPaletteWidget *palette = main->myPaletteWidget();
        Palettra::Test::dropChipRecord(palette, palette->cellGeometry(cellRow, cellColumn).center(),
                                       DB::writeChipRecord(DB::FromCardRoller, A, chip));
    }

    qint64 storedRow(int row, int column) const { return myPaletteEntry(row, column).rowId; }

    StandardDeck deck;
    std::unique_ptr<MainWidget> main;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
};

} // namespace

TEST(ColourValues, EveryFormAndNoMalformedOne)
{
    const LabColour teal = labFromColour(QColor(0x56, 0xbd, 0xc6));
    for (const char *text : {"#56bdc6", "#56BDC6", " rgb(86, 189, 198) ", "RGB(86 189 198)", "86 189 198", "86,189,198"}) {
        LabColour lab;
        ASSERT_TRUE(parseColourValue(QLatin1String(text), lab)) << text;
        EXPECT_NEAR(lab.l, teal.l, 1e-9) << text;
        EXPECT_NEAR(lab.b, teal.b, 1e-9) << text;
    }
    LabColour lab;
    ASSERT_TRUE(parseColourValue(QStringLiteral("#fff"), lab));
    EXPECT_NEAR(lab.l, 100.0, 1e-3);
    for (const char *text : {"lab(50 20 -30)", "LAB(50, 20, -30)", "50* 20* -30*", "50 20 -30", "50.0 20 30"}) {
        ASSERT_TRUE(parseColourValue(QLatin1String(text), lab)) << text;
        EXPECT_DOUBLE_EQ(lab.l, 50.0) << text;
        EXPECT_DOUBLE_EQ(lab.a, 20.0) << text;
    }
    for (const char *text : {"#12", "#12345", "#ggghhh", "rgb(300, 0, 0)", "rgb(1, 2)", "lab(nan 1 2)", "lab(inf 0 0)",
                             "lab(120 0 0)", "1 2 3 4", "256 0 0", "blue", ""}) {
        EXPECT_FALSE(parseColourValue(QLatin1String(text), lab)) << text;
    }
}

TEST(ForgivingKeys, CaseBlanksPunctuationAndTheWholeOfUnicode)
{
    EXPECT_EQ(DB::forgivingSearchKey(QStringLiteral(" OT 1042 ")), QStringLiteral("ot1042"));
    EXPECT_EQ(DB::forgivingSearchKey(QStringLiteral("ot-1042/b")), QStringLiteral("ot1042b"));
    EXPECT_EQ(DB::forgivingSearchKey(QStringLiteral("ÉCRU Blanc")), QStringLiteral("écrublanc"));
    EXPECT_EQ(DB::forgivingSearchKey(QString::fromUtf16(u"Tide \U0001D400 Pool!")), QString::fromUtf16(u"tide\U0001D400pool"));
    EXPECT_TRUE(DB::forgivingSearchKey(QStringLiteral(" -/. ")).isEmpty());
}

TEST_F(FirstHourTest, SearchFindsExactlyThenForgivinglyThenByColour)
{
    // The exact search runs first, as ever.
    search(QStringLiteral("A-4-2"));
    EXPECT_EQ(pageIndex(A), 4);
    EXPECT_EQ(rowIndex(A), 2);
    EXPECT_TRUE(main->searchWidget()->lineEdit()->text().isEmpty());

    // Case, blanks and punctuation do not matter; then the start of a name, then part of it.
    search(QStringLiteral("a52"));
    EXPECT_EQ(pageIndex(A), 5);
    EXPECT_EQ(rowIndex(A), 2);
    search(QStringLiteral("zweit 6"));
    EXPECT_EQ(pageIndex(A), 6);
    EXPECT_EQ(rowIndex(A), 1);
    search(QString::fromUtf16(u"\U0001D400 pool"));
    EXPECT_EQ(pageIndex(A), 3);
    EXPECT_EQ(rowIndex(A), 2);

    // A colour value goes to the nearest chip of the collection: (200, 60, 100) is A-5-3.
    search(QStringLiteral("#c83c64"));
    EXPECT_EQ(pageIndex(A), 5);
    EXPECT_EQ(rowIndex(A), 3);
    search(QStringLiteral("rgb(41, 19, 99)"));
    EXPECT_EQ(pageIndex(A), 1);
    EXPECT_EQ(rowIndex(A), 1);

    // An exact code in a later collection beats the start of a name in the first (once
    // the user has deleted what the field completed inline).
    QLineEdit *field = main->searchWidget()->lineEdit();
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(field, QStringLiteral("b12"));
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_EQ(field->text(), QStringLiteral("B12"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(lastUsedCollection(), B);
    EXPECT_EQ(pageIndex(B), 1);
    EXPECT_EQ(rowIndex(B), 2);
}

// A maker's update renamed over the deck, then an edit in place, while the picker is
// open: the next action reads the file that is there now, in every part of the search.
TEST_F(FirstHourTest, TheNextActionShowsTheFileThatIsThereNow)
{
    search(QStringLiteral("A-4-2"));
    search(QStringLiteral("#c83c64"));
    ASSERT_EQ(pageIndex(A), 5);

    const QString path = deck.deck().path();
    const QString draft = path + QStringLiteral(".next");
    ASSERT_TRUE(QFile::copy(path, draft));
    // Through a connection of its own, as another program writes.
    auto edit = [](const QString &file, const QString &statement, const QVariantList &values) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("editor"));
            db.setDatabaseName(file);
            QSqlQuery query(db);
            EXPECT_TRUE(db.open() && query.prepare(statement));
            for (const QVariant &value : values)
                query.addBindValue(value);
            EXPECT_TRUE(query.exec()) << statement.toStdString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("editor"));
    };
    edit(draft, QStringLiteral("UPDATE \"ROW\" SET CODE = 'A-4-7', NAME0 = 'Name 4 New' WHERE ID = ?"), {deck.rowIdA(4, 2)});
    const LabColour lab = labFromColour(QColor(200, 60, 100));
    edit(draft, QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"), {lab.l, lab.a, lab.b, deck.rowIdA(1, 1)});
    ASSERT_EQ(::rename(QFile::encodeName(draft).constData(), QFile::encodeName(path).constData()), 0);

    search(QStringLiteral("A-4-7"));
    EXPECT_EQ(pageIndex(A), 4);
    EXPECT_EQ(rowIndex(A), 2);
    search(QStringLiteral("#c83c64"));
    EXPECT_EQ(pageIndex(A), 1);
    EXPECT_EQ(rowIndex(A), 1);
    QLineEdit *field = main->searchWidget()->lineEdit();
    field->clear();
    QTest::keyClicks(field, QStringLiteral("name 4 n"));
    QListWidget *list = main->searchWidget()->completionList();
    QTRY_VERIFY(list->isVisible() && !list->findItems(QStringLiteral("Name 4 New"), Qt::MatchExactly).isEmpty());

    edit(path, QStringLiteral("UPDATE \"ROW\" SET CODE = 'A-2-9' WHERE ID = ?"), {deck.rowIdA(2, 3)});
    search(QStringLiteral("A-2-9"));
    EXPECT_EQ(pageIndex(A), 2);
    EXPECT_EQ(rowIndex(A), 3);
}

// Where nothing else finds the phrase, spelling is forgiven: accents, grey and gray,
// slips of the fingers, and the picker's own copied line.
TEST_F(FirstHourTest, SearchForgivesSpelling)
{
    const std::pair<std::pair<int, int>, const char *> names[] = {
        {{2, 1}, "Crème Brûlée"}, {{2, 2}, "Café au Lait"}, {{2, 3}, "Burgundy"},
        {{4, 1}, "Terracotta"},   {{4, 3}, "Fuchsia"},      {{5, 1}, "Light Grey"}};
    for (const auto &[chip, name] : names)
        deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = ? WHERE ID = ?"),
                                  {QString::fromUtf8(name), deck.rowIdA(chip.first, chip.second)});
    ASSERT_TRUE(deck.deck().writer().ok());
    const std::pair<std::pair<int, int>, QString> searches[] = {
        {{2, 1}, QStringLiteral("creme brulee")}, {{2, 2}, QStringLiteral("cafe au lait")},
        {{2, 3}, QStringLiteral("burgandy")},     {{4, 1}, QStringLiteral("terracota")},
        {{4, 3}, QStringLiteral("fuschia")},      {{5, 1}, QStringLiteral("light gray")},
        {{6, 2}, QString::fromUtf8("A-6-2 Name 6 2 \u2014 #F02864 \u2014 rgb(240, 40, 100)")}};
    for (const auto &[chip, phrase] : searches) {
        search(QStringLiteral("A-1-1"));
        search(phrase);
        EXPECT_EQ(pageIndex(A), chip.first) << phrase.toStdString();
        EXPECT_EQ(rowIndex(A), chip.second) << phrase.toStdString();
    }
    search(QStringLiteral("bxrgxndyy")); // three slips: too far
    EXPECT_TRUE(main->searchWidget()->showsNotFound());
}

TEST_F(FirstHourTest, NothingFoundStaysInTheFieldUntilTheUserTypes)
{
    search(QStringLiteral("A-2-2"));
    for (const char *text : {"nowhere at all", "#12", "rgb(300, 0, 0)", "lab(nan 1 2)"}) {
        search(QLatin1String(text));
        QLineEdit *field = main->searchWidget()->lineEdit();
        EXPECT_EQ(field->text(), QString::fromLatin1(text).toUpper()) << text;
        EXPECT_TRUE(main->searchWidget()->showsNotFound()) << text;
        EXPECT_FALSE(field->toolTip().isEmpty());
        EXPECT_LT(field->palette().color(QPalette::Text).alpha(), 255);
        EXPECT_EQ(pageIndex(A), 2);
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_FALSE(main->searchWidget()->showsNotFound());
    }
}

TEST_F(FirstHourTest, CompletionListShowsMatchesToPickFrom)
{
    QLineEdit *field = main->searchWidget()->lineEdit();
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(field, QStringLiteral("name 4"));
    QListWidget *list = main->searchWidget()->completionList();
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Name 4 1"));
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("Name 4 3"));
    EXPECT_LE(list->geometry().bottom(), main->searchWidget()->geometry().top()); // above the field
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(pageIndex(A), 4);
    EXPECT_EQ(rowIndex(A), 2);
}

TEST_F(FirstHourTest, UndoAndRedoThroughDropsErasesClearsAndLoads)
{
    MyPaletteWidget *palette = main->myPaletteWidget();
    auto undo = [&] { QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier); };
    auto redo = [&] { QTest::keyClick(main.get(), Qt::Key_Y, Qt::ControlModifier); };
    main->setFocus();

    dropChip(2, 1, 0, 0);
    dropChip(3, 3, 0, 1);
    EXPECT_EQ(storedRow(0, 1), deck.rowIdA(3, 3));
    undo();
    EXPECT_EQ(storedRow(0, 1), -1);
    EXPECT_EQ(storedRow(0, 0), deck.rowIdA(2, 1));
    QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(storedRow(0, 1), deck.rowIdA(3, 3));

    // Erase by the Delete key on the selected cell.
    palette->setFocus();
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->cellGeometry(0, 0).center());
    QTest::keyClick(palette, Qt::Key_Delete);
    EXPECT_EQ(storedRow(0, 0), -1);
    undo();
    EXPECT_EQ(storedRow(0, 0), deck.rowIdA(2, 1));

    // Clearing, answered Yes (the question closes, and the picker is the active window).
    palette->clearClicked();
    ASSERT_NE(palette->clearQuestion(), nullptr);
    palette->clearQuestion()->done(QMessageBox::Yes);
    EXPECT_TRUE(palette->model().isEmpty());
    undo();
    EXPECT_EQ(storedRow(0, 1), deck.rowIdA(3, 3));

    // Loading over a palette that holds chips loses nothing: undo brings them back.
    QTemporaryDir folder;
    const QString gpl = folder.filePath(QStringLiteral("other.gpl"));
    QFile file(gpl);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("GIMP Palette\nName: Other\n240 60 100 x\n");
    file.close();
    palette->loadPaletteFrom(PaletteFileXml, gpl);
    EXPECT_EQ(storedRow(0, 0), deck.rowIdA(6, 3));
    EXPECT_EQ(storedRow(0, 1), -1);
    EXPECT_EQ(palette->model().description(), QStringLiteral("Other"));
    undo();
    EXPECT_EQ(storedRow(0, 0), deck.rowIdA(2, 1));
    EXPECT_EQ(storedRow(0, 1), deck.rowIdA(3, 3));
    EXPECT_TRUE(palette->model().description().isEmpty());
    EXPECT_TRUE(palette->descriptionEditor()->text().isEmpty());
    redo();
    EXPECT_EQ(storedRow(0, 0), deck.rowIdA(6, 3));
    EXPECT_EQ(palette->descriptionEditor()->text(), QStringLiteral("Other"));
}

TEST_F(FirstHourTest, PanelsAnswerTheKeysTheMouseAnswers)
{
    // The deck: Up and Down choose the chip, Left, Right and the Page keys roll.
    CardRollerWidget *deckPanel = main->cardRollerWidget();
    deckPanel->setFocus(Qt::TabFocusReason);
    setRowIndex(A, 1);
    QTest::keyClick(deckPanel, Qt::Key_Down);
    EXPECT_EQ(rowIndex(A), 2);
    QTest::keyClick(deckPanel, Qt::Key_Up);
    EXPECT_EQ(rowIndex(A), 1);
    const int page = pageIndex(A);
    QTest::keyClick(deckPanel, Qt::Key_Right);
    EXPECT_EQ(pageIndex(A), page + 1);
    QTest::keyClick(deckPanel, Qt::Key_PageUp);
    EXPECT_EQ(pageIndex(A), page);

    // The wheel: Left and Right step segments.
    ColorWheelWidget *wheel = main->colorWheelWidget();
    const int segment = segmentIndex(A);
    QTest::keyClick(wheel, Qt::Key_Right);
    EXPECT_EQ(segmentIndex(A), segment + 1);
    QTest::keyClick(wheel, Qt::Key_Left);
    EXPECT_EQ(segmentIndex(A), segment);

    // My Palette: the arrows move the selected cell.
    MyPaletteWidget *palette = main->myPaletteWidget();
    palette->setFocus(Qt::TabFocusReason);
    QTest::keyClick(palette, Qt::Key_Right);
    EXPECT_EQ(palette->model().selection(), QList<QPoint>{QPoint(0, 0)});
    QTest::keyClick(palette, Qt::Key_Right);
    QTest::keyClick(palette, Qt::Key_Down);
    EXPECT_EQ(palette->model().selection(), QList<QPoint>{QPoint(1, 1)});
    EXPECT_TRUE(myPaletteCellSelected(1, 1));

    // Enter presses the header button that has the keys.
    QAbstractButton *load = main->headerButton(MainWidget::LoadButtonId);
    MainWidget::setFileDialogs(nullptr, [](QWidget *, const QString &, const QString &, const QString &) { return QString(); });
    QSignalSpy clicked(load, &QAbstractButton::clicked);
    load->setFocus(Qt::TabFocusReason);
    QTest::keyClick(load, Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 1);

    // F1 opens the help page; Escape leaves the full view.
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    QTest::keyClick(palette, Qt::Key_F1);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(recorder.urls.size(), 1);
    main->zoomMyPaletteClicked();
    main->fullViewAnimation()->setCurrentTime(main->fullViewAnimation()->duration());
    QTest::keyClick(main->myPaletteFullWidget(), Qt::Key_Escape);
    main->fullViewAnimation()->setCurrentTime(main->fullViewAnimation()->duration());
    EXPECT_FALSE(main->myPaletteFullWidget()->isVisible());
}

TEST_F(FirstHourTest, TheKeyboardFocusIsFramedWhereverItGoes)
{
    FocusFrame *frame = main->keyboardFocusFrame();
    EXPECT_FALSE(frame->isVisible());
    QSet<QWidget *> framed;
    QWidget *start = main->colorWheelWidget();
    start->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 20; ++i) {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        if (main->isAncestorOf(focus)) {
            EXPECT_TRUE(frame->isVisible()) << focus->metaObject()->className();
            ASSERT_NE(frame->framedWidget(), nullptr);
            const QRect framedArea(frame->framedWidget()->mapTo(main.get(), QPoint(0, 0)), frame->framedWidget()->size());
            // Panels are framed on their edge, small buttons from just outside.
            EXPECT_TRUE(frame->geometry() == framedArea
                        || frame->geometry() == framedArea.adjusted(-3, -3, 3, 3).intersected(main->rect()));
            framed << frame->framedWidget();
        }
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_GE(framed.size(), 10);
    // The frame is drawn: the top edge of the framed panel is lighter than without it.
    const QImage image = main->grab().toImage();
    const QRect edge = frame->geometry();
    EXPECT_GT(qGray(image.pixel(edge.center().x(), edge.top() + 1)), 150);
    // A click hides it.
    QTest::mouseClick(main->cardRollerWidget(), Qt::LeftButton);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(FirstHourTest, IconButtonsSayWhatTheyDo)
{
    MyPaletteWidget *palette = main->myPaletteWidget();
    MyPaletteFullWidget *full = main->myPaletteFullWidget();
    const QList<QWidget *> buttons{palette->zoomButton(), palette->eraserButton(), palette->trashButton(),
                                   palette->gridButton(), main->headerButton(MainWidget::HelpButtonId),
                                   main->collectionSelectWidget()->dropDownButton(), full->backButton(),
                                   full->backgroundSlider()};
    for (QWidget *button : buttons)
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->metaObject()->className();
}

// With the keyboard alone a deck chip goes into My Palette, is copied from the deck, and
// the change is undone from wherever the focus is in the window.
TEST_F(FirstHourTest, TheKeyboardAloneCollectsCopiesAndUndoes)
{
    search(QStringLiteral("A-4-2"));
    CardRollerWidget *cards = main->cardRollerWidget();
    const MyPaletteModel &palette = main->myPaletteWidget()->model();
    cards->setFocus(Qt::TabFocusReason);
    QTest::keyClick(cards, Qt::Key_Return);
    EXPECT_EQ(palette.cell(QPoint(0, 0)).index.rowId, deck.rowIdA(4, 2));
    QTest::keyClick(cards, Qt::Key_Down);
    QTest::keyClick(cards, Qt::Key_Insert);
    EXPECT_EQ(palette.cell(QPoint(1, 0)).index.rowId, deck.rowIdA(4, 3));
    QTest::keyClick(cards, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("A-4-3 Name 4 3")));

    auto press = [](QWidget *where, Qt::Key key) {
        where->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(where, key, Qt::ControlModifier);
    };
    press(main->headerButton(MainWidget::LoadButtonId), Qt::Key_Z);
    EXPECT_FALSE(palette.cell(QPoint(1, 0)).isOccupied());
    press(main->colorWheelWidget(), Qt::Key_Z);
    EXPECT_FALSE(palette.cell(QPoint(0, 0)).isOccupied());
    press(cards, Qt::Key_Y);
    EXPECT_TRUE(palette.cell(QPoint(0, 0)).isOccupied());
    // No focus at all, as a file dialog may leave it.
    QApplication::focusWidget()->clearFocus();
    QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(palette.cell(QPoint(0, 0)).isOccupied());
    press(main.get(), Qt::Key_Y);
    // A text field undoes its own typing first, then hands the key on.
    QLineEdit *field = main->myPaletteWidget()->descriptionEditor();
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(field, QStringLiteral("Kitchen"));
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(palette.cell(QPoint(0, 0)).isOccupied());
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(palette.cell(QPoint(0, 0)).isOccupied());
}

TEST_F(FirstHourTest, TheChosenColourInWords)
{
    dropChip(6, 1, 0, 0);
    MyPaletteWidget *palette = main->myPaletteWidget();
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->cellGeometry(0, 0).center());
    QTest::keyClick(palette, Qt::Key_C, Qt::ControlModifier);
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    const LabColour lab = labFromColour(QColor(240, 20, 100));
    EXPECT_EQ(copied->text(), QStringLiteral("A-6-1 Name 6 1 \u2014 #F01464 \u2014 rgb(240, 20, 100) \u2014 Lab(%1, %2, %3)")
                                  .arg(lab.l, 0, 'f', 2)
                                  .arg(lab.a, 0, 'f', 2)
                                  .arg(lab.b, 0, 'f', 2));
    EXPECT_EQ(copied->colorData().value<QColor>(), QColor(240, 20, 100));
    EXPECT_FALSE(palette->statusLabel()->isHidden());

    // The full view names its chips where there is room.
    MyPaletteFullWidget *full = main->myPaletteFullWidget();
    full->resize(800, 600);
    full->backgroundSlider()->setValue(255);
    const QImage image = full->grab().toImage();
    const MyPaletteFullLayout layout = full->currentLayout();
    const QRect cell(layout.paletteArea.topLeft(), QSize(layout.cellWidth, layout.cellHeight));
    int lit = 0;
    for (int y = cell.bottom() - 40; y < cell.bottom() - 4; ++y) {
        for (int x = cell.left() + 6; x < cell.left() + 60; ++x)
            lit += qGray(image.pixel(x, y)) > 200 ? 1 : 0;
    }
    EXPECT_GT(lit, 20); // light text on the dark red chip
}

