#pragma once

// My Palette and the palette files of other design tools: GIMP (.gpl), Adobe Swatch
// Exchange (.ase), CxF3 (.cxf) and CSS (.css, written only). Exported chips carry their
// colour; imported colours become the nearest chips of a collection by CIEDE2000.

#include "ExchangeColours.h"
#include "engine/db/ColorEntry.h"
#include "engine/db/SharedTypes.h"

#include <QByteArray>
#include <QUuid>

namespace Vantor {

class MyPaletteModel;

enum class ExchangeFormat { None, Gpl, Ase, Cxf, Css };

// By the file name's suffix, in any letter case.
ExchangeFormat exchangeFormatOf(const QString &path);
// The palette file format that stands for an exchange format, and back (PaletteFileXml
// and PaletteFileText stand for none).
PaletteFileFormat paletteFileFormatOf(ExchangeFormat format);
ExchangeFormat exchangeFormatOf(PaletteFileFormat format);

// The occupied cells whose colour can be read, in grid order.
QVector<ExchangeChip> exchangeChips(const MyPaletteModel &palette);

// The file for the palette; its name is the description, or `fallbackName` when that
// is empty. Empty for ExchangeFormat::None.
QByteArray exchangeBytes(const MyPaletteModel &palette, ExchangeFormat format, const QString &fallbackName);

// What reading another tool's palette file came to.
enum class ExchangeRead { Read, Missing, Unreadable, TooLarge, NotAPalette };

// The format the bytes are in, by their content: "GIMP Palette", "ASEF" or a CxF3
// document; None for anything else.
ExchangeFormat exchangeFormatOfContent(const QByteArray &bytes);
// The same for the start of a file.
ExchangeFormat exchangeFormatOfFile(const QString &path);

// Reads a GIMP, swatch exchange or CxF3 file: by its suffix, or by its content when the
// suffix is missing or wrong. At most `maximumColours` colours are read (all when
// negative). Nothing is read from a file larger than such files are.
ExchangeRead readExchangeFile(const QString &path, ImportedPalette &palette, int maximumColours = -1);
bool readExchangeBytes(const QByteArray &bytes, ExchangeFormat format, ImportedPalette &palette, int maximumColours = -1);
// A line for the user that says why a file gave nothing.
QString exchangeReadProblem(ExchangeRead result, const QString &path);

// An imported colour and the chip of the collection nearest to it.
struct ExchangeMatch
{
    ImportedColour colour;
    bool found = false;
    DB::ColorEntry chip;
    double difference = 0.0; // CIEDE2000
};

// The colours of the palette in file order, matched to the nearest chip of the
// collection, until `maximumFound` of them have found one (all when negative). CIELab is
// preferred to sRGB where the file gives both (sRGB where the file does not say under
// which white point its CIELab is). A colour with only a name is looked up by code or
// name in the collection, then as a Capsure measurement is; one that is not found stays
// unmatched. Each distinct colour and name is looked up once.
QVector<ExchangeMatch> matchImportedColours(const ImportedPalette &palette, const QUuid &collection,
                                            int maximumFound = -1);

// What an import came to: the chips in cell order, the description, or why there are none.
struct ExchangeImport
{
    ExchangeRead read = ExchangeRead::NotAPalette;
    QString description;
    QVector<DB::ColorEntry> chips; // at most the palette's 24 cells
};

// Reads the file and matches its colours until the palette would be full.
ExchangeImport importExchangeColours(const QString &path, const QUuid &collection);

// My Palette emptied and filled with the chips of the collection, row by row (at most its
// 24 cells), and the description.
void fillPalette(MyPaletteModel &palette, const QVector<DB::ColorEntry> &chips, const QString &description,
                 const QUuid &collection);

// Fills My Palette from the file: the matched chips in cell order, row by row, at most
// 24, and the file's description. A file that cannot be read or matches no chip
// changes nothing. Returns whether the palette was filled.
bool importExchangeFile(MyPaletteModel &palette, const QString &path, const QUuid &collection);

} // namespace Vantor
