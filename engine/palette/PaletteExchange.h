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

// The format the bytes are in, by their content: "GIMP Palette", "ASEF" or a CxF3
// document; None for anything else.
ExchangeFormat exchangeFormatOfContent(const QByteArray &bytes);

// Reads a GIMP, swatch exchange or CxF3 palette from its bytes: at most `maximumColours`
// colours (all when negative). False when the bytes are no such palette.
bool readExchangeBytes(const QByteArray &bytes, ExchangeFormat format, ImportedPalette &palette, int maximumColours = -1);

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

} // namespace Vantor
