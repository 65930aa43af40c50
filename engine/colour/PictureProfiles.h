#pragma once

// A picture's colours as its embedded ICC profile means them, carried to sRGB with
// Little CMS (relative colorimetric): RGB and grey profiles of any picture, and CMYK
// JPEGs, which Qt would turn into RGB without their profile.

#include <QByteArray>
#include <QImage>

class QIODevice;

namespace Vantor {

// What a JPEG's header says of its colours.
struct JpegColours
{
    bool read = false; // the header could be read
    bool cmyk = false; // CMYK or YCCK
    QByteArray icc; // the embedded profile, empty for none
};
JpegColours jpegColoursOf(const QByteArray &bytes);

struct CmykDecode
{
    QImage picture; // Format_RGB32 in sRGB; null when the data does not decode
    bool approximate = false; // no usable profile: the inks turned into RGB naively
    bool incomplete = false; // the data ends before the picture does
};
// Decodes a CMYK JPEG, scaled by the decoder down to no fewer than `atLeastPixels`
// pixels where it can; Adobe's inverted CMYK is read as such.
CmykDecode decodeCmykJpeg(const QByteArray &bytes, qint64 atLeastPixels);

// The profile a PNG embeds (its iCCP chunk, before the image data), empty for none. Qt
// keeps only profiles of curves and a matrix; one made of tables, as scanners' are, is
// read here.
QByteArray pngProfileOf(QIODevice *device);

// Carries the picture to sRGB through the profile: RGB profiles on RGB pictures of 8 or
// 16 bits, grey profiles on grey ones (which become RGB). False, the picture untouched,
// where the profile cannot be read or does not fit the picture.
bool convertToSrgb(QImage &picture, const QByteArray &icc);

} // namespace Vantor
