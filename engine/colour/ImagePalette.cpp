#include "ImagePalette.h"

#include "PngRows.h"
#include "PictureProfiles.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/NavigationQueries.h"

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace Vantor {

namespace {

bool isCancelled(const std::atomic_bool *cancelled)
{
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

// The largest size of the picture's aspect within MaximumPalettePixels.
QSize paletteSizeFor(const QSize &size)
{
    const double pixels = double(size.width()) * double(size.height());
    if (pixels <= MaximumPalettePixels)
        return size;
    const double scale = std::sqrt(MaximumPalettePixels / pixels);
    // A side scaled below one pixel stays one, and the other side gives way for it: a
    // thin strip keeps to the count too.
    const int width = std::clamp(int(size.width() * scale), 1, MaximumPalettePixels);
    return QSize(width, std::clamp(int(size.height() * scale), 1, MaximumPalettePixels / width));
}

// Whether the bytes of a JPEG after its first scan reach the end-of-image marker: in the
// compressed data 0xFF is always followed by 0x00 or a restart marker, so 0xFF 0xD9 is
// the end. A file cut short lacks it, and its decoder would paint the rest grey.
bool jpegReachesItsEnd(const QByteArray &bytes)
{
    auto at = [&bytes](qsizetype i) { return quint8(bytes.at(i)); };
    if (bytes.size() < 2 || at(0) != 0xFF || at(1) != 0xD8)
        return true; // not ours to judge
    // Markers before the first scan carry lengths; an embedded thumbnail's end marker
    // lies inside them and is skipped with them. Headers that end before the first scan
    // are a file cut short; headers this does not follow are left to the decoder.
    qsizetype i = 2;
    for (;;) {
        if (i >= bytes.size() || at(i) != 0xFF)
            return i >= bytes.size() ? false : true;
        while (i < bytes.size() && at(i) == 0xFF)
            ++i;
        if (i + 2 >= bytes.size())
            return false;
        const int marker = at(i);
        const int length = (at(i + 1) << 8) | at(i + 2);
        if (length < 2)
            return true;
        i += 1 + length;
        if (i > bytes.size())
            return false;
        if (marker == 0xDA)
            break;
    }
    for (; i + 1 < bytes.size(); ++i) {
        if (at(i) == 0xFF && at(i + 1) == 0xD9)
            return true;
    }
    return false;
}

// Whether a PNG ends with its end chunk (allowing a little trailing padding).
bool pngReachesItsEnd(QIODevice *device)
{
    const qint64 start = device->pos();
    const qint64 size = device->size();
    if (size <= 0 || !device->seek(std::max<qint64>(0, size - 1024))) {
        device->seek(start);
        return true;
    }
    const bool reached = device->read(1024).contains("IEND");
    device->seek(start);
    return reached;
}

// The decoded picture as the colours are found on: in sRGB through its profile, scaled
// to MaximumPalettePixels, Format_RGBA64 (un-premultiplied) with transparency or 16 bits,
// else Format_ARGB32.
QImage smallSrgbCopy(QImage image, QByteArray profile, bool inSrgb)
{
    // Translucent pixels are scaled premultiplied (so that invisible colours do not bleed
    // in) at 16 bits, which keeps the colour of a pixel of low opacity; so are pictures
    // of 16 bits. Others stay at 8 bits.
    const bool translucent = image.hasAlphaChannel();
    const bool deep = image.depth() > 32;
    // A grey picture with a grey profile is carried to sRGB before it loses its greyness.
    const bool grey = image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16;
    if (grey && !inSrgb && !profile.isEmpty() && convertToSrgb(image, profile))
        inSrgb = true;
    image.convertTo(translucent ? QImage::Format_RGBA64_Premultiplied : deep ? QImage::Format_RGBX64 : QImage::Format_RGB32);
    if (paletteSizeFor(image.size()) != image.size())
        image = image.scaled(paletteSizeFor(image.size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The profile is applied to the small copy, with Little CMS where it can; Qt's own
    // conversion for what it reads and Little CMS does not take.
    if (!inSrgb && !profile.isEmpty() && convertToSrgb(image, profile))
        inSrgb = true;
    if (!inSrgb && image.colorSpace().isValid() && image.colorSpace() != QColorSpace(QColorSpace::SRgb))
        image.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
    return image.convertToFormat(translucent || deep ? QImage::Format_RGBA64 : QImage::Format_ARGB32);
}

PictureRead readWith(QImageReader &reader, QImage &picture, PictureReadNotes *notes, const std::atomic_bool *cancelled)
{
    PictureReadNotes unused;
    PictureReadNotes &noted = notes ? *notes : unused;
    noted = PictureReadNotes();
    // Orientation does not change a picture's colours: no need to turn it.
    reader.setAutoTransform(false);
    reader.setAllocationLimit(MaximumPictureAllocationMb);
    if (!reader.canRead())
        return PictureRead::NotAPicture;
    const QSize declared = reader.size();
    noted.declared = declared;
    if (declared.isValid() && qint64(declared.width()) * declared.height() > MaximumPicturePixels)
        return PictureRead::TooLarge;
    const QByteArray format = reader.format().toLower();
    const bool jpeg = format == "jpeg" || format == "jpg";
    QIODevice *device = reader.device();
    const bool seekable = device && !device->isSequential();
    // A JPEG is read once for what Qt does not look at: whether it is complete, its profile
    // and whether it is CMYK.
    QByteArray jpegBytes;
    if (jpeg && seekable) {
        const qint64 start = device->pos();
        device->seek(0);
        jpegBytes = device->readAll();
        device->seek(start);
    }
    // A picture cut short is refused before its decoder fills the rest with a made-up
    // colour.
    if (seekable && ((jpeg && !jpegReachesItsEnd(jpegBytes)) || (format == "png" && !pngReachesItsEnd(device))))
        return PictureRead::Incomplete;
    QImage image;
    // A PNG is averaged row by row into the small copy: never held whole, and a read
    // that is no longer wanted stops at its next row.
    if (format == "png" && seekable) {
        bool cutShort = false;
        image = readPngAveraged(device, paletteSizeFor(declared), cutShort, cancelled);
        if (isCancelled(cancelled))
            return PictureRead::Cancelled;
        if (cutShort)
            return PictureRead::Incomplete;
        if (image.isNull())
            return PictureRead::Unreadable;
    }
    // A JPEG's profile is taken from its header (Qt keeps no CMYK or grey profile); CMYK
    // is decoded here, as Qt would turn it into RGB without its profile.
    QByteArray profile;
    bool inSrgb = false;
    if (!jpegBytes.isEmpty()) {
        const JpegColours colours = jpegColoursOf(jpegBytes);
        profile = colours.icc;
        if (colours.cmyk) {
            const CmykDecode decoded = decodeCmykJpeg(jpegBytes, MaximumPalettePixels);
            if (decoded.incomplete)
                return PictureRead::Incomplete;
            if (decoded.picture.isNull())
                return PictureRead::Unreadable;
            image = decoded.picture;
            inSrgb = true;
            noted.approximate = decoded.approximate;
        }
    }
    // JPEG decodes at a fraction of its size, smoothly and many times faster. Other
    // decoders scale after a full decode and without regard to transparency (transparent
    // pixels' colours would bleed into the edges): the picture is scaled here instead.
    if (image.isNull() && declared.isValid() && declared != paletteSizeFor(declared) && jpeg) {
        reader.setScaledSize(paletteSizeFor(declared));
        reader.setQuality(100);
    }
    // A JPEG or PNG whose header reads but whose data does not is cut short or forged.
    if (image.isNull() && (!reader.read(&image) || image.isNull()))
        return jpeg || format == "png" ? PictureRead::Incomplete : PictureRead::Unreadable;
    if (format == "png" && seekable && !inSrgb)
        profile = pngProfileOf(device);
    if (profile.isEmpty() && !inSrgb && image.colorSpace().isValid())
        profile = image.colorSpace().iccProfile();
    picture = smallSrgbCopy(image, profile, inSrgb);
    return PictureRead::Read;
}

struct WeightedColour
{
    float l, a, b;
    double weight;
};

float distanceSquared(const WeightedColour &point, const float *centre)
{
    const float dl = point.l - centre[0];
    const float da = point.a - centre[1];
    const float db = point.b - centre[2];
    return dl * dl + da * da + db * db;
}

// Sorts keys of `bits` significant bits, eleven bits a pass from the lowest: a picture's
// pixels are many and their keys short, where counting beats comparing.
void radixSort(std::vector<quint64> &keys, int bits)
{
    if (keys.size() < 4096) { // too few to pay for the counts
        std::sort(keys.begin(), keys.end());
        return;
    }
    std::vector<quint64> other(keys.size());
    constexpr int DigitBits = 11;
    constexpr quint64 DigitMask = (quint64(1) << DigitBits) - 1;
    std::vector<size_t> starts(size_t(1) << DigitBits);
    for (int shift = 0; shift < bits; shift += DigitBits) {
        std::fill(starts.begin(), starts.end(), 0);
        for (const quint64 key : keys)
            ++starts[size_t((key >> shift) & DigitMask)];
        size_t start = 0;
        for (size_t &count : starts)
            start += std::exchange(count, start);
        for (const quint64 key : keys)
            other[starts[size_t((key >> shift) & DigitMask)]++] = key;
        keys.swap(other);
    }
}

// The distinct visible colours of the picture and their weights (the opacity of every
// pixel of that colour, added up), in the order of their RGB values. Colours are taken
// un-premultiplied, at 16 bits from a picture of 16 bits (Format_RGBA64), else at 8.
std::vector<WeightedColour> visibleColours(const QImage &picture)
{
    const bool deep = picture.format() == QImage::Format_RGBA64;
    const QImage image = deep ? picture : picture.convertToFormat(QImage::Format_ARGB32);
    // Each pixel as its colour above its opacity, so that sorting groups equal colours.
    std::vector<quint64> pixels;
    pixels.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        if (deep) {
            const QRgba64 *line = reinterpret_cast<const QRgba64 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (const quint16 alpha = line[x].alpha())
                    pixels.push_back(quint64(line[x].red()) << 48 | quint64(line[x].green()) << 32
                                     | quint64(line[x].blue()) << 16 | alpha);
            }
        } else {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (const int alpha = qAlpha(line[x]))
                    pixels.push_back(quint64(line[x] & 0xFFFFFFu) << 8 | quint64(alpha));
            }
        }
    }
    const int alphaBits = deep ? 16 : 8;
    radixSort(pixels, deep ? 64 : 32); // three channels and opacity, 16 or 8 bits each
    const quint64 alphaMask = (quint64(1) << alphaBits) - 1;
    std::vector<WeightedColour> colours;
    for (size_t i = 0; i < pixels.size();) {
        const quint64 rgb = pixels[i] >> alphaBits;
        double weight = 0.0;
        for (; i < pixels.size() && pixels[i] >> alphaBits == rgb; ++i)
            weight += double(pixels[i] & alphaMask) / double(alphaMask);
        const QColor colour = deep ? QColor::fromRgba64(quint16(rgb >> 32), quint16(rgb >> 16), quint16(rgb))
                                   : QColor::fromRgb(QRgb(rgb));
        const LabColour lab = labFromColour(colour);
        colours.push_back({float(lab.l), float(lab.a), float(lab.b), weight});
    }
    return colours;
}

// Numbers in [0, 1) from a generator whose sequence the C++ standard fixes, so that the
// seeding is the same with every library.
class SeededNumbers
{
public:
    double next() { return double(m_generator()) / 4294967296.0; }

private:
    std::mt19937 m_generator{20261208u};
};

// The first centres, k-means++: each next one drawn with a chance that grows with the
// weight of a colour and the square of its distance to the nearest centre so far.
std::vector<float> seededCentres(const std::vector<WeightedColour> &colours, int count)
{
    SeededNumbers numbers;
    std::vector<float> centres;
    std::vector<double> nearest(colours.size(), 0.0);
    auto pick = [&](const std::vector<double> &chances) {
        double total = 0.0;
        for (size_t i = 0; i < colours.size(); ++i)
            total += chances[i];
        if (!(total > 0.0))
            return false;
        const double target = numbers.next() * total;
        // Rounding may leave the target beyond the last sum: the last colour with a
        // chance is chosen then.
        size_t chosen = 0;
        double sum = 0.0;
        for (size_t i = 0; i < colours.size(); ++i) {
            if (!(chances[i] > 0.0))
                continue;
            chosen = i;
            sum += chances[i];
            if (sum > target)
                break;
        }
        const WeightedColour &colour = colours[chosen];
        centres.insert(centres.end(), {colour.l, colour.a, colour.b});
        const float *centre = &centres[centres.size() - 3];
        for (size_t i = 0; i < colours.size(); ++i) {
            const double distance = distanceSquared(colours[i], centre);
            nearest[i] = centres.size() == 3 ? distance : std::min(nearest[i], distance);
        }
        return true;
    };
    std::vector<double> chances(colours.size());
    for (size_t i = 0; i < colours.size(); ++i)
        chances[i] = colours[i].weight;
    if (!pick(chances))
        return centres;
    while (int(centres.size() / 3) < count) {
        for (size_t i = 0; i < colours.size(); ++i)
            chances[i] = colours[i].weight * nearest[i];
        if (!pick(chances))
            break;
    }
    return centres;
}

// Each centre moved to the mean of its cluster (a cluster left with no colour keeps
// its centre), and every colour's bounds by how far the centres moved: its own centre's
// distance to it can have grown by at most its move, another's shrunk by at most the
// farthest move of the others.
void moveCentres(const std::vector<double> &sums, const std::vector<int> &cluster, std::vector<float> &centres,
                 std::vector<float> &upper, std::vector<float> &lower)
{
    const size_t count = centres.size() / 3;
    std::vector<float> moved(count);
    size_t farthest = 0;
    for (size_t c = 0; c < count; ++c) {
        moved[c] = 0.0f;
        if (sums[c * 4 + 3] > 0.0) {
            float next[3];
            for (int k = 0; k < 3; ++k)
                next[k] = float(sums[c * 4 + k] / sums[c * 4 + 3]);
            const WeightedColour from{centres[c * 3], centres[c * 3 + 1], centres[c * 3 + 2], 0.0};
            moved[c] = std::sqrt(distanceSquared(from, next));
            std::copy(next, next + 3, &centres[c * 3]);
        }
        if (moved[c] > moved[farthest])
            farthest = c;
    }
    float secondFarthest = 0.0f;
    for (size_t c = 0; c < count; ++c) {
        if (c != farthest)
            secondFarthest = std::max(secondFarthest, moved[c]);
    }
    for (size_t i = 0; i < cluster.size(); ++i) {
        const size_t own = size_t(cluster[i]);
        upper[i] += moved[own];
        lower[i] -= own == farthest ? secondFarthest : moved[farthest];
    }
}

// Lloyd's k-means from the seeded `centres` (moved in place) until no colour changes its
// cluster, with a bound for the rare cycle; gives each cluster's weighted sums of L, a
// and b and its weight, four numbers a centre, or nothing when cancelled. Hamerly's
// bounds spare the distances that cannot change a colour's cluster: each colour keeps
// an upper bound of its distance to its own centre and a lower bound of its distance to
// every other, both moved by how far the centres moved; only a colour whose bounds
// cross is measured again. The clusters are Lloyd's, found in a fraction of the time.
std::vector<double> clusterSums(const std::vector<WeightedColour> &colours, std::vector<float> &centres,
                                const std::atomic_bool *cancelled)
{
    const size_t count = centres.size() / 3;
    const size_t n = colours.size();
    // Rounding in the bounds is left a margin: a colour near a tie is measured again.
    constexpr float Margin = 1.0f + 1e-4f;
    std::vector<int> cluster(n, -1);
    std::vector<float> upper(n, 0.0f);
    std::vector<float> lower(n, 0.0f);
    std::vector<float> halfGap(count);
    std::vector<double> sums(count * 4);
    for (int round = 0; round < 100; ++round) {
        if (isCancelled(cancelled))
            return {};
        // Half the distance from each centre to its nearest other: a colour nearer than
        // that to its own centre stays.
        for (size_t c = 0; c < count; ++c) {
            float nearest = std::numeric_limits<float>::max();
            for (size_t other = 0; other < count; ++other) {
                if (other != c) {
                    const WeightedColour centre{centres[other * 3], centres[other * 3 + 1], centres[other * 3 + 2], 0.0};
                    nearest = std::min(nearest, distanceSquared(centre, &centres[c * 3]));
                }
            }
            halfGap[c] = count > 1 ? 0.5f * std::sqrt(nearest) : std::numeric_limits<float>::max();
        }
        bool changed = false;
        for (size_t i = 0; i < n; ++i) {
            if (cluster[i] >= 0) {
                const float bound = std::max(halfGap[size_t(cluster[i])], lower[i]);
                if (upper[i] * Margin < bound)
                    continue;
                upper[i] = std::sqrt(distanceSquared(colours[i], &centres[size_t(cluster[i]) * 3]));
                if (upper[i] * Margin < bound)
                    continue;
            }
            // Every centre, in order: the nearest (the first of equals) and the next.
            int best = 0;
            float bestDistance = distanceSquared(colours[i], &centres[0]);
            float secondDistance = std::numeric_limits<float>::max();
            for (size_t c = 1; c < count; ++c) {
                const float distance = distanceSquared(colours[i], &centres[c * 3]);
                if (distance < bestDistance) {
                    secondDistance = bestDistance;
                    bestDistance = distance;
                    best = int(c);
                } else if (distance < secondDistance) {
                    secondDistance = distance;
                }
            }
            changed = changed || cluster[i] != best;
            cluster[i] = best;
            upper[i] = std::sqrt(bestDistance);
            lower[i] = std::sqrt(secondDistance);
        }
        std::fill(sums.begin(), sums.end(), 0.0);
        for (size_t i = 0; i < n; ++i) {
            double *sum = &sums[size_t(cluster[i]) * 4];
            const double weight = colours[i].weight;
            sum[0] += weight * colours[i].l;
            sum[1] += weight * colours[i].a;
            sum[2] += weight * colours[i].b;
            sum[3] += weight;
        }
        if (!changed)
            break;
        moveCentres(sums, cluster, centres, upper, lower);
    }
    return sums;
}

} // namespace

PictureRead readPalettePicture(QIODevice *device, QImage &picture, PictureReadNotes *notes,
                               const std::atomic_bool *cancelled)
{
    QImageReader reader(device);
    return readWith(reader, picture, notes, cancelled);
}

PictureRead readPalettePicture(const QString &path, QImage &picture, PictureReadNotes *notes,
                               const std::atomic_bool *cancelled)
{
    const QFileInfo info(path);
    if (!info.exists())
        return PictureRead::Missing;
    if (!info.isFile())
        return PictureRead::Unreadable;
    if (info.size() > MaximumPictureFileSize)
        return PictureRead::TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PictureRead::Unreadable;
    return readPalettePicture(&file, picture, notes, cancelled);
}

bool hasPictureSuffix(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix.toLatin1());
}

