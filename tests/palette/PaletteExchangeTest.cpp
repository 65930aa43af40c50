// Palettes of other design tools: files written by hand from the formats' descriptions,
// the exact forms we write, round trips through every format, hostile files, and the
// nearest-chip matching against a full scan.

#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/AseFile.h"
#include "engine/colour/ColourDifference.h"
#include "engine/palette/CssFile.h"
#include "engine/palette/GplFile.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/palette/PaletteExchange.h"
#include "engine/palette/PaletteFile.h"
#include "engine/palette/PaletteImport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <utility>

using namespace Vantor;
using Palettra::Test::StandardDeck;

namespace {

// Big-endian pieces of a swatch exchange file, put together by hand.
QByteArray be16(quint16 value)
{
    return QByteArray(1, char(value >> 8)) + QByteArray(1, char(value & 0xff));
}
QByteArray be32(quint32 value)
{
    return be16(quint16(value >> 16)) + be16(quint16(value & 0xffff));
}
QByteArray beFloat(float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, 4);
    return be32(bits);
}
QByteArray utf16Name(const QString &name)
{
    QByteArray bytes = be16(quint16(name.size() + 1));
    for (const QChar c : name)
        bytes += be16(c.unicode());
    return bytes + be16(0);
}
QByteArray aseBlock(quint16 type, const QByteArray &content)
{
    return be16(type) + be32(quint32(content.size())) + content;
}
QByteArray aseEntry(const QString &name, const char *model, const QVector<float> &values, quint16 type = 2)
{
    QByteArray content = utf16Name(name) + QByteArray(model, 4);
    for (float v : values)
        content += beFloat(v);
    return aseBlock(0x0001, content + be16(type));
}
QByteArray aseFile(const QList<QByteArray> &blocks, int count = -1)
{
    QByteArray bytes = QByteArray("ASEF") + be16(1) + be16(0) + be32(quint32(count < 0 ? blocks.size() : count));
    for (const QByteArray &block : blocks)
        bytes += block;
    return bytes;
}

class PaletteExchangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        w.addSettingList(deck.idA(), QStringLiteral("row.name.display.order"), {QStringLiteral("0"), QStringLiteral("1")});
        w.addSettingList(deck.idA(), QStringLiteral("row.name.search.order"), {QStringLiteral("0")});
        // True CIELab for the chips, as real collections have.
        for (int page = 1; page <= 6; ++page) {
            for (int row = 1; row <= 3; ++row) {
                const LabColour lab = labFromColour(QColor(40 * page, 20 * row, 100));
                w.exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"),
                       {lab.l, lab.a, lab.b, deck.rowIdA(page, row)});
            }
        }
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
        DB::loadOrderLists(A);
        ASSERT_TRUE(files.isValid());
    }

    DB::ColorEntry colour(int page, int row)
    {
        DB::ColorEntry entry;
        EXPECT_EQ(DB::loadColorById(A, deck.rowIdA(page, row), entry), DB::StatusOk);
        return entry;
    }

    QString file(const QString &name) const { return files.filePath(name); }

    void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    }

    // Cells 0 to n − 1 in grid order hold chips (page, row) of collection A.
    void fill(MyPaletteModel &palette, const QVector<QPoint> &chips)
    {
        const QVector<QPoint> order = MyPaletteModel::gridOrder();
        for (int i = 0; i < chips.size(); ++i)
            palette.setCell(order.at(i), A, colour(chips.at(i).x(), chips.at(i).y()));
    }

    StandardDeck deck;
    QTemporaryDir files;
    const QUuid A = StandardDeck::A;
};

// --- Reading files written by hand ----------------------------------------------------

