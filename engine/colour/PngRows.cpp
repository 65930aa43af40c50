#include "PngRows.h"

#include <QColorSpace>
#include <QIODevice>
#include <QSysInfo>

#include <atomic>
#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include <png.h>

namespace Vantor {

namespace {

struct Source
{
    QIODevice *device;
    bool cutShort; // the file ended before the decoder was done
    const std::atomic_bool *cancelled; // may be null
};

void readFromDevice(png_structp png, png_bytep data, png_size_t length)
{
    auto *source = static_cast<Source *>(png_get_io_ptr(png));
    if (source->device->read(reinterpret_cast<char *>(data), qint64(length)) != qint64(length)) {
        source->cutShort = true;
        png_error(png, "the data ends early");
    }
}

void quiet(png_structp, png_const_charp)
{
}

void stopOnError(png_structp png, png_const_charp message)
{
    // Image data that ends before the picture does: a file cut short, or a size forged
    // over little data.
    auto *source = static_cast<Source *>(png_get_io_ptr(png));
    if (source && std::strncmp(message, "Not enough", 10) == 0)
        source->cutShort = true;
    png_longjmp(png, 1);
}

// What a decode gives back, filled between setjmp and its end: plain data only, since a
// jump back skips destructors.
struct Averages
{
    // Per target pixel, in whole numbers so that adding up is exact and cheap: red, green
    // and blue each times alpha, alpha, and the pixel count.
    quint64 *sums;
    int width;
    int height;
    double gamma; // of the gAMA chunk, 0 for none or where an sRGB chunk overrides it
    bool deep; // 16 bits a channel, else 8
};

// Adds one decoded row of `count` pixels, of `Channels` channels of type `Level`, to the
// sums of the target row; `columnOf` maps each pixel to its target column.
template <typename Level, int Channels>
void addRow(const png_bytep row, png_uint_32 count, quint64 *line, const int *columns, png_uint_32 first,
            png_uint_32 step)
{
    const Level *pixel = reinterpret_cast<const Level *>(row);
    constexpr quint64 Opaque = sizeof(Level) == 2 ? 0xFFFF : 0xFF;
    for (png_uint_32 i = 0; i < count; ++i, pixel += Channels) {
        const quint64 alpha = Channels == 4 ? pixel[3] : Opaque;
        quint64 *sum = line + size_t(columns[first + i * step]) * 5;
        sum[0] += pixel[0] * alpha;
        sum[1] += pixel[1] * alpha;
        sum[2] += pixel[2] * alpha;
        sum[3] += alpha;
        sum[4] += 1;
    }
}

bool decodeRows(Source &source, Averages &out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnError, quiet);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    // Set after the setjmp below and freed after a longjmp: volatile, or the jump may
    // come back to the values they had when it was armed.
    png_bytep volatile row = nullptr;
    int *volatile columns = nullptr; // the target column of each column of the picture
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        std::free(row);
        std::free(columns);
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, readFromDevice);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info);
    const int type = png_get_color_type(png, info);
    if (width == 0 || height == 0)
        png_longjmp(png, 1);
    // Interlaced pictures come in seven passes of scattered pixels; each pixel comes once,
    // and goes where its place in its pass says.
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    double gamma = 0.0;
    if (!png_get_valid(png, info, PNG_INFO_sRGB) && png_get_gAMA(png, info, &gamma) == 0)
        gamma = 0.0;
    out.gamma = gamma;
    // Every kind of PNG as RGB or RGBA of its own depth: palettes and small greys
    // expanded, transparency made alpha, 16-bit values in the machine's byte order.
    png_set_expand(png);
    if (!(type & PNG_COLOR_MASK_COLOR))
        png_set_gray_to_rgb(png);
    if (depth == 16 && QSysInfo::ByteOrder == QSysInfo::LittleEndian)
        png_set_swap(png);
    png_read_update_info(png, info);
    const bool deep = png_get_bit_depth(png, info) == 16;
    const int channels = png_get_channels(png, info);
    const png_size_t rowBytes = png_get_rowbytes(png, info);
    if ((channels != 3 && channels != 4) || rowBytes != png_size_t(width) * png_size_t(channels) * (deep ? 2 : 1))
        png_longjmp(png, 1);
    out.deep = deep;
    row = static_cast<png_bytep>(std::malloc(rowBytes));
    columns = static_cast<int *>(std::malloc(size_t(width) * sizeof(int)));
    if (!row || !columns)
        png_longjmp(png, 1);
    for (png_uint_32 x = 0; x < width; ++x)
        columns[x] = int(quint64(x) * quint64(out.width) / width);
    auto add = deep ? (channels == 4 ? addRow<quint16, 4> : addRow<quint16, 3>)
                    : (channels == 4 ? addRow<quint8, 4> : addRow<quint8, 3>);
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
        const png_uint_32 cols = interlaced ? PNG_PASS_COLS(width, pass) : width;
        if (rows == 0 || cols == 0)
            continue; // the decoder gives no rows for an empty pass
        for (png_uint_32 r = 0; r < rows; ++r) {
            // A read nobody waits for any more stops at the next row.
            if (source.cancelled && source.cancelled->load(std::memory_order_relaxed))
                png_longjmp(png, 1);
            png_read_row(png, row, nullptr);
            const png_uint_32 y = interlaced ? PNG_ROW_FROM_PASS_ROW(r, pass) : r;
            quint64 *line = out.sums + size_t(quint64(y) * quint64(out.height) / height) * size_t(out.width) * 5;
            add(row, cols, line, columns, interlaced ? PNG_COL_FROM_PASS_COL(0, pass) : 0,
                interlaced ? png_uint_32(1) << PNG_PASS_COL_SHIFT(pass) : 1);
        }
    }
    std::free(row);
    std::free(columns);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

