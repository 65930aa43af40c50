#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/widgets/MyPaletteFullWidget.h"
#include "engine/widgets/MyPaletteLayout.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/palette/PaletteFile.h"
#include "engine/palette/PaletteImport.h"
#include "engine/widgets/ChipDrag.h"
#include "engine/widgets/ImageButton.h"

#include <QDir>
#include <QDrag>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace Vantor;
using Palettra::Test::StandardDeck;

namespace {

class MyPaletteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        w.addSettingList(deck.idA(), QStringLiteral("row.name.display.order"), {QStringLiteral("0")});
        w.addSettingList(deck.idA(), QStringLiteral("row.name.search.order"), {QStringLiteral("0")});
        ASSERT_TRUE(w.ok());
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
        ASSERT_TRUE(files.isValid());
    }

    DB::ColorEntry colour(int page, int row)
    {
        DB::ColorEntry entry;
        EXPECT_EQ(DB::loadColorById(StandardDeck::A, deck.rowIdA(page, row), entry), DB::StatusOk);
        return entry;
    }

    QString file(const char *name) const { return files.filePath(QLatin1String(name)); }
    // As the picker's Load does: through the one importer, the palette unchanged where the
    // file gives nothing.
    static ImportProblem loadFile(MyPaletteModel &palette, const QString &path)
    {
        const PaletteImport imported = importPalette(path, QUuid());
        if (imported.succeeded())
            fillPalette(palette, imported);
        return imported.problem;
    }

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    StandardDeck deck;
    QTemporaryDir files;
    const QUuid A = StandardDeck::A;
};

// --- The model ------------------------------------------------------------------

TEST_F(MyPaletteTest, FillingAndEmptyingCellsWritesThrough)
{
    MyPaletteModel palette;
    EXPECT_TRUE(palette.isEmpty());
    palette.setCell(QPoint(5, 3), A, colour(2, 3));
    const PaletteCell &cell = palette.cell(QPoint(5, 3));
    EXPECT_TRUE(cell.isOccupied());
    EXPECT_EQ(cell.colour, QColor(80, 60, 100));
    EXPECT_EQ(cell.colour.alpha(), 255);
    EXPECT_EQ(cell.label, QStringLiteral("A-2-3 - Name 2 3"));
    EXPECT_EQ(myPaletteEntry(3, 5), (DB::ItemIndex{A, deck.pageIdA(2), deck.rowIdA(2, 3)}));
    EXPECT_FALSE(palette.isEmpty());

    palette.emptyCell(QPoint(5, 3));
    EXPECT_FALSE(palette.cell(QPoint(5, 3)).isOccupied());
    EXPECT_EQ(palette.cell(QPoint(5, 3)).colour, QColor(Qt::transparent));
    EXPECT_EQ(myPaletteEntry(3, 5), DB::ItemIndex());
    // Outside the grid nothing happens.
    palette.setCell(QPoint(6, 0), A, colour(1, 1));
    EXPECT_TRUE(palette.isEmpty());
}

TEST_F(MyPaletteTest, LabelWithoutANameIsTheCode)
{
    deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = '' WHERE ID = ?"), {deck.rowIdA(1, 1)});
    EXPECT_EQ(MyPaletteModel::labelFor(colour(1, 1)), QStringLiteral("A-1-1"));
}

