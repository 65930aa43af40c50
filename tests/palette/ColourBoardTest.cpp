// The colour board for a client and the colour-vision simulation: the board's text and
// swatches as a PDF reader shows them, the marks of neighbours under the LRV guidance,
// and the published simulation matrices on known colours.
#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/ColourBoard.h"
#include "engine/colour/ColourVision.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteFullWidget.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/PersistentState.h"

#include <QFile>
#include <QImage>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace Vantor;
using Palettra::Test::StandardDeck;

namespace {

// CIELab lightness of a colour whose Y is `lrv` (of 100).
double lightnessFor(double lrv)
{
    const double y = lrv / 100.0;
    return y > 216.0 / 24389.0 ? 116.0 * std::cbrt(y) - 16.0 : y * 24389.0 / 27.0;
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << " " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(ColourVision, PublishedMatricesOnKnownColours)
{
    for (ColourVision vision : AllColourVisions) {
        SCOPED_TRACE(colourVisionName(vision).toStdString());
        // Rows of one: white and greys stay as they are.
        for (int grey : {0, 128, 255})
            EXPECT_EQ(simulateColourVision(QColor(grey, grey, grey), vision), QColor(grey, grey, grey));
    }
    // Pure red is the matrices' first column, clipped and encoded: protanopia sees a dull
    // olive, deuteranopia a brighter one, tritanopia red with a little green.
    EXPECT_EQ(simulateColourVision(QColor(255, 0, 0), ColourVision::Protanopia), QColor(109, 95, 0));
    EXPECT_EQ(simulateColourVision(QColor(255, 0, 0), ColourVision::Deuteranopia), QColor(163, 144, 0));
    EXPECT_EQ(simulateColourVision(QColor(255, 0, 0), ColourVision::Tritanopia), QColor(255, 0, 15));
    EXPECT_EQ(simulateColourVision(QColor(255, 0, 0), ColourVision::Normal), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(lightReflectanceValue(LabColour{100.0, 0.0, 0.0}), 100.0);
    EXPECT_NEAR(lightReflectanceValue(LabColour{50.0, 20.0, -5.0}), 18.419, 1e-3);
    EXPECT_DOUBLE_EQ(lightReflectanceValue(LabColour{0.0, 0.0, 0.0}), 0.0);
}

namespace {

// The PDF's text with every blank and hyphen taken out: wrapped lines read as one
// (pdftotext joins a line that ends with a hyphen to the next without it).
QString boardText(const QString &pdftotext, const QByteArray &pdf, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("board.pdf"));
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(pdf);
    out.close();
    QString text = runTool(pdftotext, {path, QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("[\\s-]")));
    return text;
}

QString squeezed(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("[\\s-]")));
}

class ColourBoardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftotext.isEmpty() || pdftoppm.isEmpty())
            GTEST_SKIP() << "poppler-utils is not installed";
    }
    void start()
    {
        ASSERT_TRUE(deck.deck().writer().ok()) << deck.deck().writer().lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
        DB::loadOrderLists(StandardDeck::A);
    }
    // Chip `row` of card `page` of collection A made to have that LRV and colour.
    void setChip(int page, int row, double lrv, const QColor &rgb)
    {
        deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = 0, B = 0, RED = ?, GREEN = ?, BLUE = ? WHERE ID = ?"),
                                  {lightnessFor(lrv), rgb.red(), rgb.green(), rgb.blue(), deck.rowIdA(page, row)});
    }
    void place(MyPaletteModel &palette, const QPoint &cell, int page, int row)
    {
        DB::ColorEntry entry;
        ASSERT_EQ(DB::loadColorById(StandardDeck::A, deck.rowIdA(page, row), entry), DB::StatusOk);
        palette.setCell(cell, StandardDeck::A, entry);
    }

    StandardDeck deck;
    QString pdftotext;
    QString pdftoppm;
    QTemporaryDir dir;
};

} // namespace

