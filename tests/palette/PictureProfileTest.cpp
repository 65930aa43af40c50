// Pictures whose profiles Qt does not carry: CMYK JPEGs as designers get them from print,
// read through their embedded profile (one made here with Little CMS that a naive
// conversion would get wrong), Adobe's inverted values read right, one without a profile
// marked approximate; a PNG with a profile Qt does not read; and PNGs read row by row,
// interlaced or not.
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/db/CollectionLookups.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"
#include "engine/colour/ColourDifference.h"
#include "engine/colour/PngRows.h"
#include "engine/palette/PaletteImport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <lcms2.h>

using namespace Vantor;

namespace {

// A profile of device values to CIELab made of one table, as printers' and scanners'
// profiles are: `deviceToSrgb` says which sRGB colour each device value is.
using DeviceToSrgb = void (*)(const double *device, double *rgb);
QByteArray tableProfile(cmsColorSpaceSignature space, cmsUInt32Number channels, cmsProfileClassSignature deviceClass,
                        DeviceToSrgb deviceToSrgb)
{
    struct Cargo
    {
        cmsHTRANSFORM toLab;
        DeviceToSrgb deviceToSrgb;
        cmsUInt32Number channels;
    };
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    Cargo cargo{cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0), deviceToSrgb,
                channels};
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 2.1); // a table alone is a lut16 tag, which version 2 has
    cmsSetDeviceClass(profile, deviceClass);
    cmsSetColorSpace(profile, space);
    cmsSetPCS(profile, cmsSigLabData);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsPipeline *pipeline = cmsPipelineAlloc(nullptr, channels, 3);
    cmsStage *table = cmsStageAllocCLut16bit(nullptr, 17, channels, 3, nullptr);
    cmsStageSampleCLut16bit(
        table,
        [](const cmsUInt16Number in[], cmsUInt16Number out[], void *data) -> cmsInt32Number {
            const Cargo &cargo = *static_cast<const Cargo *>(data);
            double device[4] = {};
            for (cmsUInt32Number i = 0; i < cargo.channels; ++i)
                device[i] = in[i] / 65535.0;
            double rgb[3];
            cargo.deviceToSrgb(device, rgb);
            cmsCIELab lab;
            cmsDoTransform(cargo.toLab, rgb, &lab, 1);
            cmsFloat2LabEncoded(out, &lab);
            return TRUE;
        },
        &cargo, 0);
    cmsPipelineInsertStage(pipeline, cmsAT_BEGIN, table);
    cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsPipelineFree(pipeline);
    cmsCloseProfile(profile);
    cmsDeleteTransform(cargo.toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
    return bytes;
}

// A printer's profile that puts cyan where sRGB has blue, magenta where it has red and
// yellow where it has green (K darkens all): the naive CMYK-to-RGB turns each colour
// into another.
QByteArray rotatedCmykProfile()
{
    return tableProfile(cmsSigCmykData, 4, cmsSigOutputClass, [](const double *cmyk, double *rgb) {
        rgb[0] = (1 - cmyk[1]) * (1 - cmyk[3]);
        rgb[1] = (1 - cmyk[2]) * (1 - cmyk[3]);
        rgb[2] = (1 - cmyk[0]) * (1 - cmyk[3]);
    });
}

// Bands of CMYK inks (0 to 255 of ink), written as Adobe's applications write CMYK
// (inverted, with their marker) or plainly, with the profile or none.
void writeCmykJpeg(const QString &path, const std::vector<std::array<int, 4>> &bands, bool adobe, const QByteArray &icc)
{
    const int width = 300, height = 100;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, JCS_CMYK);
    jpeg_set_quality(&info, 98, TRUE);
    info.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    if (!icc.isEmpty())
        jpeg_write_icc_profile(&info, reinterpret_cast<const JOCTET *>(icc.constData()), unsigned(icc.size()));
    std::vector<JSAMPLE> row(size_t(width) * 4);
    for (int x = 0; x < width; ++x) {
        const std::array<int, 4> &ink = bands.at(size_t(x) * bands.size() / width);
        for (int i = 0; i < 4; ++i)
            row[size_t(x) * 4 + i] = JSAMPLE(adobe ? 255 - ink[size_t(i)] : ink[size_t(i)]);
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

// A PNG's chunk, with its CRC.
QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : type + data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    QByteArray tail(4, '\0');
    qToBigEndian<quint32>(~crc, tail.data());
    return chunk + type + data + tail;
}

