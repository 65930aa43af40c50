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
#include "engine/widgets/MyPaletteWidget.h"

#include <QFile>
#include <QImage>
#include <QProcess>
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

// Three chips whose LRVs make a pair just under the guidance (29.9) and one just over
// (30.1): the board names every chip with its code, hex and LRV, marks the one pair,
// and its page shows each swatch in the chip's colour.
TEST(ColourBoard, NamesEachChipAndMarksNeighboursUnderTheGuidance)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftotext.isEmpty() || pdftoppm.isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    StandardDeck deck;
    auto &w = deck.deck().writer();
    const struct
    {
        int page;
        QPoint cell;
        double lrv;
        QColor rgb;
    } chips[] = {{1, QPoint(0, 0), 50.0, QColor(200, 40, 30)},
                 {2, QPoint(1, 0), 79.9, QColor(30, 160, 90)},
                 {3, QPoint(0, 1), 80.1, QColor(40, 60, 210)}};
    for (const auto &chip : chips)
        w.exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = 0, B = 0, RED = ?, GREEN = ?, BLUE = ? WHERE ID = ?"),
               {lightnessFor(chip.lrv), chip.rgb.red(), chip.rgb.green(), chip.rgb.blue(), deck.rowIdA(chip.page, 1)});
    ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
    ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
    DB::loadOrderLists(StandardDeck::A);

    MyPaletteModel palette(MyPaletteModel::Storage::MemoryOnly);
    for (const auto &chip : chips) {
        DB::ColorEntry entry;
        ASSERT_EQ(DB::loadColorById(StandardDeck::A, deck.rowIdA(chip.page, 1), entry), DB::StatusOk);
        palette.setCell(chip.cell, StandardDeck::A, entry);
    }
    const ColourBoard board = colourBoardOf(placedChipsOf(palette), QStringLiteral("Hallway"));
    ASSERT_EQ(board.chips.size(), 3);
    ASSERT_EQ(board.pairs.size(), 2);
    EXPECT_FALSE(board.pairs.at(0).below);
    EXPECT_NEAR(board.pairs.at(0).difference, 29.9, 1e-6);
    EXPECT_TRUE(board.pairs.at(0).underGuidance());
    EXPECT_TRUE(board.pairs.at(1).below);
    EXPECT_NEAR(board.pairs.at(1).difference, 30.1, 1e-6);
    EXPECT_FALSE(board.pairs.at(1).underGuidance());

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("board.pdf"));
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(colourBoardPdf(board, BoardPaper::A4, true));
    out.close();
    const QString text = runTool(pdftotext, {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Hallway")));
    for (const auto &chip : chips) {
        const QString code = QStringLiteral("A-%1-1").arg(chip.page);
        EXPECT_TRUE(text.contains(code)) << code.toStdString();
        EXPECT_TRUE(text.contains(chip.rgb.name(QColor::HexRgb).toUpper())) << code.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("LRV %1").arg(chip.lrv, 0, 'f', 1))) << code.toStdString();
    }
    EXPECT_EQ(text.count(QStringLiteral("difference 29.9, under 30")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("difference 30.1\n"))) << text.toStdString();
    for (ColourVision vision : AllColourVisions)
        EXPECT_TRUE(text.contains(colourVisionName(vision)));

    // The first page at one pixel a point: a block of each chip's colour.
    runTool(pdftoppm, {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                       QStringLiteral("1"), QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("page"))});
    const QImage page(dir.filePath(QStringLiteral("page-1.png")));
    ASSERT_FALSE(page.isNull());
    for (const auto &chip : chips) {
        int matching = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QColor pixel = page.pixelColor(x, y);
                matching += std::abs(pixel.red() - chip.rgb.red()) <= 2 && std::abs(pixel.green() - chip.rgb.green()) <= 2
                        && std::abs(pixel.blue() - chip.rgb.blue()) <= 2
                    ? 1
                    : 0;
            }
        }
        EXPECT_GT(matching, 2000) << chip.rgb.name().toStdString();
    }

    // The Save dialog's board: the palette's description as its title.
    DB::ColorEntry first;
    ASSERT_EQ(DB::loadColorById(StandardDeck::A, deck.rowIdA(1, 1), first), DB::StatusOk);
    MyPaletteWidget panel;
    panel.model().setCell(QPoint(0, 0), StandardDeck::A, first);
    panel.model().setDescription(QStringLiteral("Client: Hallway"));
    const QString saved = dir.filePath(QStringLiteral("saved.pdf"));
    panel.savePaletteTo(PaletteFileBoard, saved);
    EXPECT_TRUE(runTool(pdftotext, {saved, QStringLiteral("-")}).contains(QStringLiteral("Client: Hallway")));
}