QStringList pictureNamePatterns()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format).toLower();
    patterns.removeDuplicates();
    patterns.sort();
    return patterns;
}

QVector<DominantColour> dominantColours(const QImage &picture, int maximum, const std::atomic_bool *cancelled)
{
    clearUpperVectorHalves();
    const std::vector<WeightedColour> colours = visibleColours(picture);
    double total = 0.0;
    for (const WeightedColour &colour : colours)
        total += colour.weight;
    if (colours.empty() || maximum <= 0 || !(total > 0.0) || isCancelled(cancelled))
        return {};

    std::vector<float> centres = seededCentres(colours, std::min<int>(maximum, int(colours.size())));
    const size_t count = centres.size() / 3;
    const std::vector<double> sums = clusterSums(colours, centres, cancelled);
    if (sums.empty())
        return {};

    QVector<DominantColour> dominant;
    for (size_t c = 0; c < count; ++c) {
        const double *sum = &sums[c * 4];
        if (sum[3] > 0.0)
            dominant.append({LabColour{sum[0] / sum[3], sum[1] / sum[3], sum[2] / sum[3]}, sum[3] / total});
    }
    std::stable_sort(dominant.begin(), dominant.end(),
                     [](const DominantColour &first, const DominantColour &second) { return first.share > second.share; });
    return dominant;
}