QImage readPngAveraged(QIODevice *device, const QSize &target, bool &incomplete, const std::atomic_bool *cancelled)
{
    incomplete = false;
    if (target.isEmpty())
        return QImage();
    const qint64 start = device->pos();
    Averages averages{nullptr, target.width(), target.height(), 0.0, false};
    averages.sums = static_cast<quint64 *>(std::calloc(size_t(target.width()) * size_t(target.height()) * 5, sizeof(quint64)));
    if (!averages.sums)
        return QImage();
    device->seek(0);
    Source source{device, false, cancelled};
    const bool decoded = decodeRows(source, averages);
    device->seek(start);
    QImage picture;
    if (decoded) {
        picture = QImage(target, QImage::Format_RGBA64_Premultiplied);
        const double maximum = averages.deep ? 65535.0 : 255.0;
        for (int y = 0; y < target.height(); ++y) {
            QRgba64 *line = reinterpret_cast<QRgba64 *>(picture.scanLine(y));
            const quint64 *sums = averages.sums + size_t(y) * size_t(target.width()) * 5;
            for (int x = 0; x < target.width(); ++x, sums += 5) {
                // Colour sums carry alpha as a factor: premultiplied, on a scale of maximum².
                const double count = sums[4] > 0 ? double(sums[4]) : 1.0;
                auto level = [](double value) { return quint16(qBound(0.0, value, 1.0) * 65535.0 + 0.5); };
                const double colourScale = count * maximum * maximum;
                line[x] = QRgba64::fromRgba64(level(double(sums[0]) / colourScale), level(double(sums[1]) / colourScale),
                                              level(double(sums[2]) / colourScale), level(double(sums[3]) / (count * maximum)));
            }
        }
        // As Qt reads a gAMA chunk: sRGB's primaries with that gamma.
        if (averages.gamma > 0.0)
            picture.setColorSpace(QColorSpace(QColorSpace::Primaries::SRgb, float(1.0 / averages.gamma)));
    } else {
        incomplete = source.cutShort;
    }
    std::free(averages.sums);
    return picture;
}

} // namespace Vantor
