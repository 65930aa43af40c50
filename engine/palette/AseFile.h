#pragma once

// Adobe Swatch Exchange (.ase): "ASEF", version 1.0, a block count, then blocks of a
// type, a length and their content, all big-endian. Colour entries carry a UTF-16 name,
// a colour model ("RGB ", "CMYK", "Gray", "LAB ") with its 32-bit float values and a
// colour type; groups start with a named block and end with an empty one.

#include "ExchangeColours.h"

#include <QByteArray>

namespace Vantor {

// One group named after the palette, one global RGB colour entry per chip.
QByteArray aseBytes(const QString &groupName, const QVector<ExchangeChip> &chips);

// False when the file is no swatch exchange file, or a count or length in it points
// past its end (nothing is read beyond it). CMYK is converted naively, "Gray" is a
// grey, "LAB " holds L from 0 to 1 and a, b as they are. The description is the first
// group's name.
bool readAse(const QByteArray &bytes, ImportedPalette &palette);

} // namespace Vantor