TEST_F(PaletteExchangeTest, SwatchExchangeWithAGroupAndEveryColourModel)
{
    const QByteArray bytes = aseFile({aseBlock(0xC001, utf16Name(QStringLiteral("Brand colours"))),
                                      aseEntry(QStringLiteral("Signal red"), "RGB ", {1.0f, 0.0f, 0.2f}, 0),
                                      aseEntry(QStringLiteral("Print cyan"), "CMYK", {1.0f, 0.0f, 0.0f, 0.2f}, 1),
                                      aseEntry(QStringLiteral("Measured"), "LAB ", {0.5f, 20.0f, -30.0f}),
                                      aseEntry(QStringLiteral("Half grey"), "Gray", {0.5f}),
                                      aseEntry(QStringLiteral("Unknown model"), "HSV ", {0.1f, 0.2f, 0.3f}),
                                      aseBlock(0xC002, QByteArray())});
    ImportedPalette palette;
    ASSERT_TRUE(readAse(bytes, palette));
    EXPECT_EQ(palette.description, QStringLiteral("Brand colours"));
    ASSERT_EQ(palette.colours.size(), 4);
    EXPECT_EQ(palette.colours.at(0).name, QStringLiteral("Signal red"));
    EXPECT_EQ(palette.colours.at(0).rgb, QColor(255, 0, 51));
    // CMYK naively: (1 − c)(1 − k) and so on.
    EXPECT_EQ(palette.colours.at(1).rgb, QColor(0, 204, 204));
    // CIELab for D50, as Adobe tools keep it, carried over to D65 (Bradford).
    ASSERT_TRUE(palette.colours.at(2).hasLab);
    EXPECT_NEAR(palette.colours.at(2).lab.l, 50.25152, 1e-4);
    EXPECT_NEAR(palette.colours.at(2).lab.a, 22.91067, 1e-4);
    EXPECT_NEAR(palette.colours.at(2).lab.b, -29.81591, 1e-4);
    EXPECT_EQ(palette.colours.at(3).rgb, QColor(128, 128, 128));
}

TEST_F(PaletteExchangeTest, GimpPaletteWithCommentsAndOddSpacing)
{
    const QByteArray text = "GIMP Palette\r\n"
                            "Name:   Client brand  \r\n"
                            "Columns: 4\r\n"
                            "# exported by hand\r\n"
                            "\r\n"
                            "  0   0   0\tBlack\r\n"
                            "255 128 0 Orange   sunset\r\n"
                            "12\t34\t56\r\n"
                            "300 0 0 Too red\r\n"
                            "-5 007 0255 Read as GIMP reads it\r\n"
                            "1 2\tTwo values\r\n"
                            "1 2 x Not a number\r\n"
                            "#ffffff not a colour line\r\n";
    ImportedPalette palette;
    ASSERT_TRUE(readGpl(text, palette));
    EXPECT_EQ(palette.description, QStringLiteral("Client brand"));
    ASSERT_EQ(palette.colours.size(), 5);
    EXPECT_EQ(palette.colours.at(0).rgb, QColor(0, 0, 0));
    EXPECT_EQ(palette.colours.at(0).name, QStringLiteral("Black"));
    EXPECT_EQ(palette.colours.at(1).rgb, QColor(255, 128, 0));
    EXPECT_EQ(palette.colours.at(1).name, QStringLiteral("Orange   sunset"));
    EXPECT_EQ(palette.colours.at(2).rgb, QColor(12, 34, 56));
    EXPECT_TRUE(palette.colours.at(2).name.isEmpty());
    // Values beyond 0 to 255 are clamped; leading zeros are fine.
    EXPECT_EQ(palette.colours.at(3).rgb, QColor(255, 0, 0));
    EXPECT_EQ(palette.colours.at(4).rgb, QColor(0, 7, 255));
    EXPECT_EQ(palette.colours.at(4).name, QStringLiteral("Read as GIMP reads it"));
    EXPECT_FALSE(readGpl("JASC-PAL\n0100\n", palette));
}

// --- What we write ----------------------------------------------------------------------