// With rooms, the surfaces that meet are checked: a pair just under the guidance (29.96,
// shown with the decimals that agree with its mark) and one over it; surfaces that do
// not meet are not compared; the swatches show the chips' colours; the document says
// its colours are sRGB. A rooms file that is wrong says where, and changes nothing.
TEST_F(ColourBoardTest, RoomsCheckTheSurfacesThatMeet)
{
    setChip(1, 1, 50.0, QColor(200, 40, 30));   // walls
    setChip(2, 1, 79.96, QColor(30, 160, 90));  // door: 29.96 from the walls
    setChip(3, 1, 10.0, QColor(40, 60, 210));   // floor: 40 from the walls
    setChip(4, 1, 52.0, QColor(220, 220, 200)); // door frame: meets the door and the walls
    start();
    MyPaletteModel palette(MyPaletteModel::Storage::MemoryOnly);
    place(palette, QPoint(0, 0), 1, 1);
    place(palette, QPoint(1, 0), 2, 1);
    place(palette, QPoint(2, 0), 3, 1);
    place(palette, QPoint(3, 0), 4, 1);
    ColourBoard board = colourBoardOf(placedChipsOf(palette), QStringLiteral("Hallway"));
    ASSERT_EQ(board.chips.size(), 4);

    QStringList problems;
    EXPECT_FALSE(applyBoardRooms(board,
                                 QStringLiteral("Hall / walls: A-1-1\nHall / roof: A-2-1\nHall / floor A-3-1\n"
                                                "Hall / door: A-6-3\nhall / Walls: a 1 1\n"),
                                 problems));
    EXPECT_EQ(problems.size(), 4) << problems.join(QLatin1Char('\n')).toStdString();
    for (const char *line : {"line 2:", "line 3:", "line 4:", "line 5:"})
        EXPECT_EQ(problems.filter(QLatin1String(line)).size(), 1) << line;
    EXPECT_TRUE(board.surfaces.isEmpty());

    ASSERT_TRUE(applyBoardRooms(board,
                                QStringLiteral("# the hall\nHall / walls: A-1-1\nHall / door: a-2-1\nHall / floor: A-3-1\n"
                                               "Hall / door frame: A-4-1\nStudy / walls: A-2-1\n"),
                                problems));
    // walls–door, walls–floor, walls–door frame, door–door frame; the floor meets no door.
    ASSERT_EQ(board.pairs.size(), 4);
    const QString text = boardText(pdftotext, colourBoardPdf(board, BoardPaper::A4, false), dir);
    EXPECT_EQ(text.count(QStringLiteral(",under30")), 3);
    EXPECT_TRUE(text.contains(squeezed(QStringLiteral("walls (A-1-1) and door (A-2-1) meet: LRV 50.0 and 80.0, difference 29.96, under 30"))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(squeezed(QStringLiteral("walls (A-1-1) and floor (A-3-1) meet: LRV 50.0 and 10.0, difference 40.0"))));
    EXPECT_FALSE(text.contains(squeezed(QStringLiteral("floor (A-3-1) and door"))));
    EXPECT_TRUE(text.contains(squeezed(QStringLiteral("BS 8300-2"))));

    QByteArray pdf = colourBoardPdf(board, BoardPaper::A4, true);
    EXPECT_TRUE(pdf.contains("/OutputIntents") && pdf.contains("sRGB")) << "no sRGB output intent";
    const QString pdfPath = dir.filePath(QStringLiteral("rooms.pdf"));
    QFile out(pdfPath);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(pdf);
    out.close();
    runTool(pdftoppm, {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                       QStringLiteral("1"), QStringLiteral("-png"), pdfPath, dir.filePath(QStringLiteral("page"))});
    const QImage page(dir.filePath(QStringLiteral("page-1.png")));
    ASSERT_FALSE(page.isNull());
    for (const QColor &rgb : {QColor(200, 40, 30), QColor(30, 160, 90), QColor(40, 60, 210)}) {
        int matching = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QColor pixel = page.pixelColor(x, y);
                matching += std::abs(pixel.red() - rgb.red()) <= 2 && std::abs(pixel.green() - rgb.green()) <= 2
                        && std::abs(pixel.blue() - rgb.blue()) <= 2
                    ? 1
                    : 0;
            }
        }
        EXPECT_GT(matching, 1500) << rgb.name().toStdString();
    }
}

