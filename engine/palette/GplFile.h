#pragma once

// GIMP palettes (.gpl): a text file that starts "GIMP Palette", with a Name and a
// Columns line, comments starting with "#", and a line "R G B name" per colour.

#include "ExchangeColours.h"

#include <QByteArray>

namespace Vantor {

// "GIMP Palette", "Name: <name>", "Columns: 6", "#", then per chip the components right
// aligned in three places, a tab and the chip's label.
QByteArray gplBytes(const QString &name, const QVector<ExchangeChip> &chips);

// False when the text is no GIMP palette. Read as GIMP reads it: components with a sign or
// leading zeros are numbers, values outside 0 to 255 are clamped; lines that are not a
// colour (a component missing or no number) are passed over. Reading stops after
// `maximumColours` colours (all of them when negative).
bool readGpl(const QByteArray &bytes, ImportedPalette &palette, int maximumColours = -1);

} // namespace Vantor