// The engine on the demo collections; the first of them.
QUuid startOnTheDemoCollections()
{
    QDir demo(QStringLiteral(PALETTRA_DEMO_DB));
    demo.cdUp();
    demo.cdUp();
    demo.cdUp();
    if (startEngine(modulePathOf(engineModuleHandle()), demo.path()) != StartupOk)
        return QUuid();
    return DB::CollectionRegistry::instance().orderedCollectionUuids().value(0);
}

// The collection's chip of that code; one without an id (-1) when there is none.
DB::ColorEntry chipOf(const QUuid &collection, const QString &code)
{
    int page = -1, row = -1, segment = -1, mood = 0;
    bool exterior = false;
    DB::ColorEntry chip;
    if (DB::searchPhrase(collection, code, page, row, segment, mood, exterior) == DB::StatusOk)
        DB::loadColorAt(collection, page, row, chip);
    return chip;
}

QSet<qint64> chipsOf(const PaletteImport &imported)
{
    QSet<qint64> ids;
    for (const PictureChip &chip : imported.pictureChips)
        ids.insert(chip.chip.id);
    return ids;
}

} // namespace

TEST(CmykPictures, ReadThroughTheirProfileAndMarkedApproximateWithout)
{
    const QUuid collection = startOnTheDemoCollections();
    ASSERT_FALSE(collection.isNull());
    DB::loadOrderLists(collection);
    // Three chips far apart, as inks through the profile: cyan for blue, magenta for red,
    // yellow for green.
    const char *codes[] = {"OT 1042", "OT 1185", "OT 1881"};
    std::vector<std::array<int, 4>> inks;
    QSet<qint64> expected;
    for (const char *code : codes) {
        const DB::ColorEntry chip = chipOf(collection, QLatin1String(code));
        ASSERT_GT(chip.id, 0) << code;
        expected.insert(chip.id);
        inks.push_back({255 - chip.blue, 255 - chip.red, 255 - chip.green, 0});
    }
    QTemporaryDir dir;
    const QByteArray profile = rotatedCmykProfile();
    ASSERT_FALSE(profile.isEmpty());
    for (const bool adobe : {true, false}) {
        SCOPED_TRACE(adobe ? "inverted, Adobe's marker" : "plain");
        const QString path = dir.filePath(adobe ? QStringLiteral("adobe.jpg") : QStringLiteral("plain.jpg"));
        writeCmykJpeg(path, inks, adobe, profile);
        const PaletteImport imported = importPalette(path, collection);
        ASSERT_TRUE(imported.succeeded()) << importProblemText(imported, path).toStdString();
        EXPECT_FALSE(imported.approximateColours);
        EXPECT_EQ(chipsOf(imported), expected);
    }
    // Without the profile the inks are turned into RGB naively: other chips, and a word.
    const QString bare = dir.filePath(QStringLiteral("bare.jpg"));
    writeCmykJpeg(bare, inks, true, QByteArray());
    const PaletteImport imported = importPalette(bare, collection);
    ASSERT_TRUE(imported.succeeded());
    EXPECT_TRUE(imported.approximateColours);
    EXPECT_NE(chipsOf(imported), expected);
}