TEST_F(PaletteExchangeTest, GimpAndCssFilesByteForByte)
{
    MyPaletteModel palette;
    fill(palette, {QPoint(1, 1), QPoint(6, 3)});
    palette.setDescription(QStringLiteral("Kitchen */ walls"));
    EXPECT_EQ(exchangeBytes(palette, ExchangeFormat::Gpl, QStringLiteral("Palette")),
              QByteArray("GIMP Palette\nName: Kitchen */ walls\nColumns: 6\n#\n"
                         " 40  20 100\tA-1-1 Name 1 1\n"
                         "240  60 100\tA-6-3 Name 6 3\n"));
    EXPECT_EQ(exchangeBytes(palette, ExchangeFormat::Css, QStringLiteral("Palette")),
              QByteArray("/* Kitchen * / walls */\n:root {\n"
                         "  --a-1-1: #281464; /* A-1-1, Name 1 1, Zweit 1 1 */\n"
                         "  --a-6-3: #f03c64; /* A-6-3, Name 6 3, Zweit 6 3 */\n}\n"));
    // Without a description the file is named after the default file name.
    palette.setDescription(QString());
    EXPECT_TRUE(exchangeBytes(palette, ExchangeFormat::Gpl, QStringLiteral("Palette"))
                    .startsWith("GIMP Palette\nName: Palette\n"));
    EXPECT_EQ(cssIdentifier(QStringLiteral("  OT 1042/b ")), QStringLiteral("ot-1042-b"));
    EXPECT_EQ(cssIdentifier(QStringLiteral("Blå_1")), QStringLiteral("blå_1"));
    EXPECT_EQ(cssIdentifier(QStringLiteral("%%")), QStringLiteral("colour"));
}

TEST_F(PaletteExchangeTest, ExportThenImportGivesTheSameChipsInTheSameCells)
{
    const QVector<QPoint> chips{QPoint(1, 1), QPoint(2, 3), QPoint(6, 2), QPoint(4, 1), QPoint(3, 3), QPoint(5, 2),
                                QPoint(6, 1)};
    MyPaletteModel original;
    fill(original, chips);
    original.setDescription(QStringLiteral("Round trip"));
    for (const auto &[format, suffix] : {std::pair{ExchangeFormat::Gpl, "gpl"}, std::pair{ExchangeFormat::Ase, "ase"},
                                         std::pair{ExchangeFormat::Cxf, "cxf"}}) {
        SCOPED_TRACE(suffix);
        const QString path = file(QStringLiteral("palette.%1").arg(QLatin1String(suffix)));
        writeFile(path, exchangeBytes(original, format, QString()));
        MyPaletteModel imported;
        imported.setCell(QPoint(5, 3), A, colour(1, 2));
        const PaletteImport read = importPalette(path, A);
        ASSERT_TRUE(read.succeeded());
        EXPECT_EQ(read.kind, ImportedKind::Exchange);
        fillPalette(imported, read);
        EXPECT_EQ(imported.description(), QStringLiteral("Round trip"));
        for (const QPoint &position : MyPaletteModel::gridOrder())
            EXPECT_EQ(imported.cell(position).index, original.cell(position).index) << position.x() << "," << position.y();
    }
}

