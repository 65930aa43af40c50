#include "PaletteImport.h"

#include "engine/colour/CxfFile.h"
#include "MyPaletteModel.h"
#include "PaletteFile.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/StatusCodes.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <memory>

namespace Vantor {

namespace {

constexpr int Cells = MyPaletteModel::Rows * MyPaletteModel::Columns;

PaletteImport failed(ImportedKind kind, ImportProblem problem)
{
    PaletteImport result;
    result.kind = kind;
    result.problem = problem;
    return result;
}

// The whole file, from its start whatever looked at it before.
bool readRest(QFile &file, qint64 limit, QByteArray &bytes)
{
    if (file.size() > limit || !file.seek(0))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

PaletteImport importOwnPalette(QFile &file)
{
    QByteArray bytes;
    if (file.size() > MaximumPaletteFileSize)
        return failed(ImportedKind::OwnPalette, ImportProblem::TooLarge);
    if (!readRest(file, MaximumPaletteFileSize, bytes))
        return failed(ImportedKind::OwnPalette, ImportProblem::Unreadable);
    MyPaletteModel scratch(MyPaletteModel::Storage::MemoryOnly);
    QVector<LeftOutColour> unresolved;
    if (loadPaletteBytes(scratch, bytes, &unresolved) != PaletteLoad::Loaded)
        return failed(ImportedKind::Nothing, ImportProblem::NotAPalette);
    PaletteImport result;
    result.kind = ImportedKind::OwnPalette;
    result.problem = ImportProblem::None;
    result.description = scratch.description();
    result.leftOut = unresolved;
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        const PaletteCell &cell = scratch.cell(position);
        DB::ColorEntry chip;
        if (!cell.isOccupied())
            continue;
        if (DB::loadColorById(cell.index.collection, cell.index.rowId, chip) == DB::StatusOk)
            result.cells.append({position, cell.index.collection, chip, std::nullopt});
        else
            result.leftOut.append({cell.label, QStringLiteral("its collection cannot be read")});
    }
    return result;
}

// A colour of another tool's file in words: its name, else its value.
QString importedColourWords(const ImportedColour &colour)
{
    if (!colour.name.trimmed().isEmpty())
        return colour.name.trimmed();
    if (colour.hasRgb)
        return colour.rgb.name(QColor::HexRgb).toUpper();
    return QStringLiteral("Lab %1, %2, %3").arg(colour.lab.l, 0, 'f', 1).arg(colour.lab.a, 0, 'f', 1).arg(colour.lab.b, 0, 'f', 1);
}

PaletteImport importExchange(QFile &file, ExchangeFormat format, const QUuid &collection, bool everyColour)
{
    // Measurement software writes CxF3 with spectra: such files are allowed to be larger.
    const qint64 limit = format == ExchangeFormat::Cxf ? MaximumCxfFileSize : MaximumExchangeFileSize;
    QByteArray bytes;
    if (file.size() > limit)
        return failed(ImportedKind::Exchange, ImportProblem::TooLarge);
    if (!readRest(file, limit, bytes))
        return failed(ImportedKind::Exchange, ImportProblem::Unreadable);
    PaletteImport result;
    result.kind = ImportedKind::Exchange;
    ImportedPalette imported;
    // A GIMP palette is read line by line, only as far as the grid fills: colours that
    // find no chip (a name no collection knows) leave room for later ones, so more lines
    // are read only when the first ones were not enough. Other formats are read whole.
    const bool stepwise = format == ExchangeFormat::Gpl && !everyColour;
    for (int wanted = stepwise ? Cells : -1;; wanted *= 4) {
        if (!readExchangeBytes(bytes, format, imported, wanted))
            return failed(ImportedKind::Exchange, ImportProblem::NotAnExchangePalette);
        result.matches = matchImportedColours(imported, collection, everyColour ? -1 : Cells);
        int found = 0;
        for (const ExchangeMatch &match : std::as_const(result.matches))
            found += match.found ? 1 : 0;
        if (!stepwise || found >= Cells || imported.colours.size() < wanted)
            break;
    }
    // Each colour found takes the next cell; the others, and those beyond a full grid,
    // are named as left out.
    const QVector<QPoint> order = MyPaletteModel::gridOrder();
    for (const ExchangeMatch &match : std::as_const(result.matches)) {
        const QString words = importedColourWords(match.colour);
        if (!match.found) {
            result.leftOut.append({words, QStringLiteral("no colour of the collection matches it")});
        } else if (result.cells.size() < order.size()) {
            const QColor source = match.colour.hasRgb ? match.colour.rgb : colourFromLab(match.colour.lab);
            result.cells.append({order.at(result.cells.size()), collection, match.chip,
                                 MatchedSource{match.colour.name.trimmed(), source, match.difference, 0.0}});
        } else {
            result.leftOut.append({words, QStringLiteral("My Palette holds %1 colours").arg(order.size())});
        }
    }
    result.description = imported.description;
    result.problem = result.cells.isEmpty() ? ImportProblem::NoChipFound : ImportProblem::None;
    return result;
}

PictureColours pictureColoursOf(QFile &file, const std::atomic_bool *cancelled)
{
    PictureColours read;
    QImage picture;
    if (file.size() > MaximumPictureFileSize) {
        read.problem = ImportProblem::PictureTooLarge;
        return read;
    }
    if (!file.seek(0)) {
        read.problem = ImportProblem::Unreadable;
        return read;
    }
    switch (readPalettePicture(&file, picture, &read.notes, cancelled)) {
    case PictureRead::Read: break;
    case PictureRead::Cancelled: read.problem = ImportProblem::Cancelled; return read;
    case PictureRead::TooLarge: read.problem = ImportProblem::PictureTooLarge; return read;
    case PictureRead::NotAPicture: read.problem = ImportProblem::NotAPicture; return read;
    case PictureRead::Incomplete: read.problem = ImportProblem::PictureIncomplete; return read;
    default: read.problem = ImportProblem::PictureUnreadable; return read;
    }
    read.colours = dominantColours(picture, MaximumDominantColours, cancelled);
    if (read.colours.isEmpty())
        read.problem = cancelled && cancelled->load() ? ImportProblem::Cancelled : ImportProblem::NoVisiblePixel;
    return read;
}

bool startsLikeXml(QByteArray start)
{
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    return start.trimmed().startsWith('<');
}


// What the open file holds, from its first bytes; for our own palettes only a guess,
// which reading it confirms.
ImportedKind sniffedKind(QFile &file, ExchangeFormat &exchange)
{
    const QByteArray start = file.peek(4096);
    exchange = exchangeFormatOfContent(start);
    if (exchange != ExchangeFormat::None)
        return ImportedKind::Exchange;
    {
        QImageReader sniffer(&file);
        if (sniffer.canRead())
            return ImportedKind::Picture;
    }
    file.seek(0);
    return startsLikeXml(start) ? ImportedKind::OwnPalette : ImportedKind::Nothing;
}

} // namespace

ImportFile openImportFile(const QString &path)
{
    ImportFile opened;
    opened.path = path;
    const QFileInfo info(path);
    if (!info.exists()) {
        opened.problem = ImportProblem::Missing;
        return opened;
    }
    auto file = std::make_shared<QFile>(path);
    if (!info.isFile() || !file->open(QIODevice::ReadOnly)) {
        opened.problem = ImportProblem::Unreadable;
        return opened;
    }
    opened.file = file;
    opened.kind = sniffedKind(*file, opened.exchange);
    // Content that says nothing: a picture's name still makes it one (its decoder then
    // says what is wrong with it).
    if (opened.kind == ImportedKind::Nothing && hasPictureSuffix(path))
        opened.kind = ImportedKind::Picture;
    return opened;
}

PictureColours readPictureColours(QFile &file, const std::atomic_bool *cancelled)
{
    return pictureColoursOf(file, cancelled);
}

PaletteImport importPictureColours(const PictureColours &read, const QString &path, const QUuid &collection)
{
    if (read.problem != ImportProblem::None) {
        PaletteImport result = failed(ImportedKind::Picture, read.problem);
        result.declaredSize = read.notes.declared;
        return result;
    }
    PaletteImport result;
    result.kind = ImportedKind::Picture;
    result.pictureChips = nearestChipsOf(read.colours, collection);
    result.approximateColours = read.notes.approximate;
    result.declaredSize = read.notes.declared;
    // A picture names its palette after itself; each chip stands for a colour of it.
    result.description = QFileInfo(path).fileName();
    const QVector<QPoint> order = MyPaletteModel::gridOrder();
    for (const PictureChip &chip : std::as_const(result.pictureChips)) {
        if (result.cells.size() < order.size())
            result.cells.append({order.at(result.cells.size()), collection, chip.chip,
                                 MatchedSource{QString(), colourFromLab(chip.mean), chip.difference, chip.share}});
    }
    result.problem = result.cells.isEmpty() ? ImportProblem::NoChipFound : ImportProblem::None;
    return result;
}

PaletteImport importFile(ImportFile &opened, const QUuid &collection, bool everyColour)
{
    if (!opened.file)
        return failed(ImportedKind::Nothing, opened.problem);
    QFile &file = *opened.file;
    switch (opened.kind) {
    case ImportedKind::Exchange: return importExchange(file, opened.exchange, collection, everyColour);
    case ImportedKind::Picture: return importPictureColours(pictureColoursOf(file, nullptr), opened.path, collection);
    case ImportedKind::OwnPalette: {
        PaletteImport own = importOwnPalette(file);
        if (own.problem != ImportProblem::NotAPalette)
            return own;
        break;
    }
    case ImportedKind::Nothing: break;
    }
    // Content that is none of these: the name says what it was meant to be.
    if (hasPictureSuffix(opened.path))
        return importPictureColours(pictureColoursOf(file, nullptr), opened.path, collection);
    const ExchangeFormat bySuffix = exchangeFormatOf(opened.path);
    if (bySuffix != ExchangeFormat::None && bySuffix != ExchangeFormat::Css)
        return failed(ImportedKind::Exchange, ImportProblem::NotAnExchangePalette);
    return failed(ImportedKind::Nothing, ImportProblem::NotAPalette);
}

PaletteImport importPalette(const QString &path, const QUuid &collection, bool everyColour)
{
    ImportFile opened = openImportFile(path);
    return importFile(opened, collection, everyColour);
}

QString importProblemText(const PaletteImport &imported, const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    switch (imported.problem) {
    case ImportProblem::None: return QString();
    case ImportProblem::Missing: return QStringLiteral("%1: no such file").arg(name);
    case ImportProblem::Unreadable: return QStringLiteral("%1: cannot be read").arg(name);
    case ImportProblem::TooLarge:
        return QStringLiteral("%1: too large for a palette").arg(name);
    case ImportProblem::NotAPalette:
        return QStringLiteral("%1: not a palette, picture or colour file that can be read here").arg(name);
    case ImportProblem::NotAnExchangePalette: return QStringLiteral("%1: not a palette of GIMP, Adobe tools or CxF3").arg(name);
    case ImportProblem::NotAPicture: return QStringLiteral("%1: not a picture that can be read here").arg(name);
    case ImportProblem::PictureIncomplete: return QStringLiteral("%1: the picture is incomplete").arg(name);
    case ImportProblem::PictureUnreadable: return QStringLiteral("%1: the picture cannot be read").arg(name);
    case ImportProblem::PictureTooLarge:
        if (imported.declaredSize.isValid())
            return QStringLiteral("%1: too large (%2 megapixels; the limit is %3)")
                .arg(name)
                .arg(double(imported.declaredSize.width()) * imported.declaredSize.height() / 1e6, 0, 'f', 0)
                .arg(MaximumPicturePixels / 1000000);
        return QStringLiteral("%1: too large a file for a picture (the limit is %2 MiB)")
            .arg(name)
            .arg(MaximumPictureFileSize / (1024 * 1024));
    case ImportProblem::NoVisiblePixel: return QStringLiteral("%1: the picture has no visible pixel").arg(name);
    case ImportProblem::NoChipFound: return QStringLiteral("%1: no colour of this collection found").arg(name);
    case ImportProblem::Cancelled: return QStringLiteral("%1: reading was stopped").arg(name);
    }
    return QString();
}

void fillPalette(MyPaletteModel &palette, const PaletteImport &imported)
{
    palette.clearAll(true);
    palette.setDescription(imported.description);
    for (const PlacedChip &cell : imported.cells)
        palette.setCell(cell.position, cell.collection, cell.chip);
}

} // namespace Vantor
