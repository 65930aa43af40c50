// palettra-db: looks into collection databases the way the engine sees them.

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/VersionReport.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"
#include "engine/db/SharedTypes.h"
#include "engine/palette/ColourBoard.h"
#include "engine/colour/ColourDifference.h"
#include "engine/colour/CxfFile.h"
#include "engine/colour/ImagePalette.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/palette/PaletteExchange.h"
#include "engine/palette/PaletteFile.h"
#include "engine/palette/PaletteImport.h"
#include "engine/colour/PhraseSearch.h"

#include "tools/deck/DeckBuilder.h"
#include "tools/deck/DeckChecker.h"
#include "tools/deck/ThemePainter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QDir>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <cstring>

using namespace Vantor;
using namespace Vantor::DB;

namespace {

const int ExitOk = 0;
const int ExitEmpty = 1;
const int ExitUsage = 2;
const int ExitNotFound = 3;

const char *const Usage =
    "usage: palettra-db [--base FOLDER] COMMAND [ARGUMENTS]\n"
    "       palettra-db --version | --help\n"
    "\n"
    "FOLDER is the database folder (default: <first entry of XDG_DATA_DIRS>/Orva Tavel/Palettra/SQLite);\n"
    "collection files are the *.db files in its Contents/Resources folder.\n"
    "\n"
    "commands:\n"
    "  collections                  the registered collections: UUID, order, name, file\n"
    "  search UUID PHRASE           where the picker's search leads: page, row, segment, mood,\n"
    "                               exterior (and collection= where another one holds it)\n"
    "  code CODE                    the colour with that code in the enabled collections\n"
    "  rgb R G B                    the colour with exactly that RGB value\n"
    "  nearest UUID #RRGGBB         the collection's nearest colour and its CIEDE2000 difference\n"
    "  delta-e L1 a1 b1 L2 a2 b2    the CIEDE2000 difference of two CIELAB colours\n"
    "  completions UUID             the search field's completion list\n"
    "  build SOURCE OUT.db          make a collection database from a source folder\n"
    "  check FILE.db                check a database against what the engine reads (exit 1 on problems)\n"
    "  theme-sheet FILE.db OUT.png  draw every theme item of a database on one sheet\n"
    "  cxf OUT.cxf NAME_OR_CODE...  write a CxF3 measurement file with one object per argument, named by it\n"
    "                               (with its CIELab and sRGB values where a collection has that code or name)\n"
    "  export PALETTE.palette OUT.gpl|.ase|.cxf|.css\n"
    "                               write a palette file's chips for GIMP, Adobe tools, CxF3 readers or CSS\n"
    "  match UUID FILE.gpl|.ase|.cxf\n"
    "                               each colour of another tool's palette, in file order, with the\n"
    "                               collection's nearest chip: code, names, #RRGGBB, CIEDE2000 difference\n"
    "  match UUID PICTURE           the chips nearest to a picture's dominant colours, largest share first:\n"
    "                               code, names, #RRGGBB, share of the picture, CIEDE2000 difference\n"
    "  match UUID PALETTE.palette   the chips of a palette file: code, names, #RRGGBB\n"
    "  board PALETTE OUT.pdf [--title TEXT] [--paper a4|letter] [--vision] [--collection UUID]\n"
    "        [--rooms FILE]         a colour board for a client: each chip with its code, names, #RRGGBB,\n"
    "                               CIELab and LRV, and what a matched chip stands for; the colours left\n"
    "                               out, named (also on standard error); the LRVs, and with --rooms (lines\n"
    "                               \"ROOM / SURFACE: CODE\") the surfaces that meet checked against the\n"
    "                               30-point guidance; with --vision the chips as seen with protanopia,\n"
    "                               deuteranopia and tritanopia\n"
    "                               (whatever the name, a file is read as what it holds)\n";

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString &message)
{
    out().flush();
    std::fprintf(stderr, "palettra-db: %s\n", qPrintable(message));
    return ExitUsage;
}

int notFound()
{
    out() << "not found\n";
    return ExitNotFound;
}

QString number(double value)
{
    return QString::number(value, 'f', 4);
}

