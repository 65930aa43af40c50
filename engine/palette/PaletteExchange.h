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

// Reads a file of one of the readable formats (by its suffix). False when it cannot be
// read, is larger than such files are, or is not of its format.
bool readExchangeFile(const QString &path, ImportedPalette &palette);
bool readExchangeBytes(const QByteArray &bytes, ExchangeFormat format, ImportedPalette &palette);

// An imported colour and the chip of the collection nearest to it.
struct ExchangeMatch
{
    ImportedColour colour;
    bool found = false;
    DB::ColorEntry chip;
    double difference = 0.0; // CIEDE2000
};

// Every colour of the palette in file order, matched to the nearest chip of the
// collection. A colour with only a name is first looked up by code or name as a Capsure
// measurement is; one that is not found stays unmatched.
QVector<ExchangeMatch> matchImportedColours(const ImportedPalette &palette, const QUuid &collection);

// Fills My Palette from the file: the matched chips in cell order, row by row, at most
// 24, and the file's description. A file that cannot be read or matches no chip
// changes nothing. Returns whether the palette was filled.
bool importExchangeFile(MyPaletteModel &palette, const QString &path, const QUuid &collection);

} // namespace Vantor
