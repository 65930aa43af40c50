#pragma once

#include "engine/db/SharedTypes.h"

#include <QByteArray>
#include <QString>

namespace Vantor {

class MyPaletteModel;

// Palette files: the XML palette (version 3.0 written, 2.0 and 3.0 read) and the text
// list of colour codes (written only).

// The whole file, byte order mark included; empty for a text list without any chip.
QByteArray paletteFileBytes(const MyPaletteModel &palette, PaletteFileFormat format);

// Writes the bytes to the file: the old file is replaced only once the new one is
// complete. Returns whether it was written; where not, `problem` (when given) says why.
bool writeFileAtomically(const QByteArray &bytes, const QString &path, QString *problem = nullptr);

// Writes the file. The old file is replaced only once the new one is complete, so a
// failed save never destroys it. A text list without chips writes no file. Returns
// whether a file was written; where not, `problem` (when given) says why.
bool savePaletteFile(const MyPaletteModel &palette, PaletteFileFormat format, const QString &path,
                     QString *problem = nullptr);

// The largest palette file read; a palette is a few kilobytes.
inline constexpr qint64 MaximumPaletteFileSize = 4 * 1024 * 1024;

enum class PaletteLoad {
    NotAPalette, // no palette of a known version: the palette is unchanged
    Loaded, // the palette was cleared and filled from the file
};

// Reads an XML palette file's bytes into the palette. Files come from other people: they
// are parsed without network access, DTDs or entity expansion, and a document with a DTD
// is not a palette.
PaletteLoad loadPaletteBytes(MyPaletteModel &palette, const QByteArray &bytes);

} // namespace Vantor