int printColour(int status, const ColorEntry &entry)
{
    if (status != StatusOk)
        return notFound();
    const QUuid collection = CollectionRegistry::instance().collectionOwning(entry.collectionId);
    ColorPage page;
    loadPageById(collection, entry.pageId, true, page);
    out() << collection.toString() << '\t' << entry.id << '\t' << page.pageIndex << '\t' << entry.rowIndex << '\t'
          << entry.code << '\t' << entry.color().name().toUpper() << '\t' << number(entry.l) << ' ' << number(entry.a)
          << ' ' << number(entry.b) << '\n';
    return ExitOk;
}

bool parseCollection(const QString &text, QUuid &uuid)
{
    uuid = QUuid(text);
    return !uuid.isNull();
}

int listCollections()
{
    auto &registry = CollectionRegistry::instance();
    for (const QUuid &uuid : registry.orderedCollectionUuids()) {
        QSharedPointer<Collection> collection;
        loadCollection(uuid, collection);
        const CollectionLocation location = registry.collectionLocation(uuid);
        out() << uuid.toString() << '\t' << location.order << '\t' << (collection ? collection->name : QString())
              << '\t' << location.databasePath << '\n';
    }
    return ExitOk;
}

int search(const QStringList &arguments)
{
    QUuid uuid;
    if (arguments.size() != 2 || !parseCollection(arguments.at(0), uuid))
        return fail(QStringLiteral("search takes a collection UUID and a phrase"));
    const int opened = CollectionRegistry::instance().openCollection(uuid);
    if (opened < 0)
        return fail(QStringLiteral("collection %1 is not available (%2)").arg(arguments.at(0)).arg(opened));
    loadOrderLists(uuid);
    // The window's own search, from the name or code to the spelling forgiven.
    const Vantor::PhraseHit hit = Vantor::findPhrase(uuid, arguments.at(1));
    if (!hit.found)
        return notFound();
    out() << "page=" << hit.pageIndex << " row=" << hit.rowIndex << " segment=" << hit.segment << " mood=" << hit.mood
          << " exterior=" << (hit.exterior ? "true" : "false");
    if (hit.collection != uuid)
        out() << " collection=" << hit.collection.toString();
    out() << '\n';
    return ExitOk;
}

int code(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return fail(QStringLiteral("code takes one colour code"));
    ColorEntry entry;
    return printColour(findColorByCode(arguments.at(0), entry), entry);
}

bool parseComponent(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= 0 && value <= 255;
}

int rgb(const QStringList &arguments)
{
    int r = 0, g = 0, b = 0;
    if (arguments.size() != 3 || !parseComponent(arguments.at(0), r) || !parseComponent(arguments.at(1), g)
        || !parseComponent(arguments.at(2), b))
        return fail(QStringLiteral("rgb takes three components from 0 to 255"));
    ColorEntry entry;
    return printColour(findColorByRgb(QColor(r, g, b), entry), entry);
}

int nearest(const QStringList &arguments)
{
    QUuid uuid;
    const QColor target = arguments.size() == 2 ? QColor::fromString(arguments.at(1)) : QColor();
    if (arguments.size() != 2 || !parseCollection(arguments.at(0), uuid) || !target.isValid()
        || !arguments.at(1).startsWith(QLatin1Char('#')))
        return fail(QStringLiteral("nearest takes a collection UUID and a colour #RRGGBB"));
    QVector<LabCandidate> candidates;
    const int status = loadLabColors(uuid, candidates);
    if (status < 0)
        return fail(QStringLiteral("collection %1 is not available (%2)").arg(arguments.at(0)).arg(status));
    const QVector<ColourMatch> matches = nearestColours(labFromColour(target), candidates, 1);
    if (matches.isEmpty())
        return notFound();
    ColorEntry entry;
    if (loadColorById(uuid, matches.first().second, entry) != StatusOk)
        return notFound();
    ColorPage page;
    loadPageById(uuid, entry.pageId, true, page);
    out() << uuid.toString() << '\t' << entry.id << '\t' << page.pageIndex << '\t' << entry.rowIndex << '\t'
          << entry.code << '\t' << entry.color().name().toUpper() << '\t' << number(matches.first().first) << '\n';
    return ExitOk;
}

