#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/colour/ColourDifference.h"
#include "engine/colour/CxfFile.h"
#include "engine/colour/UntrustedXml.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Palettra::Test::StandardDeck;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PALETTRA_DB_TOOL), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class PalettraDbToolTest : public ::testing::Test
{
protected:
    ToolRun run(QStringList arguments)
    {
        arguments.prepend(deck.baseFolder());
        arguments.prepend(QStringLiteral("--base"));
        return runTool(arguments);
    }
    StandardDeck deck;
};

TEST_F(PalettraDbToolTest, ListsCollectionsInDisplayOrder)
{
    deck.deck().close();
    const ToolRun result = run({QStringLiteral("collections")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(0).startsWith(StandardDeck::A.toString() + QStringLiteral("\t1\tInterior\t")));
    EXPECT_TRUE(lines.at(1).startsWith(StandardDeck::B.toString() + QStringLiteral("\t2\tExterior\t")));
    EXPECT_TRUE(lines.at(0).endsWith(QStringLiteral("standard.db")));
}

TEST_F(PalettraDbToolTest, SearchCodeRgbAndNearest)
{
    // The chip's true CIELAB, so the nearest-colour search finds it.
    const Vantor::LabColour lab = Vantor::labFromColour(QColor(0x50, 0x3c, 0x64));
    deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"),
                              {lab.l, lab.a, lab.b, deck.rowIdA(2, 3)});
    ASSERT_TRUE(deck.deck().writer().ok());
    deck.deck().close();
    ToolRun result = run({QStringLiteral("search"), StandardDeck::A.toString(), QStringLiteral("a-3-2")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("page=3 row=2 segment=2 mood=5 exterior=true\n"));
    // The window's search: the code written the way another tool writes it.
    result = run({QStringLiteral("search"), StandardDeck::A.toString(), QStringLiteral("a_3.2")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("page=3 row=2 segment=2 mood=5 exterior=true\n"));

    result = run({QStringLiteral("search"), StandardDeck::A.toString(), QStringLiteral("x' OR '1'='1")});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.out, QStringLiteral("not found\n"));

    result = run({QStringLiteral("code"), QStringLiteral("A-2-3")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("%1\t%2\t2\t3\tA-2-3\t#503C64\t%3 %4 %5\n")
                              .arg(StandardDeck::A.toString())
                              .arg(deck.rowIdA(2, 3))
                              .arg(lab.l, 0, 'f', 4)
                              .arg(lab.a, 0, 'f', 4)
                              .arg(lab.b, 0, 'f', 4));

    result = run({QStringLiteral("rgb"), QStringLiteral("80"), QStringLiteral("60"), QStringLiteral("100")});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains(QStringLiteral("\tA-2-3\t")));
    EXPECT_EQ(run({QStringLiteral("rgb"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}).exitCode, 3);

    result = run({QStringLiteral("nearest"), StandardDeck::A.toString(), QStringLiteral("#503C64")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.endsWith(QStringLiteral("\tA-2-3\t#503C64\t0.0000\n"))) << result.out.toStdString();
}

TEST_F(PalettraDbToolTest, CompletionsAndDeltaE)
{
    deck.deck().close();
    const ToolRun completions = run({QStringLiteral("completions"), StandardDeck::B.toString()});
    ASSERT_EQ(completions.exitCode, 0);
    EXPECT_EQ(completions.out, QStringLiteral("B-1-1\nB-1-2\nB-2-1\nB-2-2\n"));

    const ToolRun delta = runTool({QStringLiteral("delta-e"), QStringLiteral("50"), QStringLiteral("2.6772"),
                               QStringLiteral("-79.7751"), QStringLiteral("50"), QStringLiteral("0"),
                               QStringLiteral("-82.7485")});
    ASSERT_EQ(delta.exitCode, 0);
    EXPECT_EQ(delta.out, QStringLiteral("2.0425\n"));
}

TEST_F(PalettraDbToolTest, BadArgumentsAndFolders)
{
    for (const QStringList &arguments : {QStringList{QStringLiteral("rgb"), QStringLiteral("1"), QStringLiteral("2")},
                                         QStringList{QStringLiteral("frobnicate")},
                                         QStringList{QStringLiteral("search"), QStringLiteral("not-a-uuid"), QStringLiteral("x")},
                                         QStringList{QStringLiteral("nearest"), StandardDeck::A.toString(), QStringLiteral("red")}}) {
        const ToolRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1);
    }
    EXPECT_EQ(runTool({QStringLiteral("delta-e"), QStringLiteral("1")}).exitCode, 2);
    const ToolRun missing = runTool({QStringLiteral("--base"), QStringLiteral("/nonexistent/folder"), QStringLiteral("collections")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("palettra-db: ")));
}

// A measurement file to try a collection's Capsure set-up with: one object per name,
// with the colour's CIELab and sRGB values where a collection knows the name or code.
TEST_F(PalettraDbToolTest, WritesCapsureMeasurementFiles)
{
    deck.deck().close();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("m.cxf"));
    const ToolRun result = run({QStringLiteral("cxf"), file, QStringLiteral("a-2-3"), QStringLiteral("Nobody knows me")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    QByteArray bytes;
    ASSERT_TRUE(Vantor::readBoundedFile(file, Vantor::MaximumCxfFileSize, bytes));
    const Vantor::XmlDocument document = Vantor::parseUntrustedXml(bytes);
    ASSERT_TRUE(document);
    EXPECT_EQ(Vantor::cxfObjectNames(document.get()), (QStringList{QStringLiteral("a-2-3"), QStringLiteral("Nobody knows me")}));
    const QVector<Vantor::CxfObject> objects = Vantor::cxfObjects(document.get());
    ASSERT_EQ(objects.size(), 2);
    ASSERT_TRUE(objects.at(0).hasLab);
    EXPECT_DOUBLE_EQ(objects.at(0).lab.l, 20.0); // the stored values of chip A-2-3
    EXPECT_DOUBLE_EQ(objects.at(0).lab.a, 3.0);
    EXPECT_EQ(objects.at(0).rgb, QColor(80, 60, 100));
    EXPECT_FALSE(objects.at(1).hasLab);

    EXPECT_EQ(run({QStringLiteral("cxf"), file}).exitCode, 2);
}

// match and export say why a file gives nothing, and fail.
TEST_F(PalettraDbToolTest, MatchAndExportNameTheRealReason)
{
    deck.deck().close();
    QTemporaryDir folder;
    auto write = [&folder](const QString &name, const QByteArray &bytes) {
        QFile out(folder.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return folder.filePath(name);
    };
    const QString a = StandardDeck::A.toString();
    const struct
    {
        QString path;
        const char *reason;
    } failing[] = {
        {folder.filePath(QStringLiteral("missing.gpl")), "no such file"},
        {write(QStringLiteral("big.gpl"), "GIMP Palette\n" + QByteArray(5 * 1024 * 1024, '#')), "too large"},
        {write(QStringLiteral("text.ase"), "hello"), "not a palette of GIMP, Adobe tools or CxF3"},
    };
    for (const auto &each : failing) {
        const ToolRun result = run({QStringLiteral("match"), a, each.path});
        EXPECT_EQ(result.exitCode, 2) << each.reason;
        EXPECT_TRUE(result.err.contains(QLatin1String(each.reason))) << result.err.toStdString();
    }
    const ToolRun empty = run({QStringLiteral("match"), a, write(QStringLiteral("empty.gpl"), "GIMP Palette\n")});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(empty.out.startsWith(QStringLiteral("no colours in "))) << empty.out.toStdString();

    const ToolRun missing = run({QStringLiteral("export"), folder.filePath(QStringLiteral("none.palette")),
                                 folder.filePath(QStringLiteral("out.gpl"))});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("no such file")));
    const QString emptyPalette = write(QStringLiteral("empty.palette"),
                                       "<?xml version=\"1.0\"?><orva-palette version=\"3.0\" system=\"multi-collection\">"
                                       "<description/><chips/></orva-palette>");
    const ToolRun nothing = run({QStringLiteral("export"), emptyPalette, folder.filePath(QStringLiteral("out.gpl"))});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("out.gpl"))));

    // A board of another tool's palette, matched into the collection; a file that gives
    // nothing writes no board and says why.
    const QString gpl = write(QStringLiteral("brand.gpl"), "GIMP Palette\nName: Brand\n80 60 100 one\n");
    const ToolRun board = run({QStringLiteral("board"), gpl, folder.filePath(QStringLiteral("board.pdf")), QStringLiteral("--paper"),
                               QStringLiteral("letter"), QStringLiteral("--collection"), a});
    EXPECT_EQ(board.exitCode, 0) << board.err.toStdString();
    EXPECT_TRUE(board.out.startsWith(QStringLiteral("1 chip on the board"))) << board.out.toStdString();
    QFile pdf(folder.filePath(QStringLiteral("board.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    const ToolRun noBoard = run({QStringLiteral("board"), folder.filePath(QStringLiteral("text.ase")),
                                 folder.filePath(QStringLiteral("none.pdf"))});
    EXPECT_EQ(noBoard.exitCode, 2);
    EXPECT_TRUE(noBoard.err.contains(QStringLiteral("not a palette"))) << noBoard.err.toStdString();
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("none.pdf"))));

    // A chip of a collection that is not installed is named on standard error (and on the
    // board); a rooms file that is wrong says on which line, and writes nothing.
    const QString palette = write(QStringLiteral("two.palette"),
                                  "<?xml version=\"1.0\"?><orva-palette version=\"3.0\" system=\"multi-collection\">"
                                  "<description>Two</description><chips>"
                                  "<chip row=\"0\" col=\"0\"><entry uuid-of-collection=\"" + a.toUtf8()
                                      + "\" page-index=\"1\" row-index=\"1\" color-code=\"A-1-1\"/></chip>"
                                        "<chip row=\"0\" col=\"1\"><entry uuid-of-collection=\"{12345678-0000-4000-8000-000000000000}\" "
                                        "page-index=\"1\" row-index=\"1\" color-code=\"ZZ 77\"/></chip></chips></orva-palette>");
    const ToolRun partial = run({QStringLiteral("board"), palette, folder.filePath(QStringLiteral("two.pdf"))});
    EXPECT_EQ(partial.exitCode, 0) << partial.err.toStdString();
    EXPECT_TRUE(partial.err.contains(QStringLiteral("not on the board: ZZ 77 (its collection {12345678-0000-4000-8000-000000000000} "
                                                    "is not installed)")))
        << partial.err.toStdString();
    EXPECT_TRUE(partial.out.contains(QStringLiteral("1 left out"))) << partial.out.toStdString();
    const QString rooms = write(QStringLiteral("rooms.txt"), "Hall / walls: A-1-1\nHall / attic: A-1-1\n");
    const ToolRun badRooms = run({QStringLiteral("board"), palette, folder.filePath(QStringLiteral("rooms.pdf")),
                                  QStringLiteral("--rooms"), rooms});
    EXPECT_EQ(badRooms.exitCode, 2);
    EXPECT_TRUE(badRooms.err.contains(QStringLiteral("line 2: unknown surface \"attic\""))) << badRooms.err.toStdString();
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("rooms.pdf"))));
}

