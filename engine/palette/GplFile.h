#pragma once

// GIMP palettes (.gpl): a text file that starts "GIMP Palette", with a Name and a
// Columns line, comments starting with "#", and a line "R G B name" per colour.

#include "ExchangeColours.h"

#include <QByteArray>

namespace Vantor {

// "GIMP Palette", "Name: <name>", "Columns: 6", "#", then per chip the components right
// aligned in three places, a tab and the chip's label.
QByteArray gplBytes(const QString &name, const QVector<ExchangeChip> &chips);

// False when the text is no GIMP palette. Lines that are not a colour (components
// outside 0 to 255, missing ones) are passed over.
bool readGpl(const QByteArray &bytes, ImportedPalette &palette);

} // namespace Vantor
