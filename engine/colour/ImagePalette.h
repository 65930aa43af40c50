#pragma once

// A palette from a picture: the picture's dominant colours, found by k-means in CIELab
// on a small copy of it, and the chips of a collection nearest to them, by their share of
// the picture.

#include "ColourDifference.h"
#include "engine/db/ColorEntry.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVector>

#include <atomic>

class QIODevice;

namespace Vantor {

// The colours are found on a copy of at most this many pixels, scaled smoothly (under a
// fuzzer, fewer: the same code over smaller pictures, many more inputs a second).
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr int MaximumPalettePixels = 4096;
#else
inline constexpr int MaximumPalettePixels = 65536;
#endif
// At most this many colours, as many as My Palette has cells.
inline constexpr int MaximumDominantColours = 24;
// Chips standing for less than this part of the picture are folded into the nearest
// chip of a larger part.
inline constexpr double MinimumDominantShare = 0.01;
// Pictures are read only up to these sizes: the file, and the picture as its header
// declares it (a medium-format photo fits; a forged header does not start a decode of
// gigabytes).
inline constexpr qint64 MaximumPictureFileSize = 256 * 1024 * 1024;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// A fuzzer's forged headers and frames are kept small, so that its time goes to our code
// rather than to decoders filling giant pictures of a few bytes.
inline constexpr qint64 MaximumPicturePixels = 1000 * 1000;
inline constexpr int MaximumPictureAllocationMb = 8;
#else
inline constexpr qint64 MaximumPicturePixels = 120 * 1000 * 1000;
// What Qt's decoders may allocate (its own limit of 128 MB would refuse pictures well
// within the pixels read here): the largest picture at 16 bits a channel, and room.
inline constexpr int MaximumPictureAllocationMb = int(MaximumPicturePixels * 8 / (1024 * 1024)) + 64;
#endif

// What reading a picture came to.
enum class PictureRead { Read, Missing, Unreadable, Incomplete, TooLarge, NotAPicture, NoColour, Cancelled };

// What else a read found out.
struct PictureReadNotes
{
    bool approximate = false; // a CMYK JPEG without a profile, converted naively
    QSize declared; // the size the file declares, where it does
};

// The picture in the file (the first frame of an animation), converted to sRGB and
// scaled smoothly to at most MaximumPalettePixels: Format_RGBA64 (un-premultiplied) for
// pictures with transparency or of 16 bits, else Format_ARGB32. A JPEG or PNG cut short
// is Incomplete.
// Embedded ICC profiles (RGB, grey, and CMYK in JPEGs) are applied with Little CMS,
// relative colorimetric; a CMYK JPEG without one is converted naively, which `notes`
// (when given) says, with the size the file declares. A read whose `cancelled` (may be
// null) is set meanwhile stops at its next row where it can, and is Cancelled.
PictureRead readPalettePicture(const QString &path, QImage &picture, PictureReadNotes *notes = nullptr,
                               const std::atomic_bool *cancelled = nullptr);
PictureRead readPalettePicture(QIODevice *device, QImage &picture, PictureReadNotes *notes = nullptr,
                               const std::atomic_bool *cancelled = nullptr);
// Whether the file's suffix is one of a picture Qt reads here, in any letter case.
bool hasPictureSuffix(const QString &path);
// The suffixes of the pictures Qt reads here, as a file dialog filter's patterns.
QStringList pictureNamePatterns();

struct DominantColour
{
    LabColour lab; // the mean of the cluster, D65
    double share = 0.0; // of the picture's visible pixels
};

// The picture's dominant colours, largest share first: k-means with k-means++ seeding
// from a fixed seed, so that the same picture always gives the same colours. Fully
// transparent pixels do not count, partly transparent ones count by their opacity.
// Empty for a picture with no visible pixel, and when `cancelled` (may be null) is set
// meanwhile: the search stops at its next round.
QVector<DominantColour> dominantColours(const QImage &picture, int maximum = MaximumDominantColours,
                                        const std::atomic_bool *cancelled = nullptr);

struct PictureChip
{
    DB::ColorEntry chip;
    double share = 0.0;
    LabColour mean; // of the picture's pixels this chip stands for
    double difference = 0.0; // CIEDE2000 from that mean to the chip
};

// The collection's nearest chip for each colour; colours that lead to the same chip
// become one, with their shares added; then a chip under MinimumDominantShare goes into
// the kept chip nearest to it, so the shares add up to the whole. Largest share first.
QVector<PictureChip> nearestChipsOf(const QVector<DominantColour> &colours, const QUuid &collection);

} // namespace Vantor