// A full palette of long codes and names: nothing on the board is cut, whatever wraps;
// without rooms nothing is marked; a colour whose collection is not installed, and one
// that another tool's palette gave, are said so.
TEST_F(ColourBoardTest, NothingIsCutAndNothingIsLeftOutUnsaid)
{
    deck.deck().writer().addSettingList(deck.idA(), QStringLiteral("row.name.display.order"), {QStringLiteral("0")});
    for (int page = 1; page <= 6; ++page) {
        for (int row = 1; row <= 3; ++row)
            deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET CODE = ?, NAME0 = ? WHERE ID = ?"),
                                      {QStringLiteral("ORVA-INTERIOR-LONG-CODE-%1-%2").arg(page).arg(row),
                                       QStringLiteral("A rather long colour name for card %1 chip %2 of the deck").arg(page).arg(row),
                                       deck.rowIdA(page, row)});
    }
    start();
    MyPaletteModel palette(MyPaletteModel::Storage::MemoryOnly);
    for (int i = 0; i < 24; ++i)
        place(palette, MyPaletteModel::gridOrder().at(i), 1 + (i / 3) % 6, 1 + i % 3);
    QVector<LeftOutColour> leftOut{{QStringLiteral("OT 9999"), QStringLiteral("its collection {0} is not installed")}};
    QVector<PlacedChip> cells = placedChipsOf(palette, &leftOut);
    cells[0].matchedFrom = MatchedSource{QStringLiteral("Sky"), QColor(0x89, 0xAB, 0xCD), 21.8, 0.0};
    const ColourBoard board = colourBoardOf(cells, QStringLiteral("A title long enough to need more than one line on a "
                                                                  "board for a client who likes long titles very much"),
                                            leftOut);
    ASSERT_EQ(board.chips.size(), 24);
    const QString text = boardText(pdftotext, colourBoardPdf(board, BoardPaper::A4, true), dir);
    EXPECT_TRUE(text.contains(squeezed(board.title)));
    for (const BoardChip &chip : board.chips) {
        // The code on the chips page, the LRV list and the vision page.
        EXPECT_GE(text.count(squeezed(chip.code)), 3) << chip.code.toStdString();
        EXPECT_TRUE(text.contains(squeezed(chip.names.first()))) << chip.names.first().toStdString();
    }
    EXPECT_TRUE(text.contains(squeezed(QStringLiteral("Not on this board: 1 colour."))));
    EXPECT_TRUE(text.contains(squeezed(QStringLiteral("Its collection {0} is not installed: OT 9999."))));
    EXPECT_TRUE(text.contains(squeezed(QStringLiteral("Matched to \u201cSky\u201d #89ABCD, \u0394E00 21.8"))));
    EXPECT_FALSE(text.contains(QStringLiteral("under30")));
    EXPECT_FALSE(text.contains(QChar(0x2026))); // no ellipsis anywhere
    EXPECT_TRUE(text.contains(squeezed(QStringLiteral("computed from each colour's CIELAB"))));

    // The Save dialog's board: the palette's description as its title.
    MyPaletteWidget panel;
    place(panel.model(), QPoint(0, 0), 1, 1);
    panel.model().setDescription(QStringLiteral("Client: Hallway"));
    const QString saved = dir.filePath(QStringLiteral("saved.pdf"));
    panel.savePaletteTo(PaletteFileBoard, saved);
    EXPECT_TRUE(runTool(pdftotext, {saved, QStringLiteral("-")}).contains(QStringLiteral("Client: Hallway")));
}

// Rooms given in the full view: kept in the user's state, in a file beside a saved
// palette (the palette file itself unchanged), brought back by a load, and used by the
// Save dialog's board.
TEST_F(ColourBoardTest, RoomsGivenInThePickerTravelBesideThePalette)
{
    setChip(1, 1, 50.0, QColor(200, 40, 30));
    setChip(2, 1, 60.0, QColor(30, 160, 90));
    start();
    MyPaletteWidget panel;
    place(panel.model(), QPoint(0, 0), 1, 1);
    place(panel.model(), QPoint(1, 0), 2, 1);
    MyPaletteFullWidget full;
    full.setPaletteModel(&panel.model());
    full.resize(800, 600);
    full.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&full));
    const QRect cell = QRect(full.currentLayout().paletteArea.topLeft(),
                             QSize(full.currentLayout().cellWidth, full.currentLayout().cellHeight));
    QTest::mouseClick(&full, Qt::LeftButton, Qt::NoModifier, cell.center());
    ASSERT_TRUE(full.roomField()->isVisible());
    full.roomField()->setText(QStringLiteral("Hall"));
    full.surfaceChoice()->setCurrentIndex(full.surfaceChoice()->findData(QStringLiteral("walls")));
    emit full.surfaceChoice()->activated(full.surfaceChoice()->currentIndex());
    panel.model().setCellRoom(QPoint(1, 0), QStringLiteral("Hall"), QStringLiteral("door"));
    EXPECT_EQ(myPaletteCellRoom(0, 0), QStringLiteral("Hall"));
    EXPECT_EQ(myPaletteCellSurface(0, 0), QStringLiteral("walls"));

    const QString saved = dir.filePath(QStringLiteral("hall.palette"));
    panel.savePaletteTo(PaletteFileXml, saved);
    QFile rooms(dir.filePath(QStringLiteral("hall.rooms")));
    ASSERT_TRUE(rooms.open(QIODevice::ReadOnly));
    EXPECT_EQ(rooms.readAll(), QByteArray("Hall / walls: A-1-1\nHall / door: A-2-1\n"));
    QFile palette(saved);
    ASSERT_TRUE(palette.open(QIODevice::ReadOnly));
    EXPECT_FALSE(palette.readAll().contains("Hall"));

    panel.model().clearAll(true);
    EXPECT_TRUE(myPaletteCellRoom(0, 0).isEmpty());
    panel.loadPaletteFrom(PaletteFileXml, saved);
    EXPECT_EQ(panel.model().cell(QPoint(0, 0)).room, QStringLiteral("Hall"));
    EXPECT_EQ(panel.model().cell(QPoint(1, 0)).surface, QStringLiteral("door"));

    const QString board = dir.filePath(QStringLiteral("hall.pdf"));
    panel.savePaletteTo(PaletteFileBoard, board);
    QFile boardFile(board);
    ASSERT_TRUE(boardFile.open(QIODevice::ReadOnly));
    const QString text = boardText(pdftotext, boardFile.readAll(), dir);
    EXPECT_TRUE(text.contains(squeezed(QStringLiteral("walls (A-1-1) and door (A-2-1) meet: LRV 50.0 and 60.0, difference 10.0, under 30"))));
}