QVector<PictureChip> nearestChipsOf(const QVector<DominantColour> &colours, const QUuid &collection)
{
    // Kept const: a list that detaches is a new list to nearestColours, laid out again.
    const QVector<DB::LabCandidate> candidates = [&collection] {
        QVector<DB::LabCandidate> loaded;
        DB::loadLabColors(collection, loaded);
        return loaded;
    }();
    struct Merged
    {
        qint64 rowId;
        LabColour chipLab;
        double share;
        double l, a, b; // share-weighted sums of the colours' means
    };
    QVector<Merged> merged;
    for (const DominantColour &colour : colours) {
        const QVector<ColourMatch> nearest = nearestColours(colour.lab, candidates, 1);
        if (nearest.isEmpty())
            continue;
        const qint64 rowId = nearest.first().second;
        auto same = std::find_if(merged.begin(), merged.end(), [rowId](const Merged &m) { return m.rowId == rowId; });
        if (same == merged.end()) {
            LabColour chipLab;
            for (const DB::LabCandidate &candidate : candidates) {
                if (candidate.rowId == rowId) {
                    chipLab = LabColour{candidate.l, candidate.a, candidate.b};
                    break;
                }
            }
            merged.append({rowId, chipLab, 0.0, 0.0, 0.0, 0.0});
            same = merged.end() - 1;
        }
        same->share += colour.share;
        same->l += colour.share * colour.lab.l;
        same->a += colour.share * colour.lab.a;
        same->b += colour.share * colour.lab.b;
    }
    // Chips of a small part of the picture go into the nearest chip of a larger part, so
    // that the shares listed are the whole picture's.
    std::stable_sort(merged.begin(), merged.end(), [](const Merged &first, const Merged &second) { return first.share > second.share; });
    QVector<Merged> kept;
    for (const Merged &m : std::as_const(merged)) {
        if (m.share >= MinimumDominantShare || kept.isEmpty()) {
            kept << m;
            continue;
        }
        const LabColour mean{m.l / m.share, m.a / m.share, m.b / m.share};
        Merged *nearest = nullptr;
        double best = 0.0;
        for (Merged &k : kept) {
            const double difference = deltaE2000(mean, LabColour{k.l / k.share, k.a / k.share, k.b / k.share});
            if (!nearest || difference < best) {
                nearest = &k;
                best = difference;
            }
        }
        nearest->share += m.share;
        nearest->l += m.l;
        nearest->a += m.a;
        nearest->b += m.b;
    }
    QVector<PictureChip> chips;
    for (const Merged &m : std::as_const(kept)) {
        PictureChip chip;
        if (DB::loadColorById(collection, m.rowId, chip.chip) != DB::StatusOk)
            continue;
        chip.share = m.share;
        chip.mean = LabColour{m.l / m.share, m.a / m.share, m.b / m.share};
        chip.difference = deltaE2000(chip.mean, m.chipLab);
        chips << chip;
    }
    std::stable_sort(chips.begin(), chips.end(),
                     [](const PictureChip &first, const PictureChip &second) { return first.share > second.share; });
    if (chips.size() > MaximumDominantColours)
        chips.resize(MaximumDominantColours);
    return chips;
}

} // namespace Vantor
