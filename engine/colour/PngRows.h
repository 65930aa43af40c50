#pragma once

// PNGs read row by row with libpng and averaged straight into the small copy the colours
// are found on: never held whole (Qt would decode a picture of a hundred megapixels into
// several hundred MiB first), and a read that nobody waits for any more stops at its
// next row.

#include <QImage>
#include <QSize>

#include <atomic>

class QIODevice;

namespace Vantor {

// The PNG averaged into `target` pixels (each the mean of the pixels it covers, weighted
// by their opacity), as Format_RGBA64_Premultiplied, with the colour space its gAMA
// chunk gives where it has one and no sRGB chunk. Null when it does not decode, or when
// `cancelled` (may be null) was set meanwhile; `incomplete` when its data ends early.
QImage readPngAveraged(QIODevice *device, const QSize &target, bool &incomplete,
                       const std::atomic_bool *cancelled = nullptr);

} // namespace Vantor