TEST_F(MyPaletteTest, SelectionRules)
{
    MyPaletteModel palette;
    QSignalSpy selections(&palette, &MyPaletteModel::selectionChanged);
    palette.pressCell(QPoint(0, 0), Qt::NoModifier);
    palette.pressCell(QPoint(1, 0), Qt::ControlModifier);
    palette.pressCell(QPoint(2, 0), Qt::ControlModifier);
    EXPECT_EQ(palette.selection(), (QList<QPoint>{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_TRUE(myPaletteCellSelected(0, 1));

    palette.pressCell(QPoint(1, 0), Qt::ControlModifier); // deselects
    EXPECT_EQ(palette.selection(), (QList<QPoint>{{0, 0}, {2, 0}}));
    EXPECT_FALSE(myPaletteCellSelected(0, 1));
    palette.pressCell(QPoint(3, 3), Qt::ShiftModifier);
    palette.pressCell(QPoint(3, 3), Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(palette.selection(), (QList<QPoint>{{0, 0}, {2, 0}}));
    palette.pressCell(QPoint(4, 1), Qt::NoModifier);
    EXPECT_EQ(palette.selection(), QList<QPoint>{QPoint(4, 1)});
    EXPECT_FALSE(myPaletteCellSelected(0, 0));
    EXPECT_FALSE(myPaletteCellSelected(0, 2));
    EXPECT_TRUE(myPaletteCellSelected(1, 4));
    EXPECT_EQ(selections.count(), 7); // every press, changed or not
}

TEST_F(MyPaletteTest, DropOntoASelectionFillsAllOfIt)
{
    MyPaletteModel palette;
    QSignalSpy changes(&palette, &MyPaletteModel::changed);
    palette.pressCell(QPoint(0, 1), Qt::NoModifier);
    palette.pressCell(QPoint(2, 1), Qt::ControlModifier);
    palette.pressCell(QPoint(5, 2), Qt::ControlModifier);
    palette.dropChip(QPoint(2, 1), A, colour(3, 1));
    EXPECT_EQ(changes.count(), 1);
    for (const QPoint &position : {QPoint(0, 1), QPoint(2, 1), QPoint(5, 2)})
        EXPECT_EQ(palette.cell(position).index.rowId, deck.rowIdA(3, 1));
    palette.dropChip(QPoint(4, 0), A, colour(3, 2)); // not selected: that cell alone
    EXPECT_EQ(palette.cell(QPoint(4, 0)).index.rowId, deck.rowIdA(3, 2));
    EXPECT_EQ(palette.cell(QPoint(0, 1)).index.rowId, deck.rowIdA(3, 1));
    EXPECT_EQ(palette.selectedChipColours().size(), 3);
}

TEST_F(MyPaletteTest, EraseAndClear)
{
    MyPaletteModel palette;
    palette.setCell(QPoint(0, 0), A, colour(1, 1));
    palette.setCell(QPoint(1, 0), A, colour(1, 2));
    palette.setDescription(QStringLiteral("Hallway"));
    palette.pressCell(QPoint(0, 0), Qt::NoModifier);
    palette.pressCell(QPoint(3, 0), Qt::ControlModifier); // empty cell
    EXPECT_TRUE(palette.hasOccupiedSelection());
    QSignalSpy changes(&palette, &MyPaletteModel::changed);
    QSignalSpy selections(&palette, &MyPaletteModel::selectionChanged);

    palette.eraseSelection();
    EXPECT_FALSE(palette.cell(QPoint(0, 0)).isOccupied());
    EXPECT_TRUE(palette.cell(QPoint(1, 0)).isOccupied());
    EXPECT_EQ(palette.selection().size(), 2); // kept
    EXPECT_FALSE(palette.hasOccupiedSelection());
    palette.eraseSelection(); // only empty cells selected: still reported
    EXPECT_EQ(changes.count(), 2);

    palette.clearCells();
    EXPECT_TRUE(palette.isEmpty());
    EXPECT_EQ(palette.description(), QStringLiteral("Hallway"));
    EXPECT_EQ(changes.count(), 3);
    EXPECT_EQ(selections.count(), 1);

    palette.setCell(QPoint(2, 2), A, colour(1, 3));
    palette.clearAll(true);
    EXPECT_TRUE(palette.isEmpty());
    EXPECT_TRUE(palette.description().isEmpty());
}

TEST_F(MyPaletteTest, RestoreKeepsEntriesOfUnavailableCollections)
{
    const QUuid missing = QUuid::createUuid();
    setMyPaletteEntry(0, 0, DB::ItemIndex{A, deck.pageIdA(4), deck.rowIdA(4, 2)});
    setMyPaletteEntry(0, 1, DB::ItemIndex{missing, 7, 99});
    setMyPaletteEntry(0, 2, DB::ItemIndex{A, 1, 0});
    setMyPaletteCellSelected(0, 1, true);
    setMyPaletteCellSelected(3, 5, true);
    setMyPaletteDescription(QStringLiteral("North hallway"));

    MyPaletteModel palette;
    QSignalSpy changes(&palette, &MyPaletteModel::changed);
    palette.restore();
    EXPECT_EQ(palette.description(), QStringLiteral("North hallway")); // what the user wrote survives a restart
    MyPaletteWidget panel;
    panel.selectedCollectionChanged(A);
    EXPECT_EQ(panel.descriptionEditor()->text(), QStringLiteral("North hallway"));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_TRUE(palette.cell(QPoint(0, 0)).isOccupied());
    EXPECT_EQ(palette.cell(QPoint(0, 0)).colour, QColor(160, 40, 100));
    EXPECT_FALSE(palette.cell(QPoint(1, 0)).isOccupied());
    EXPECT_FALSE(palette.cell(QPoint(2, 0)).isOccupied());
    EXPECT_EQ(palette.selection(), (QList<QPoint>{{1, 0}, {5, 3}}));
    // The chip of the missing collection is still stored.
    EXPECT_EQ(myPaletteEntry(0, 1), (DB::ItemIndex{missing, 7, 99}));
}

// --- Palette files ------------------------------------------------------------------

TEST_F(MyPaletteTest, XmlFileByteForByte)
{
    MyPaletteModel palette;
    const QByteArray empty = paletteFileBytes(palette, PaletteFileXml);
    EXPECT_EQ(empty, QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<orva-palette version=\"3.0\" system=\"multi-collection\">\n"
                                "\t<description/>\n"
                                "\t<chips>\n"
                                "\t</chips>\n"
                                "</orva-palette>\n"));

    palette.setCell(QPoint(1, 0), A, colour(4, 2));
    palette.setCell(QPoint(0, 2), A, colour(6, 3));
    palette.setDescription(QStringLiteral("Kitchen & \"north\" <light>"));
    const QByteArray expected = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<orva-palette version=\"3.0\" system=\"multi-collection\">\n"
        "\t<description>Kitchen &amp; \"north\" &lt;light&gt;</description>\n"
        "\t<chips>\n"
        "\t\t<chip row=\"0\" col=\"1\">\n"
        "\t\t\t<entry uuid-of-collection=\"%1\" page-index=\"4\" row-index=\"2\" color-code=\"A-4-2\"/>\n"
        "\t\t</chip>\n"
        "\t\t<chip row=\"2\" col=\"0\">\n"
        "\t\t\t<entry uuid-of-collection=\"%1\" page-index=\"6\" row-index=\"3\" color-code=\"A-6-3\"/>\n"
        "\t\t</chip>\n"
        "\t</chips>\n"
        "</orva-palette>\n").arg(A.toString()).toUtf8();
    EXPECT_EQ(paletteFileBytes(palette, PaletteFileXml), QByteArray("\xEF\xBB\xBF") + expected);
}

TEST_F(MyPaletteTest, TextFileAndEmptyText)
{
    MyPaletteModel palette;
    EXPECT_FALSE(savePaletteFile(palette, PaletteFileText, file("empty.txt")));
    EXPECT_FALSE(QFile::exists(file("empty.txt")));
    palette.setCell(QPoint(0, 0), A, colour(1, 2));
    palette.setCell(QPoint(3, 1), A, colour(5, 1));
    ASSERT_TRUE(savePaletteFile(palette, PaletteFileText, file("list.txt")));
    EXPECT_EQ(readAll(file("list.txt")), QByteArray("\xEF\xBB\xBFInterior : A-1-2\nInterior : A-5-1\n"));
    EXPECT_TRUE(paletteFileBytes(palette, PaletteFileFormat(7)).isEmpty());
}

TEST_F(MyPaletteTest, SaveThenLoadGivesTheSameChips)
{
    MyPaletteModel palette;
    palette.setCell(QPoint(0, 0), A, colour(2, 1));
    palette.setCell(QPoint(5, 3), A, colour(6, 2));
    palette.setDescription(QStringLiteral("Bedroom"));
    ASSERT_TRUE(savePaletteFile(palette, PaletteFileXml, file("mine.palette")));

    MyPaletteModel loaded;
    loaded.setCell(QPoint(2, 2), A, colour(3, 3)); // replaced by the load
    ASSERT_EQ(loadFile(loaded, file("mine.palette")), ImportProblem::None);
    for (const QPoint &position : MyPaletteModel::gridOrder())
        EXPECT_EQ(loaded.cell(position).index, palette.cell(position).index) << position.x() << "," << position.y();
    EXPECT_EQ(loaded.description(), QStringLiteral("Bedroom"));
    EXPECT_EQ(myPaletteEntry(3, 5).rowId, deck.rowIdA(6, 2));
}

TEST_F(MyPaletteTest, VersionRules)
{
    auto withVersion = [this](const QString &version) {
        const QByteArray text = QStringLiteral(
            "<orva-palette version=\"%1\" system=\"multi-collection\"><description>D</description><chips>"
            "<chip row=\"0\" col=\"0\"><entry uuid-of-collection=\"%2\" page-index=\"1\" row-index=\"1\" color-code=\"A-1-1\"/></chip>"
            "</chips></orva-palette>").arg(version, A.toString()).toUtf8();
        writeFile(file("v.palette"), text);
        MyPaletteModel palette;
        return loadFile(palette, file("v.palette"));
    };
    EXPECT_EQ(withVersion(QStringLiteral("3.0")), ImportProblem::None);
    EXPECT_EQ(withVersion(QStringLiteral("3..0")), ImportProblem::None);
    EXPECT_EQ(withVersion(QStringLiteral(".3.0")), ImportProblem::None);
    EXPECT_EQ(withVersion(QStringLiteral("3.1")), ImportProblem::NotAPalette);
    EXPECT_EQ(withVersion(QStringLiteral("3")), ImportProblem::NotAPalette);
    EXPECT_EQ(withVersion(QStringLiteral("3.0.0")), ImportProblem::NotAPalette);
    EXPECT_EQ(withVersion(QStringLiteral("4.0")), ImportProblem::NotAPalette);
}

TEST_F(MyPaletteTest, Version3ChipRules)
{
    const QByteArray text = QStringLiteral(
        "<?xml version=\"1.0\"?>\n<orva-palette version=\"3.0\" system=\"MULTI-COLLECTION\">"
        "<description>Mixed</description><chips>"
        "<chip row=\"0\" col=\"0\"><entry uuid-of-collection=\"%1\" page-index=\"2\" row-index=\"3\" color-code=\"a-2-3\"/></chip>"
        "<chip row=\"0\" col=\"1\"><entry uuid-of-collection=\"%1\" page-index=\"2\" row-index=\"3\" color-code=\"WRONG\"/></chip>"
        "<chip row=\"4\" col=\"0\"><entry uuid-of-collection=\"%1\" page-index=\"2\" row-index=\"3\" color-code=\"A-2-3\"/></chip>"
        "<chip row=\"0\" col=\"6\"><entry uuid-of-collection=\"%1\" page-index=\"2\" row-index=\"3\" color-code=\"A-2-3\"/></chip>"
        "<chip row=\"1\" col=\"0\"><!-- a comment --><entry uuid-of-collection=\"%1\" page-index=\"1\" row-index=\"1\" color-code=\"A-1-1\"/></chip>"
        "<chip row=\"1\" col=\"1\">text<entry uuid-of-collection=\"%1\" page-index=\"1\" row-index=\"1\" color-code=\"A-1-1\"/></chip>"
        "<chip row=\"2\" col=\"2\"><ENTRY uuid-of-collection=\"%1\" page-index=\"1\" row-index=\"2\" color-code=\"A-1-2\"/></chip>"
        "<chip row=\"3\" col=\"3\"><entry uuid-of-collection=\"%2\" page-index=\"1\" row-index=\"1\" color-code=\"X\"/></chip>"
        "</chips></orva-palette>").arg(A.toString(), QUuid::createUuid().toString()).toUtf8();
    writeFile(file("rules.palette"), text);
    MyPaletteModel palette;
    ASSERT_EQ(loadFile(palette, file("rules.palette")), ImportProblem::None);
    EXPECT_EQ(palette.cell(QPoint(0, 0)).index.rowId, deck.rowIdA(2, 3)); // code ignoring case
    EXPECT_FALSE(palette.cell(QPoint(1, 0)).isOccupied());
    EXPECT_FALSE(palette.cell(QPoint(0, 1)).isOccupied());
    EXPECT_FALSE(palette.cell(QPoint(1, 1)).isOccupied());
    EXPECT_EQ(palette.cell(QPoint(2, 2)).index.rowId, deck.rowIdA(1, 2));
    EXPECT_FALSE(palette.cell(QPoint(3, 3)).isOccupied());
    EXPECT_EQ(palette.description(), QStringLiteral("Mixed"));
}

TEST_F(MyPaletteTest, Version2FilesResolveBySystemIdAndCode)
{
    writeFile(file("old.palette"),
              "<orva-palette version=\"2.0\" system=\"int\"><description>Old one</description><chips>"
              "<chip row=\"1\" col=\"2\">a-4-3</chip><chip row=\"0\" col=\"0\">NOPE</chip><chip row=\"3\" col=\"7\">A-1-1</chip>"
              "</chips></orva-palette>");
    MyPaletteModel palette;
    ASSERT_EQ(loadFile(palette, file("old.palette")), ImportProblem::None);
    EXPECT_EQ(palette.cell(QPoint(2, 1)).index.rowId, deck.rowIdA(4, 3));
    EXPECT_EQ(palette.cell(QPoint(2, 1)).index.collection, A);
    EXPECT_EQ(palette.description(), QStringLiteral("Old one"));
    const QVector<QPoint> order = MyPaletteModel::gridOrder();
    EXPECT_EQ(std::count_if(order.cbegin(), order.cend(), [&palette](const QPoint &p) { return palette.cell(p).isOccupied(); }), 1);

    writeFile(file("unknown.palette"), "<orva-palette version=\"2.0\" system=\"ELSEWHERE\"><chips/></orva-palette>");
    MyPaletteModel untouched;
    untouched.setCell(QPoint(0, 0), A, colour(1, 1));
    EXPECT_EQ(loadFile(untouched, file("unknown.palette")), ImportProblem::NotAPalette);
    EXPECT_TRUE(untouched.cell(QPoint(0, 0)).isOccupied());
}

// A file that names its cells over and over: the later chip that resolves wins, an
// unresolvable later chip leaves the cell to the earlier one, and each cell reaches the
// settings file once, however often the file repeats it.
TEST_F(MyPaletteTest, RepeatedCellsLoadWithOneWritePerCell)
{
    const auto chip3 = [this](int row, int col, int page, int chip, const char *code) {
        return QStringLiteral("<chip row=\"%1\" col=\"%2\"><entry uuid-of-collection=\"%3\" page-index=\"%4\" "
                              "row-index=\"%5\" color-code=\"%6\"/></chip>")
            .arg(row).arg(col).arg(A.toString()).arg(page).arg(chip).arg(QLatin1String(code));
    };
    QString chips;
    for (int repeat = 0; repeat < 200; ++repeat) {
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 6; ++col)
                chips += chip3(row, col, 1 + (row + col + repeat) % 6, 1 + repeat % 3,
                               "x"); // codes never match: none of these resolve
        }
        chips += chip3(0, 0, 1, 1, "A-1-1") + chip3(1, 2, 2, 2, "A-2-2");
    }
    chips += chip3(1, 2, 3, 3, "A-3-3") + chip3(1, 2, 4, 4, "no such chip");
    writeFile(file("repeated.palette"), QStringLiteral("<orva-palette version=\"3.0\" system=\"multi-collection\">"
                                                       "<description>Again</description><chips>%1</chips></orva-palette>")
                                            .arg(chips)
                                            .toUtf8());
    MyPaletteModel palette;
    const quint64 before = persistentStateWriteCount();
    ASSERT_EQ(loadFile(palette, file("repeated.palette")), ImportProblem::None);
    // Clearing the 24 cells, the description, and the two cells that resolve.
    EXPECT_LE(persistentStateWriteCount() - before, quint64(24 + 1 + 2 + 4));
    EXPECT_EQ(palette.cell(QPoint(0, 0)).index.rowId, deck.rowIdA(1, 1));
    EXPECT_EQ(palette.cell(QPoint(2, 1)).index.rowId, deck.rowIdA(3, 3));
    EXPECT_FALSE(palette.cell(QPoint(1, 0)).isOccupied());

    // The same for version 2 files, whose chips are found by code.
    QString codes;
    for (int repeat = 0; repeat < 300; ++repeat)
        codes += QStringLiteral("<chip row=\"2\" col=\"3\">a-%1-1</chip><chip row=\"2\" col=\"3\">NOPE</chip>")
                     .arg(1 + repeat % 6);
    writeFile(file("repeated2.palette"), QStringLiteral("<orva-palette version=\"2.0\" system=\"int\"><chips>%1"
                                                        "</chips></orva-palette>")
                                             .arg(codes)
                                             .toUtf8());
    MyPaletteModel older;
    const quint64 before2 = persistentStateWriteCount();
    ASSERT_EQ(loadFile(older, file("repeated2.palette")), ImportProblem::None);
    EXPECT_LE(persistentStateWriteCount() - before2, quint64(24 + 1 + 1 + 4));
    EXPECT_EQ(older.cell(QPoint(3, 2)).index.rowId, deck.rowIdA(1 + 299 % 6, 1));
}