int deltaE(const QStringList &arguments)
{
    if (arguments.size() != 6)
        return fail(QStringLiteral("delta-e takes six numbers: L1 a1 b1 L2 a2 b2"));
    double values[6];
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        values[i] = arguments.at(i).toDouble(&ok);
        if (!ok)
            return fail(QStringLiteral("not a number: %1").arg(arguments.at(i)));
    }
    out() << number(deltaE2000({values[0], values[1], values[2]}, {values[3], values[4], values[5]})) << '\n';
    return ExitOk;
}

int completions(const QStringList &arguments)
{
    QUuid uuid;
    if (arguments.size() != 1 || !parseCollection(arguments.at(0), uuid))
        return fail(QStringLiteral("completions takes a collection UUID"));
    loadOrderLists(uuid);
    QStringList list;
    const int status = loadCompletions(uuid, list);
    if (status < StatusQueryFailed)
        return fail(QStringLiteral("collection %1 is not available (%2)").arg(arguments.at(0)).arg(status));
    for (const QString &entry : list)
        out() << entry << '\n';
    return ExitOk;
}

int build(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return fail(QStringLiteral("build takes a source folder and a database file"));
    const QStringList problems = Palettra::Deck::buildDeck(arguments.at(0), arguments.at(1));
    for (const QString &problem : problems)
        std::fprintf(stderr, "%s\n", qPrintable(problem));
    return problems.isEmpty() ? ExitOk : 1;
}

int check(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return fail(QStringLiteral("check takes a database file"));
    const QStringList problems = Palettra::Deck::checkDeck(arguments.at(0));
    for (const QString &problem : problems)
        out() << problem << '\n';
    if (problems.isEmpty())
        out() << arguments.at(0) << ": clean\n";
    return problems.isEmpty() ? ExitOk : 1;
}

