#pragma once

#include "engine/db/SharedTypes.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace Vantor {

class MyPaletteModel;

// A colour of a file that placed no chip, in words (its code or name, else its value),
// and why.
struct LeftOutColour
{
    QString what;
    QString why;
};

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
// is not a palette. The chips of the file that found no colour (a collection that is not
// installed, a code that is not there) go into `unresolved` when it is given.
PaletteLoad loadPaletteBytes(MyPaletteModel &palette, const QByteArray &bytes,
                             QVector<LeftOutColour> *unresolved = nullptr);

} // namespace Vantor
