#pragma once

// One way into My Palette from a file: the picker's own palette files, the palettes of
// other design tools (GIMP, Adobe Swatch Exchange, CxF3) and pictures. The file is opened
// and read once; what it holds decides how it is read, and its suffix only says what it
// was meant to be when its content is none of these.

#include "engine/colour/ImagePalette.h"
#include "PaletteExchange.h"
#include "PaletteFile.h"
#include "engine/db/ColorEntry.h"

#include <QPoint>
#include <QFile>
#include <QString>
#include <QUuid>
#include <QVector>

#include <memory>
#include <optional>

namespace Vantor {

class MyPaletteModel;

enum class ImportedKind { Nothing, OwnPalette, Exchange, Picture };

// Why a file placed no chip.
enum class ImportProblem {
    None,
    Missing,
    Unreadable, // not a plain file, or it cannot be opened or read
    TooLarge, // larger than a palette or colour file of its kind is
    NotAPalette, // none of the kinds read here
    NotAnExchangePalette, // named .gpl, .ase or .cxf, but not such a palette
    NotAPicture, // named as a picture, but none that can be read here
    PictureUnreadable, // a picture that does not decode
    PictureIncomplete, // a picture cut short
    PictureTooLarge,
    NoVisiblePixel,
    NoChipFound, // read, but no colour of it leads to a chip of the collection
    Cancelled, // a picture's read that was no longer wanted
};

// A colour of another tool's palette or of a picture that a chip of the collection
// stands for: what it was, and how far the chip is from it (CIEDE2000).
struct MatchedSource
{
    QString name; // empty for a picture's colour
    QColor rgb;
    double difference = 0.0;
    double share = 0.0; // of a picture, else 0
};

// The chip a file puts into a cell; a matched chip says what it stands for.
struct PlacedChip
{
    QPoint position;
    QUuid collection;
    DB::ColorEntry chip;
    std::optional<MatchedSource> matchedFrom;
};


struct PaletteImport
{
    ImportedKind kind = ImportedKind::Nothing;
    ImportProblem problem = ImportProblem::NotAPalette;
    QVector<PlacedChip> cells; // in grid order; another tool's or a picture's colours fill the grid row by row
    QString description;
    // How the colours were matched, for those who list it: each colour of another tool's
    // palette in file order (until the grid is full, or all of them when asked), and the
    // chips of a picture with their shares.
    QVector<ExchangeMatch> matches;
    QVector<PictureChip> pictureChips;
    // The colours of the file that placed no chip.
    QVector<LeftOutColour> leftOut;
    // The picture's colours are approximate (CMYK without a colour profile).
    bool approximateColours = false;
    QSize declaredSize; // of a picture, as its file declares it

    // Whether the file gave a palette: its cells (none, for an empty palette file of our
    // own) and its description replace My Palette's.
    bool succeeded() const { return problem == ImportProblem::None; }
};

// A file opened once for its import, and what it holds by its first bytes (by its name
// where they say nothing): the kind it is read as. No file where it cannot be opened,
// with the reason.
struct ImportFile
{
    QString path;
    std::shared_ptr<QFile> file;
    ImportedKind kind = ImportedKind::Nothing;
    ExchangeFormat exchange = ExchangeFormat::None;
    ImportProblem problem = ImportProblem::None;
};
ImportFile openImportFile(const QString &path);

// The slow half of a picture's import, its decoding and clustering: no database is
// touched, so it may run on a worker thread.
struct PictureColours
{
    ImportProblem problem = ImportProblem::None;
    QVector<DominantColour> colours;
    PictureReadNotes notes;
};
// Of the file opened for its import; a read whose `cancelled` (may be null) is set
// meanwhile stops early, as Cancelled.
PictureColours readPictureColours(QFile &file, const std::atomic_bool *cancelled = nullptr);
// The other half, on the thread of the database connections: the chips.
PaletteImport importPictureColours(const PictureColours &read, const QString &path, const QUuid &collection);

// Reads the file; colours of other tools and pictures become the nearest chips of
// `collection`. With `everyColour`, `matches` holds every colour of another tool's file,
// not only those up to a full grid.
PaletteImport importFile(ImportFile &opened, const QUuid &collection, bool everyColour = false);
PaletteImport importPalette(const QString &path, const QUuid &collection, bool everyColour = false);

// A line for the user that says why the file gave nothing; empty when it gave a palette.
QString importProblemText(const PaletteImport &imported, const QString &path);

// My Palette emptied and given the import's cells and description.
void fillPalette(MyPaletteModel &palette, const PaletteImport &imported);

} // namespace Vantor