int themeSheet(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return fail(QStringLiteral("theme-sheet takes a database file and a PNG file"));
    QMap<QString, QImage> items;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("theme-sheet"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(arguments.at(0));
        if (!db.open())
            return fail(QStringLiteral("cannot open %1").arg(arguments.at(0)));
        QSqlQuery query(db);
        query.exec(QStringLiteral("SELECT T.COLLECTION_ID, C.SYSTEMID, T.ITEM_KEY, T.ITEM_DATA FROM THEME T "
                                  "LEFT JOIN COLLECTION C ON C.ID = T.COLLECTION_ID ORDER BY T.COLLECTION_ID, T.ITEM_KEY"));
        while (query.next()) {
            const QImage image = QImage::fromData(query.value(3).toByteArray());
            if (image.isNull())
                continue;
            const QString owner = query.value(0).toLongLong() == 0 ? QString() : query.value(1).toString() + QLatin1Char(' ');
            items.insert(owner + query.value(2).toString(), image);
        }
        query.exec(QStringLiteral("SELECT NAME, IMAGE FROM TEXTURE"));
        while (query.next())
            items.insert(QStringLiteral("texture.") + query.value(0).toString(), QImage::fromData(query.value(1).toByteArray()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("theme-sheet"));
    if (items.isEmpty())
        return fail(QStringLiteral("%1 holds no theme images").arg(arguments.at(0)));
    if (!Palettra::Deck::themeContactSheet(items).save(arguments.at(1), "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(arguments.at(1)));
    return ExitOk;
}

// A measurement file as a Capsure device's software would leave it, for trying a
// collection's Capsure set-up without the device.
int cxf(const QStringList &arguments, bool collectionsAvailable)
{
    if (arguments.size() < 2)
        return fail(QStringLiteral("cxf takes an output file and at least one name or code"));
    QVector<CxfObject> objects;
    const QList<QUuid> collections =
        collectionsAvailable ? CollectionRegistry::instance().orderedCollectionUuids() : QList<QUuid>();
    for (const QString &name : arguments.mid(1)) {
        CxfObject object;
        object.name = name;
        for (const QUuid &uuid : collections) {
            loadOrderLists(uuid);
            int pageIndex = -1, rowIndex = -1, segment = -1, mood = 0;
            bool exterior = false;
            ColorEntry colour;
            if (searchPhrase(uuid, name, pageIndex, rowIndex, segment, mood, exterior) == StatusOk && rowIndex > 0
                && loadColorAt(uuid, pageIndex, rowIndex, colour) == StatusOk) {
                object.hasLab = true;
                object.lab = {colour.l, colour.a, colour.b};
                object.hasRgb = true;
                object.rgb = colour.color();
                break;
            }
        }
        objects << object;
    }
    QSaveFile file(arguments.at(0));
    if (!file.open(QIODevice::WriteOnly) || file.write(cxfDocument(QStringLiteral("Capsure measurement"), objects)) < 0
        || !file.commit())
        return fail(QStringLiteral("cannot write %1").arg(arguments.at(0)));
    for (const CxfObject &object : std::as_const(objects))
        out() << object.name << '\t' << (object.hasLab ? number(object.lab.l) + QLatin1Char(' ') + number(object.lab.a) + QLatin1Char(' ')
                                                           + number(object.lab.b)
                                                     : QStringLiteral("(name only)"))
              << '\n';
    return ExitOk;
}

// A palette file's chips in another tool's format, read without touching the user's own
// palette.
int exportPalette(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return fail(QStringLiteral("export takes a palette file and the file to write"));
    const Vantor::ExchangeFormat format = Vantor::exchangeFormatOf(arguments.at(1));
    if (format == Vantor::ExchangeFormat::None)
        return fail(QStringLiteral("%1: write .gpl, .ase, .cxf or .css").arg(arguments.at(1)));
    const QFileInfo source(arguments.at(0));
    if (!source.exists())
        return fail(QStringLiteral("%1: no such file").arg(arguments.at(0)));
    const Vantor::PaletteImport imported = Vantor::importPalette(arguments.at(0), QUuid());
    if (!imported.succeeded() && imported.kind == Vantor::ImportedKind::OwnPalette)
        return fail(Vantor::importProblemText(imported, arguments.at(0)));
    if (imported.kind != Vantor::ImportedKind::OwnPalette)
        return fail(QStringLiteral("%1: not a palette file").arg(arguments.at(0)));
    Vantor::MyPaletteModel palette(Vantor::MyPaletteModel::Storage::MemoryOnly);
    Vantor::fillPalette(palette, imported);
    // Names as the collection of the first chip shows them.
    for (const QPoint &position : Vantor::MyPaletteModel::gridOrder()) {
        if (palette.cell(position).isOccupied()) {
            loadOrderLists(palette.cell(position).index.collection);
            break;
        }
    }
    const int chips = int(Vantor::exchangeChips(palette).size());
    if (chips == 0) {
        out() << "no chips in " << arguments.at(0) << ": nothing written\n";
        return ExitEmpty;
    }
    const QString fallbackName = QFileInfo(arguments.at(0)).completeBaseName();
    if (!Vantor::writeFileAtomically(Vantor::exchangeBytes(palette, format, fallbackName), arguments.at(1)))
        return fail(QStringLiteral("cannot write %1").arg(arguments.at(1)));
    out() << chips << " chips written to " << arguments.at(1) << '\n';
    return ExitOk;
}

// A colour board of any palette, exchange file or picture the picker loads, its colours
// matched into a collection as Load matches them.
int board(const QStringList &arguments)
{
    QStringList files;
    QString title;
    QString paperName;
    QString collectionText;
    QString roomsFile;
    bool vision = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--title") && hasValue)
            title = arguments.at(++i);
        else if (argument == QLatin1String("--paper") && hasValue)
            paperName = arguments.at(++i).toLower();
        else if (argument == QLatin1String("--collection") && hasValue)
            collectionText = arguments.at(++i);
        else if (argument == QLatin1String("--rooms") && hasValue)
            roomsFile = arguments.at(++i);
        else if (argument == QLatin1String("--vision"))
            vision = true;
        else if (argument.startsWith(QLatin1String("--")))
            return fail(QStringLiteral("board: unknown option %1").arg(argument));
        else
            files << argument;
    }
    if (files.size() != 2 || (!paperName.isEmpty() && paperName != QLatin1String("a4") && paperName != QLatin1String("letter")))
        return fail(QStringLiteral("board takes a palette file, the PDF to write and [--title TEXT] [--paper a4|letter] "
                                   "[--vision] [--collection UUID] [--rooms FILE]"));
    auto &registry = CollectionRegistry::instance();
    // The collection Load would match into: the one the picker shows last, else the first.
    QUuid collection = Vantor::lastUsedCollection();
    if (!collectionText.isEmpty() && !parseCollection(collectionText, collection))
        return fail(QStringLiteral("no collection %1").arg(collectionText));
    if (!registry.orderedCollectionUuids().contains(collection)) {
        if (!collectionText.isEmpty())
            return fail(QStringLiteral("no collection %1").arg(collectionText));
        collection = registry.orderedCollectionUuids().value(0);
    }
    loadOrderLists(collection);
    // Every colour of the file, so that those the board cannot hold are named too.
    const Vantor::PaletteImport imported = Vantor::importPalette(files.at(0), collection, true);
    // What is left out is said before anything else, whatever comes of the rest.
    for (const Vantor::LeftOutColour &colour : imported.leftOut)
        err() << "palettra-db: not on the board: " << colour.what << " (" << colour.why << ")\n";
    err().flush();
    if (!imported.succeeded())
        return fail(Vantor::importProblemText(imported, files.at(0)));
    if (imported.cells.isEmpty()) {
        out() << "no chips in " << files.at(0) << ": nothing written\n";
        return ExitEmpty;
    }
    if (title.isEmpty())
        title = !imported.description.isEmpty() ? imported.description : QFileInfo(files.at(0)).completeBaseName();
    const Vantor::BoardPaper paper = paperName.isEmpty() ? Vantor::boardPaperFor(QLocale::system())
        : paperName == QLatin1String("letter")         ? Vantor::BoardPaper::Letter
                                                       : Vantor::BoardPaper::A4;
    Vantor::ColourBoard colourBoard = Vantor::colourBoardOf(imported.cells, title, imported.leftOut);
    if (!roomsFile.isEmpty()) {
        QFile rooms(roomsFile);
        if (!rooms.open(QIODevice::ReadOnly) || rooms.size() > 1024 * 1024)
            return fail(QStringLiteral("%1: cannot be read").arg(roomsFile));
        QStringList problems;
        if (!Vantor::applyBoardRooms(colourBoard, QString::fromUtf8(rooms.readAll()), problems)) {
            for (const QString &problem : std::as_const(problems))
                err() << "palettra-db: " << roomsFile << ": " << problem << '\n';
            err().flush();
            return ExitUsage;
        }
    }
    QString problem;
    if (!Vantor::writeFileAtomically(Vantor::colourBoardPdf(colourBoard, paper, vision), files.at(1), &problem))
        return fail(QStringLiteral("%1: not written: %2").arg(files.at(1), problem));
    const int chips = int(colourBoard.chips.size());
    out() << (chips == 1 ? QStringLiteral("1 chip") : QStringLiteral("%1 chips").arg(chips)) << " on the board in " << files.at(1);
    if (!colourBoard.leftOut.isEmpty())
        out() << "; " << colourBoard.leftOut.size() << " left out (named on the board)";
    out() << '\n';
    return ExitOk;
}

QString chipNames(const ColorEntry &chip)
{
    QStringList names;
    for (int index : rowNameDisplayOrder()) {
        if (!chip.name(index).isEmpty())
            names << chip.name(index);
    }
    return names.join(QStringLiteral(", "));
}

// Each colour of another tool's palette with the collection's nearest chip, the chips a
// picture gives with their shares of it, or the chips of a palette file.
int matchPalette(const QStringList &arguments)
{
    QUuid uuid;
    if (arguments.size() != 2 || !parseCollection(arguments.at(0), uuid))
        return fail(QStringLiteral("match takes a collection UUID and a palette, a .gpl, .ase or .cxf file or a picture"));
    if (CollectionRegistry::instance().openCollection(uuid) != StatusOk)
        return fail(QStringLiteral("no collection %1").arg(uuid.toString()));
    loadOrderLists(uuid);
    const QString &path = arguments.at(1);
    const Vantor::PaletteImport imported = Vantor::importPalette(path, uuid, true);
    if (!imported.succeeded() && imported.problem != Vantor::ImportProblem::NoChipFound)
        return fail(Vantor::importProblemText(imported, path));
    auto chipLine = [](const ColorEntry &chip) {
        return chip.code + QLatin1Char('\t') + chipNames(chip) + QLatin1Char('\t') + chip.color().name().toUpper();
    };
    switch (imported.kind) {
    case Vantor::ImportedKind::Picture:
        if (imported.approximateColours)
            std::fprintf(stderr, "palettra-db: %s: CMYK without a colour profile: the colours are approximate\n",
                         qPrintable(QFileInfo(path).fileName()));
        if (imported.pictureChips.isEmpty()) {
            out() << "no chip of the collection for " << path << '\n';
            return ExitEmpty;
        }
        for (const Vantor::PictureChip &chip : imported.pictureChips)
            out() << chipLine(chip.chip) << '\t' << QString::number(chip.share * 100.0, 'f', 1) << "%\t"
                  << QString::number(chip.difference, 'f', 4) << '\n';
        break;
    case Vantor::ImportedKind::Exchange:
        if (imported.matches.isEmpty()) {
            out() << "no colours in " << path << '\n';
            return ExitEmpty;
        }
        for (const Vantor::ExchangeMatch &match : imported.matches) {
            if (match.found)
                out() << chipLine(match.chip) << '\t' << QString::number(match.difference, 'f', 4) << '\n';
            else
                out() << match.colour.name << "\t(no match)\n";
        }
        break;
    default:
        if (imported.cells.isEmpty()) {
            out() << "no chips in " << path << '\n';
            return ExitEmpty;
        }
        for (const Vantor::PlacedChip &cell : imported.cells)
            out() << chipLine(cell.chip) << '\n';
    }
    return ExitOk;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        QCoreApplication application(argc, argv);
        out() << Vantor::versionReport(QStringLiteral("palettra-db"));
        out().flush();
        return ExitOk;
    }
    // Drawing themes needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);

    QString base = databaseFolderPath();
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--base")) {
        if (arguments.size() < 2)
            return fail(QStringLiteral("--base needs a folder"));
        base = arguments.at(1);
        arguments = arguments.mid(2);
    }
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help")) {
        std::fputs(Usage, arguments.isEmpty() ? stderr : stdout);
        return arguments.isEmpty() ? ExitUsage : ExitOk;
    }
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("delta-e"))
        return deltaE(arguments);
    if (command == QLatin1String("build"))
        return build(arguments);
    if (command == QLatin1String("check"))
        return check(arguments);
    if (command == QLatin1String("theme-sheet"))
        return themeSheet(arguments);

    if (command == QLatin1String("cxf")) {
        // Names that no collection knows are written all the same.
        auto &registry = CollectionRegistry::instance();
        registry.setBaseFolder(base);
        const int result = cxf(arguments, QDir(base).isReadable() && registry.checkCollectionsAvailable() == 1);
        out().flush();
        return result;
    }

    const QStringList known{QStringLiteral("collections"), QStringLiteral("search"), QStringLiteral("code"),
                            QStringLiteral("rgb"),         QStringLiteral("nearest"), QStringLiteral("completions"),
                            QStringLiteral("export"),      QStringLiteral("match"),   QStringLiteral("board")};
    if (!known.contains(command))
        return fail(QStringLiteral("unknown command %1 (see --help)").arg(command));

    if (!QDir(base).isReadable())
        return fail(QStringLiteral("cannot read the database folder %1").arg(base));
    auto &registry = CollectionRegistry::instance();
    registry.setBaseFolder(base);
    if (registry.checkCollectionsAvailable() != 1)
        return fail(QStringLiteral("no collection in %1/Contents/Resources").arg(base));

    int result = ExitUsage;
    if (command == QLatin1String("collections"))
        result = listCollections();
    else if (command == QLatin1String("search"))
        result = search(arguments);
    else if (command == QLatin1String("code"))
        result = code(arguments);
    else if (command == QLatin1String("rgb"))
        result = rgb(arguments);
    else if (command == QLatin1String("nearest"))
        result = nearest(arguments);
    else if (command == QLatin1String("completions"))
        result = completions(arguments);
    else if (command == QLatin1String("export"))
        result = exportPalette(arguments);
    else if (command == QLatin1String("match"))
        result = matchPalette(arguments);
    else if (command == QLatin1String("board"))
        result = board(arguments);
    out().flush();
    return result;
}
