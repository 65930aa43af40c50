#pragma once

// Large PNGs read row by row with libpng and averaged straight into the small copy the
// colours are found on: Qt would decode the whole picture first, several hundred MiB
// for one of the largest that are read.

#include <QImage>
#include <QSize>

class QIODevice;

namespace Vantor {

// PNGs that decode into more than this are read in rows.
inline constexpr qint64 LargePngDecodedBytes = 128 * 1024 * 1024;

// Whether the PNG on the device (its header read, the device left where it was) decodes
// into more than LargePngDecodedBytes.
bool isLargePng(QIODevice *device);

// The PNG averaged into `target` pixels (each the mean of the pixels it covers, weighted
// by their opacity), as Format_RGBA64_Premultiplied, with the colour space its gAMA
// chunk gives where it has one and no sRGB chunk. Null when it does not decode;
// `incomplete` when its data ends early.
QImage readLargePng(QIODevice *device, const QSize &target, bool &incomplete);

} // namespace Vantor