// One importer for every file Load takes: what a file holds decides how it is read, and a
// file that gives nothing names one reason.
TEST_F(PaletteExchangeTest, TheImporterReadsEachKindAndNamesEachReason)
{
    const DB::ColorEntry chip = colour(2, 2);
    const QByteArray gpl = QStringLiteral("GIMP Palette\nName: Hall\n%1 %2 %3 x\n").arg(chip.red).arg(chip.green).arg(chip.blue).toUtf8();
    MyPaletteModel own(MyPaletteModel::Storage::MemoryOnly);
    own.setCell(QPoint(3, 1), A, colour(4, 1));
    own.setDescription(QStringLiteral("Kitchen"));
    const QByteArray ownBytes = paletteFileBytes(own, PaletteFileXml);
    MyPaletteModel empty(MyPaletteModel::Storage::MemoryOnly);
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(chip.color());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    QImage clear(10, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QByteArray clearPng;
    QBuffer clearBuffer(&clearPng);
    clearBuffer.open(QIODevice::WriteOnly);
    clear.save(&clearBuffer, "PNG");
    QDir(files.path()).mkdir(QStringLiteral("folder.palette"));

    const struct
    {
        const char *name;
        QByteArray bytes; // none written for "missing" and the folder
        ImportedKind kind;
        ImportProblem problem;
        QPoint cell; // where the first chip lands, for files that place one
    } table[] = {
        {"kitchen.palette", ownBytes, ImportedKind::OwnPalette, ImportProblem::None, QPoint(3, 1)},
        {"kitchen.xml", ownBytes, ImportedKind::OwnPalette, ImportProblem::None, QPoint(3, 1)},
        {"empty.palette", paletteFileBytes(empty, PaletteFileXml), ImportedKind::OwnPalette, ImportProblem::None, QPoint(-1, -1)},
        {"hall", gpl, ImportedKind::Exchange, ImportProblem::None, QPoint(0, 0)},
        {"hall.palette", gpl, ImportedKind::Exchange, ImportProblem::None, QPoint(0, 0)},
        {"swatch.ase", exchangeBytes(own, ExchangeFormat::Ase, QString()), ImportedKind::Exchange, ImportProblem::None, QPoint(0, 0)},
        {"measured.cxf", exchangeBytes(own, ExchangeFormat::Cxf, QString()), ImportedKind::Exchange, ImportProblem::None, QPoint(0, 0)},
        {"photo.png", png, ImportedKind::Picture, ImportProblem::None, QPoint(0, 0)},
        {"photo.dat", png, ImportedKind::Picture, ImportProblem::None, QPoint(0, 0)},
        {"missing.gpl", QByteArray(), ImportedKind::Nothing, ImportProblem::Missing, QPoint(-1, -1)},
        {"folder.palette", QByteArray(), ImportedKind::Nothing, ImportProblem::Unreadable, QPoint(-1, -1)},
        {"huge.gpl", "GIMP Palette\n" + QByteArray(int(MaximumExchangeFileSize), '#'), ImportedKind::Exchange,
         ImportProblem::TooLarge, QPoint(-1, -1)},
        {"letter.txt", "Dear colleague,", ImportedKind::Nothing, ImportProblem::NotAPalette, QPoint(-1, -1)},
        {"other.xml", "<html><body/></html>", ImportedKind::Nothing, ImportProblem::NotAPalette, QPoint(-1, -1)},
        {"broken.gpl", "GIMP? no", ImportedKind::Exchange, ImportProblem::NotAnExchangePalette, QPoint(-1, -1)},
        {"notes.png", "just words", ImportedKind::Picture, ImportProblem::NotAPicture, QPoint(-1, -1)},
        {"cut.png", png.left(60), ImportedKind::Picture, ImportProblem::PictureUnreadable, QPoint(-1, -1)},
        {"clear.png", clearPng, ImportedKind::Picture, ImportProblem::NoVisiblePixel, QPoint(-1, -1)},
        {"unknown.gpl", "GIMP Palette\n# only a name nobody knows\n", ImportedKind::Exchange, ImportProblem::NoChipFound,
         QPoint(-1, -1)},
    };
    for (const auto &each : table) {
        SCOPED_TRACE(each.name);
        const QString path = file(QLatin1String(each.name));
        if (!each.bytes.isEmpty())
            writeFile(path, each.bytes);
        const PaletteImport imported = importPalette(path, A);
        EXPECT_EQ(imported.kind, each.kind);
        EXPECT_EQ(imported.problem, each.problem);
        EXPECT_EQ(importProblemText(imported, path).isEmpty(), each.problem == ImportProblem::None);
        if (MyPaletteModel::isInGrid(each.cell)) {
            ASSERT_FALSE(imported.cells.isEmpty());
            EXPECT_EQ(imported.cells.first().position, each.cell);
            EXPECT_EQ(imported.cells.first().collection, A);
        } else {
            EXPECT_TRUE(imported.cells.isEmpty());
        }
    }
    EXPECT_EQ(importPalette(file(QStringLiteral("kitchen.palette")), A).description, QStringLiteral("Kitchen"));
    EXPECT_EQ(importPalette(file(QStringLiteral("hall")), A).cells.first().chip.id, chip.id);
    EXPECT_EQ(importPalette(file(QStringLiteral("photo.dat")), A).cells.first().chip.id, chip.id);
}

// --- Hostile files ------------------------------------------------------------------------

TEST_F(PaletteExchangeTest, TruncatedOversizedAndLyingFilesChangeNothing)
{
    const QByteArray good = aseFile({aseEntry(QStringLiteral("Red"), "RGB ", {1, 0, 0})});
    QByteArray lyingBlock = good;
    lyingBlock[15] = char(0x7f); // the entry's length now points far past the end
    QByteArray lyingName = aseFile({aseBlock(0x0001, be16(500) + QByteArray("x", 1))});
    QByteArray gplHuge = "GIMP Palette\n" + QByteArray(int(MaximumExchangeFileSize), '#');
    const struct
    {
        const char *name;
        QByteArray bytes;
    } hostile[] = {
        {"truncated.ase", good.left(good.size() - 3)},
        {"lying-block.ase", lyingBlock},
        {"lying-count.ase", aseFile({aseEntry(QStringLiteral("Red"), "RGB ", {1, 0, 0})}, 100000)},
        {"lying-name.ase", lyingName},
        {"not-a-number.ase", aseFile({aseEntry(QStringLiteral("NaN"), "RGB ", {std::numeric_limits<float>::quiet_NaN(), 0, 0})})},
        {"header-only.ase", QByteArray("ASEF")},
        {"empty.gpl", QByteArray()},
        {"no-colours.gpl", QByteArray("GIMP Palette\nName: Nothing\n# none\n")},
        {"oversized.gpl", gplHuge},
        {"not-xml.cxf", QByteArray("<cc:CxF")},
        {"entities.cxf", QByteArray("<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e \"F\">]><x>&e;</x>")},
    };
    for (const auto &file : hostile) {
        SCOPED_TRACE(file.name);
        const QString path = this->file(QLatin1String(file.name));
        writeFile(path, file.bytes);
        const PaletteImport read = importPalette(path, A);
        EXPECT_FALSE(read.succeeded());
        EXPECT_TRUE(read.cells.isEmpty());
    }
    ImportedPalette read;
    EXPECT_FALSE(readAse(lyingBlock, read));
    EXPECT_FALSE(readAse(lyingName, read));
}

// --- Matching -------------------------------------------------------------------------------

TEST_F(PaletteExchangeTest, MatchesAreTheFullScansNearestChips)
{
    QRandomGenerator random(17);
    QByteArray text = "GIMP Palette\nName: Random\n";
    QVector<QColor> colours;
    for (int i = 0; i < 60; ++i) {
        const QColor colour(int(random.bounded(256)), int(random.bounded(256)), int(random.bounded(256)));
        colours << colour;
        text += QStringLiteral("%1 %2 %3 Colour %4\n").arg(colour.red()).arg(colour.green()).arg(colour.blue()).arg(i).toUtf8();
    }
    ImportedPalette palette;
    ASSERT_TRUE(readGpl(text, palette));
    const QVector<ExchangeMatch> matches = matchImportedColours(palette, A);
    ASSERT_EQ(matches.size(), colours.size());
    QVector<DB::LabCandidate> candidates;
    ASSERT_EQ(DB::loadLabColors(A, candidates), DB::StatusOk);
    for (int i = 0; i < colours.size(); ++i) {
        // The plain scan: the smallest difference, the first of equal ones.
        const LabColour target = labFromColour(colours.at(i));
        qint64 best = -1;
        double bestDifference = 0;
        for (const DB::LabCandidate &candidate : candidates) {
            const double difference = deltaE2000(target, LabColour{candidate.l, candidate.a, candidate.b});
            if (best < 0 || difference < bestDifference) {
                best = candidate.rowId;
                bestDifference = difference;
            }
        }
        ASSERT_TRUE(matches.at(i).found);
        EXPECT_EQ(matches.at(i).chip.id, best);
        EXPECT_DOUBLE_EQ(matches.at(i).difference, bestDifference);
    }
}

// A CxF3 object with only a name is found by code as a Capsure measurement is.
TEST_F(PaletteExchangeTest, NamesAloneAreLookedUpByCode)
{
    auto &w = deck.deck().writer();
    w.addSetting(deck.idA(), QStringLiteral("capsure.enabled"), 1);
    w.addSetting(deck.idA(), QStringLiteral("capsure.priority"), 1);
    ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
    writeFile(file(QStringLiteral("named.cxf")),
              "<?xml version=\"1.0\"?><cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Resources>"
              "<cc:ObjectCollection><cc:Object Name=\"a-4-2\" ObjectType=\"Standard\" Id=\"1\"/>"
              "<cc:Object Name=\"no such code\" ObjectType=\"Standard\" Id=\"2\"/></cc:ObjectCollection>"
              "</cc:Resources></cc:CxF>");
    const QVector<ExchangeMatch> matches = importPalette(file(QStringLiteral("named.cxf")), A, true).matches;
    ASSERT_EQ(matches.size(), 2);
    ASSERT_TRUE(matches.at(0).found);
    EXPECT_EQ(matches.at(0).chip.id, deck.rowIdA(4, 2));
    EXPECT_FALSE(matches.at(1).found);
}

// The panel loads another tool's palette by its suffix, as its load slot is called.
TEST_F(PaletteExchangeTest, PanelLoadsOtherToolsPalettesAsNearestChips)
{
    MyPaletteModel source;
    fill(source, {QPoint(2, 2), QPoint(5, 1)});
    source.setDescription(QStringLiteral("From GIMP"));
    const QString path = file(QStringLiteral("FROM-GIMP.GPL"));
    writeFile(path, exchangeBytes(source, ExchangeFormat::Gpl, QString()));
    setLastUsedCollection(A);

    MyPaletteWidget panel;
    QSignalSpy changed(&panel, &MyPaletteWidget::myPaletteChanged);
    panel.loadPaletteFrom(PaletteFileXml, path);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(panel.model().cell(QPoint(0, 0)).index.rowId, deck.rowIdA(2, 2));
    EXPECT_EQ(panel.model().cell(QPoint(1, 0)).index.rowId, deck.rowIdA(5, 1));
    EXPECT_EQ(panel.model().description(), QStringLiteral("From GIMP"));

    // A file that gives no colour changes nothing and reports nothing.
    writeFile(file(QStringLiteral("empty.gpl")), "GIMP Palette\n");
    panel.loadPaletteFrom(PaletteFileXml, file(QStringLiteral("empty.gpl")));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(panel.model().cell(QPoint(0, 0)).index.rowId, deck.rowIdA(2, 2));

    // And it saves in those formats.
    panel.savePaletteTo(PaletteFileCss, file(QStringLiteral("out.css")));
    QFile css(file(QStringLiteral("out.css")));
    ASSERT_TRUE(css.open(QIODevice::ReadOnly));
    EXPECT_TRUE(css.readAll().contains("  --a-2-2: #502864; /* A-2-2, Name 2 2, Zweit 2 2 */\n"));
}

} // namespace