// An RGB PNG whose profile is a table (which Qt does not read) turning its channels
// round: read through the profile, it gives the chip the profile means.
TEST(PictureProfiles, APngIsReadThroughAProfileQtDoesNotRead)
{
    const QUuid collection = startOnTheDemoCollections();
    ASSERT_FALSE(collection.isNull());
    const QByteArray profile = tableProfile(cmsSigRgbData, 3, cmsSigInputClass, [](const double *device, double *rgb) {
        rgb[0] = device[1];
        rgb[1] = device[2];
        rgb[2] = device[0];
    });
    ASSERT_FALSE(profile.isEmpty());
    const DB::ColorEntry chip = chipOf(collection, QStringLiteral("OT 1185"));
    ASSERT_GT(chip.id, 0);

    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(QColor(chip.blue, chip.red, chip.green));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    // The profile goes right after the header chunk (8 bytes of signature, 25 of IHDR).
    png.insert(33, pngChunk("iCCP", QByteArray("Scanner", 7) + QByteArray(2, '\0') + qCompress(profile).mid(4)));
    QTemporaryDir dir;
    QFile out(dir.filePath(QStringLiteral("scanned.png")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(png);
    out.close();
    const PaletteImport imported = importPalette(out.fileName(), collection);
    ASSERT_TRUE(imported.succeeded()) << importProblemText(imported, out.fileName()).toStdString();
    ASSERT_EQ(imported.pictureChips.size(), 1);
    EXPECT_EQ(imported.pictureChips.first().chip.id, chip.id);
}

namespace {

// The pixels as an 8-bit RGBA PNG written by hand, in plain rows or interlaced (Adam7).
QByteArray rgbaPng(const QImage &pixels, bool interlaced)
{
    // Adam7: where each pass starts and how far it steps, in rows and in columns.
    const int rowStart[] = {0, 0, 4, 0, 2, 0, 1}, rowStep[] = {8, 8, 8, 4, 4, 2, 2};
    const int colStart[] = {0, 4, 0, 2, 0, 1, 0}, colStep[] = {8, 8, 4, 4, 2, 2, 1};
    QByteArray raw;
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const int firstRow = interlaced ? rowStart[pass] : 0, stepRow = interlaced ? rowStep[pass] : 1;
        const int firstCol = interlaced ? colStart[pass] : 0, stepCol = interlaced ? colStep[pass] : 1;
        if (firstCol >= pixels.width())
            continue;
        for (int y = firstRow; y < pixels.height(); y += stepRow) {
            raw += '\0'; // no filter
            for (int x = firstCol; x < pixels.width(); x += stepCol)
                raw += QByteArray(reinterpret_cast<const char *>(pixels.constScanLine(y)) + x * 4, 4);
        }
    }
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(pixels.width()), header.data());
    qToBigEndian<quint32>(quint32(pixels.height()), header.data() + 4);
    header[8] = 8; // bits
    header[9] = 6; // RGBA
    header[12] = interlaced ? 1 : 0;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", qCompress(raw).mid(4))
        + pngChunk("IEND", QByteArray());
}

QImage testPixels()
{
    const int width = 37, height = 23;
    QImage pixels(width, height, QImage::Format_RGBA8888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels.setPixelColor(x, y, QColor((x * 7) % 256, (y * 11) % 256, (x * y) % 256, 128 + (x + y) % 128));
    }
    return pixels;
}

} // namespace

// The rows of a PNG averaged into a small copy: an interlaced PNG, its pixels coming in
// seven scattered passes, gives exactly what the same pixels in plain rows give.
TEST(PngRows, InterlacedAndPlainRowsAverageAlike)
{
    const QImage pixels = testPixels();
    QImage averaged[2];
    for (const bool interlaced : {false, true}) {
        QByteArray png = rgbaPng(pixels, interlaced);
        QBuffer device(&png);
        device.open(QIODevice::ReadOnly);
        bool cutShort = true;
        averaged[interlaced] = readPngAveraged(&device, QSize(5, 3), cutShort);
        EXPECT_FALSE(cutShort);
        ASSERT_EQ(averaged[interlaced].size(), QSize(5, 3)) << interlaced;
    }
    EXPECT_EQ(averaged[0], averaged[1]);
    // The first cell is the alpha-weighted mean of the pixels it covers (columns 0 to 7,
    // rows 0 to 7).
    double red = 0.0, alpha = 0.0, count = 0.0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const QColor colour = pixels.pixelColor(x, y);
            red += colour.redF() * colour.alphaF();
            alpha += colour.alphaF();
            count += 1.0;
        }
    }
    // Read back un-premultiplied.
    const QRgba64 first = averaged[0].pixelColor(0, 0).rgba64();
    EXPECT_NEAR(first.red() / 65535.0, red / alpha, 1e-4);
    EXPECT_NEAR(first.alpha() / 65535.0, alpha / count, 1e-4);
}

// A PNG whose header promises more than its data holds, forged or cut short, is refused
// as incomplete, whatever its size.
TEST(PngRows, ForgedSizesAndFilesCutShortAreIncomplete)
{
    QTemporaryDir dir;
    const QUuid collection = startOnTheDemoCollections();
    for (const quint32 side : {10000u, 3000u}) {
        QByteArray header(13, '\0');
        qToBigEndian<quint32>(side, header.data());
        qToBigEndian<quint32>(side, header.data() + 4);
        header[8] = 8;
        header[9] = 2; // RGB
        const QByteArray forged = QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
            + pngChunk("IDAT", qCompress(QByteArray(1000, '\0')).mid(4)) + pngChunk("IEND", QByteArray());
        QFile out(dir.filePath(QStringLiteral("forged-%1.png").arg(side)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(forged);
        out.close();
        EXPECT_EQ(importPalette(out.fileName(), collection).problem, ImportProblem::PictureIncomplete) << side;
    }

    QByteArray cut = rgbaPng(testPixels(), false);
    cut.chop(40);
    QBuffer device(&cut);
    device.open(QIODevice::ReadOnly);
    bool cutShort = false;
    EXPECT_TRUE(readPngAveraged(&device, QSize(5, 3), cutShort).isNull());
    EXPECT_TRUE(cutShort);
}