TEST_F(MyPaletteTest, ReadOnlyPaletteFilesLoad)
{
    MyPaletteModel palette;
    palette.setCell(QPoint(0, 0), A, colour(1, 1));
    ASSERT_TRUE(savePaletteFile(palette, PaletteFileXml, file("shared.palette")));
    QFile::setPermissions(file("shared.palette"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    MyPaletteModel loaded;
    EXPECT_EQ(loadFile(loaded, file("shared.palette")), ImportProblem::None);
    EXPECT_TRUE(loaded.cell(QPoint(0, 0)).isOccupied());
    EXPECT_EQ(loadFile(loaded, file("missing.palette")), ImportProblem::Missing);
}

TEST_F(MyPaletteTest, FailedSavesLeaveTheOldFile)
{
    MyPaletteModel palette;
    palette.setCell(QPoint(0, 0), A, colour(1, 1));
    ASSERT_TRUE(savePaletteFile(palette, PaletteFileXml, file("keep.palette")));
    const QByteArray before = readAll(file("keep.palette"));
    palette.setCell(QPoint(1, 0), A, colour(1, 2));
    const QByteArray after = paletteFileBytes(palette, PaletteFileXml);
    ASSERT_NE(after, before);

    // A folder that takes no new file: the save fails and the old file stays whole. The
    // writer runs without root's privileges (which would ignore the folder's mode).
    QFile::setPermissions(files.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const pid_t child = fork();
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(writeFileAtomically(after, file("keep.palette")) ? 1 : 0);
    }
    int status = -1;
    waitpid(child, &status, 0);
    QFile::setPermissions(files.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0); // the write failed
    EXPECT_EQ(readAll(file("keep.palette")), before);

    // Over a file the user may write, in a folder where they may not create files, the
    // save goes straight into the file.
    QFile::setPermissions(file("keep.palette"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    QFile::setPermissions(files.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const pid_t direct = fork();
    if (direct == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(writeFileAtomically(after, file("keep.palette")) ? 0 : 1);
    }
    waitpid(direct, &status, 0);
    QFile::setPermissions(files.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0); // the write worked
    EXPECT_EQ(readAll(file("keep.palette")), after);
    ASSERT_TRUE(savePaletteFile(MyPaletteModel(), PaletteFileXml, file("keep.palette")));
    ASSERT_NE(readAll(file("keep.palette")), after);

    // A target that is a folder cannot be written either.
    QDir(files.path()).mkdir(QStringLiteral("folder.palette"));
    EXPECT_FALSE(savePaletteFile(palette, PaletteFileXml, file("folder.palette")));
    // A save that works replaces the file whole.
    ASSERT_TRUE(savePaletteFile(palette, PaletteFileXml, file("keep.palette")));
    EXPECT_EQ(readAll(file("keep.palette")), after);
}

TEST_F(MyPaletteTest, HostileFilesChangeNothing)
{
    MyPaletteModel palette;
    palette.setCell(QPoint(0, 0), A, colour(1, 1));
    const QString secret = file("secret.txt");
    writeFile(secret, "top secret");
    const QList<QByteArray> hostile{
        // An external entity that would read a local file.
        QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE p [<!ENTITY x SYSTEM \"file://%1\">]>"
                       "<orva-palette version=\"3.0\" system=\"multi-collection\"><description>&x;</description><chips/></orva-palette>")
            .arg(secret).toUtf8(),
        // Billion laughs.
        QByteArray("<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                   "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
                   "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>"
                   "<orva-palette version=\"3.0\" system=\"multi-collection\"><description>&f;&f;&f;&f;</description><chips/></orva-palette>"),
        // A remote DTD.
        QByteArray("<?xml version=\"1.0\"?><!DOCTYPE p SYSTEM \"http://example.invalid/p.dtd\">"
                   "<orva-palette version=\"3.0\" system=\"multi-collection\"><chips/></orva-palette>"),
        QByteArray("\x00\x01\x02\xff binary", 12),
        QByteArray("<orva-palette version=\"3.0\" system=\"multi-collection\"><chips><chip row=\"0\" col=\"0\">"),
        QByteArray(),
    };
    for (int i = 0; i < hostile.size(); ++i) {
        const QString path = file("hostile.palette");
        writeFile(path, hostile.at(i));
        EXPECT_EQ(loadFile(palette, path), ImportProblem::NotAPalette) << i;
        EXPECT_TRUE(palette.cell(QPoint(0, 0)).isOccupied()) << i;
        EXPECT_FALSE(palette.description().contains(QStringLiteral("secret"))) << i;
    }
    // Huge files are not read at all.
    QFile huge(file("huge.palette"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write("<orva-palette version=\"3.0\" system=\"multi-collection\">");
    huge.resize(MaximumPaletteFileSize + 1);
    huge.close();
    EXPECT_EQ(loadFile(palette, file("huge.palette")), ImportProblem::TooLarge);
    EXPECT_TRUE(palette.cell(QPoint(0, 0)).isOccupied());
}

// --- The panel ---------------------------------------------------------------------

TEST(MyPaletteGeometry, GridAndFullView)
{
    const MyPaletteLayout layout = layoutMyPalette(QSize(565, 211), 30, 16);
    // F = 541: cells of 90 starting at 12 + 1 / 2 = 12; C = 141: cells of 35 from 30 + 12 + 0.
    EXPECT_EQ(layout.cells[0], QRect(12, 42, 90, 35));
    EXPECT_EQ(layout.cells[23], QRect(12 + 5 * 90, 42 + 3 * 35, 90, 35));
    EXPECT_EQ(layout.gridArea, QRect(12, 42, 6 * 90 + 1, 4 * 35 + 1));
    EXPECT_EQ(layout.editor, QRect(QPoint(12, 195), QPoint(552, 210)));

    const MyPaletteFullLayout full = layoutMyPaletteFull(QSize(1000, 600), 30);
    EXPECT_EQ(full.cellWidth, 145);
    EXPECT_EQ(full.cellHeight, 80);
    EXPECT_EQ(full.paletteArea.left(), 64);
    EXPECT_EQ(full.paletteArea.width(), 6 * 145);
    EXPECT_EQ(full.paletteArea.top(), 29 + (600 - 30 - 320 + 1) / 2);
}

TEST_F(MyPaletteTest, PanelSelectionDropsAndButtons)
{
    MyPaletteWidget panel;
    panel.resize(565, 211);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    EXPECT_FALSE(panel.zoomButton()->isEnabled());
    EXPECT_FALSE(panel.trashButton()->isEnabled());
    EXPECT_FALSE(panel.eraserButton()->isEnabled());
    EXPECT_TRUE(panel.gridButton()->isEnabled());
    QSignalSpy changes(&panel, &MyPaletteWidget::myPaletteChanged);
    QSignalSpy selections(&panel, &MyPaletteWidget::myPaletteSelectionChanged);
    // Whoever hears a signal reads the buttons as they now are.
    QList<bool> eraserWhenChanged, eraserWhenSelected;
    QObject::connect(&panel, &MyPaletteWidget::myPaletteChanged, &panel,
            [&] { eraserWhenChanged << panel.eraserButton()->isEnabled(); });
    QObject::connect(&panel, &MyPaletteWidget::myPaletteSelectionChanged, &panel,
            [&] { eraserWhenSelected << panel.eraserButton()->isEnabled(); });

    const QRect cell = panel.currentLayout().cells[7]; // (1, 1)
    QTest::mouseClick(&panel, Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(panel.model().selection(), QList<QPoint>{QPoint(1, 1)});
    EXPECT_EQ(selections.count(), 1);

    // A chip from the card roller dropped on the cell.
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(DB::ChipMimeType), DB::writeChipRecord(DB::FromCardRoller, A, colour(2, 2)));
    QDragEnterEvent enter(cell.center(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDragMoveEvent move(cell.center(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &move);
    ASSERT_TRUE(move.isAccepted());
    EXPECT_EQ(panel.dropTargetPosition(), QPoint(1, 1));
    QDropEvent drop(cell.center(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &drop);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(panel.dropTargetPosition(), QPoint(-1, -1));
    EXPECT_TRUE(panel.model().cell(QPoint(1, 1)).isOccupied());
    EXPECT_TRUE(panel.eraserButton()->isEnabled());
    EXPECT_TRUE(panel.zoomButton()->isEnabled());

    // Painted: the chip's colour and the white selection frame.
    const QImage image = panel.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(cell.center())), QColor(80, 40, 100));
    EXPECT_GE(qGray(image.pixel(cell.center().x(), cell.top())), 200);

    // A chip from My Palette itself, or a bare colour, is refused.
    for (int source : {int(DB::FromMyPalette), int(DB::FromProspectGroups)}) {
        QMimeData refused;
        refused.setData(QLatin1String(DB::ChipMimeType), DB::writeChipRecord(source, A, colour(2, 2)));
        QDragEnterEvent refusedEnter(cell.center(), Qt::CopyAction, &refused, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&panel, &refusedEnter);
        EXPECT_FALSE(refusedEnter.isAccepted()) << source;
    }
    delete mime;

    // Erase the selected chip.
    QTest::mouseClick(panel.eraserButton(), Qt::LeftButton);
    EXPECT_FALSE(panel.model().cell(QPoint(1, 1)).isOccupied());
    EXPECT_EQ(changes.count(), 2);
    EXPECT_FALSE(panel.eraserButton()->isEnabled());
    EXPECT_EQ(eraserWhenChanged, (QList<bool>{true, false})); // after the drop, after the erase
    EXPECT_EQ(eraserWhenSelected, QList<bool>{false});        // an empty cell selected

    // The placeholder of the description reads as light text on the dark background.
    const QColor placeholder = panel.descriptionEditor()->palette().color(QPalette::PlaceholderText);
    EXPECT_GT(qGray(placeholder.rgb()), 160);
    EXPECT_GE(placeholder.alpha(), 96);
}

TEST_F(MyPaletteTest, PanelDragsChipsOutAndClearsOnYesOnly)
{
    MyPaletteWidget panel;
    panel.resize(565, 211);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.model().setCell(QPoint(0, 0), A, colour(5, 2));
    QByteArray payload;
    Qt::DropActions actions;
    setChipDragRunner([&](QDrag *drag, Qt::DropActions supported, Qt::DropAction) {
        payload = drag->mimeData()->data(QLatin1String(DB::ChipMimeType));
        actions = supported;
        return Qt::CopyAction;
    });
    const QPoint at = panel.currentLayout().cells[0].center();
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(&panel, at + QPoint(QApplication::startDragDistance() + 2, 0));
    QTest::mouseMove(&panel, at + QPoint(QApplication::startDragDistance() + 3, 0));
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, at);
    setChipDragRunner(nullptr);
    EXPECT_EQ(payload, DB::writeChipRecord(DB::FromMyPalette, A, colour(5, 2)));
    EXPECT_EQ(actions, Qt::DropActions(Qt::CopyAction));

    QSignalSpy changes(&panel, &MyPaletteWidget::myPaletteChanged);
    panel.clearClicked();
    ASSERT_NE(panel.clearQuestion(), nullptr);
    EXPECT_EQ(panel.clearQuestion()->defaultButton(), panel.clearQuestion()->button(QMessageBox::Yes));
    panel.clearPaletteQuestionFinished(QMessageBox::No);
    EXPECT_FALSE(panel.model().isEmpty());
    panel.clearPaletteQuestionFinished(QMessageBox::Yes);
    EXPECT_TRUE(panel.model().isEmpty());
    EXPECT_EQ(changes.count(), 1);
    panel.clearQuestion()->done(QMessageBox::No);
}

TEST_F(MyPaletteTest, PanelLoadsFilesAndReportsEvenForeignOnes)
{
    MyPaletteModel source;
    source.setCell(QPoint(4, 2), A, colour(3, 3));
    source.setDescription(QStringLiteral("From a colleague"));
    ASSERT_TRUE(savePaletteFile(source, PaletteFileXml, file("colleague.palette")));

    MyPaletteWidget panel;
    QSignalSpy changes(&panel, &MyPaletteWidget::myPaletteChanged);
    panel.loadPaletteFrom(PaletteFileXml, file("colleague.palette"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(panel.model().cell(QPoint(4, 2)).isOccupied());
    EXPECT_EQ(panel.descriptionEditor()->text(), QStringLiteral("From a colleague"));

    // A file that gives nothing changes nothing and says why.
    writeFile(file("foreign.palette"), "<something-else/>");
    panel.loadPaletteFrom(PaletteFileXml, file("foreign.palette"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(panel.model().cell(QPoint(4, 2)).isOccupied());
    EXPECT_TRUE(panel.statusLabel()->toolTip().startsWith(QStringLiteral("foreign.palette: not a palette")));
    panel.loadPaletteFrom(PaletteFileXml, file("nothing-here.palette"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(panel.statusLabel()->toolTip(), QStringLiteral("nothing-here.palette: no such file"));
}

// --- The full view ------------------------------------------------------------------

TEST_F(MyPaletteTest, FullViewSliderAndZoom)
{
    setMyPaletteFullBackgroundColor(300);
    setMyPaletteEntry(0, 0, DB::ItemIndex{A, deck.pageIdA(1), deck.rowIdA(1, 1)});
    MyPaletteFullWidget full;
    EXPECT_EQ(full.backgroundSlider()->value(), 176);
    full.resize(800, 600);
    full.backgroundSlider()->setValue(0);
    EXPECT_EQ(myPaletteFullBackgroundColor(), 0);
    QImage image = full.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(5, 590)), QColor(0, 0, 0));
    full.backgroundSlider()->setValue(255);
    image = full.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(5, 590)), QColor(255, 255, 255));

    const MyPaletteFullLayout layout = full.currentLayout();
    const QPoint firstCell = layout.paletteArea.topLeft() + QPoint(layout.cellWidth / 2, layout.cellHeight / 2);
    const QPoint emptyCell = firstCell + QPoint(layout.cellWidth, 0);
    EXPECT_EQ(QColor(image.pixel(firstCell)), QColor(40, 20, 100));
    EXPECT_EQ(QColor(image.pixel(emptyCell)), QColor(Qt::white));

    QTest::mouseClick(&full, Qt::LeftButton, Qt::NoModifier, emptyCell);
    EXPECT_EQ(full.zoomedColour(), QColor(Qt::transparent));
    QTest::mouseClick(&full, Qt::LeftButton, Qt::NoModifier, firstCell);
    EXPECT_EQ(full.zoomedColour(), QColor(40, 20, 100));
    image = full.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(emptyCell)), QColor(40, 20, 100));
    QSignalSpy back(&full, &MyPaletteFullWidget::backButtonClicked);
    QTest::mouseClick(full.backButton(), Qt::LeftButton);
    EXPECT_EQ(back.count(), 1);
    EXPECT_EQ(full.zoomedColour(), QColor(Qt::transparent));
}

} // namespace