// A picture's chips with their shares, largest first; a file that is no picture fails.
TEST_F(PalettraDbToolTest, MatchListsAPicturesChipsWithTheirShares)
{
    for (int page = 1; page <= 6; ++page) {
        for (int row = 1; row <= 3; ++row) {
            const Vantor::LabColour lab = Vantor::labFromColour(QColor(40 * page, 20 * row, 100));
            deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"),
                                      {lab.l, lab.a, lab.b, deck.rowIdA(page, row)});
        }
    }
    deck.deck().close();
    QTemporaryDir folder;
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(QColor(240, 60, 100)); // A-6-3
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 60; ++x)
            picture.setPixel(x, y, qRgb(40, 20, 100)); // A-1-1
    }
    const QString path = folder.filePath(QStringLiteral("room.png"));
    ASSERT_TRUE(picture.save(path));
    const ToolRun result = run({QStringLiteral("match"), StandardDeck::A.toString(), path});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << result.out.toStdString();
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("A-6-3\t"))) << lines.at(0).toStdString();
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("A-1-1\t"))) << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(0).contains(QStringLiteral("\t#F03C64\t70.0%\t0.0000"))) << lines.at(0).toStdString();
    EXPECT_TRUE(lines.at(1).contains(QStringLiteral("\t#281464\t30.0%\t0.0000"))) << lines.at(1).toStdString();

    QFile text(folder.filePath(QStringLiteral("notes.png")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just words");
    text.close();
    const ToolRun broken = run({QStringLiteral("match"), StandardDeck::A.toString(), text.fileName()});
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_TRUE(broken.err.contains(QStringLiteral("not a picture"))) << broken.err.toStdString();
}

} // namespace

