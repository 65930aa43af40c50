#include "LargePng.h"

#include <QColorSpace>
#include <QIODevice>
#include <QSysInfo>
#include <QtEndian>

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
    double *sums; // per target pixel: red, green and blue times alpha, alpha, pixel count
    int width;
    int height;
    double gamma; // of the gAMA chunk, 0 for none or where an sRGB chunk overrides it
};

bool decodeRows(Source &source, Averages &out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnError, quiet);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    png_bytep row = nullptr;
    int *columns = nullptr; // the target column of each column of the picture
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
    // Every kind of PNG as RGBA of its own depth: palettes and small greys expanded,
    // transparency made alpha, 16-bit values in the machine's byte order.
    png_set_expand(png);
    if (!(type & PNG_COLOR_MASK_COLOR))
        png_set_gray_to_rgb(png);
    if (!(type & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_add_alpha(png, depth == 16 ? 0xFFFF : 0xFF, PNG_FILLER_AFTER);
    if (depth == 16 && QSysInfo::ByteOrder == QSysInfo::LittleEndian)
        png_set_swap(png);
    png_read_update_info(png, info);
    const bool deep = png_get_bit_depth(png, info) == 16;
    const png_size_t rowBytes = png_get_rowbytes(png, info);
    if (png_get_channels(png, info) != 4 || rowBytes != png_size_t(width) * 4 * (deep ? 2 : 1))
        png_longjmp(png, 1);
    row = static_cast<png_bytep>(std::malloc(rowBytes));
    columns = static_cast<int *>(std::malloc(size_t(width) * sizeof(int)));
    if (!row || !columns)
        png_longjmp(png, 1);
    for (png_uint_32 x = 0; x < width; ++x)
        columns[x] = int(quint64(x) * quint64(out.width) / width);
    const double maximum = deep ? 65535.0 : 255.0;
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
        const png_uint_32 cols = interlaced ? PNG_PASS_COLS(width, pass) : width;
        if (rows == 0 || cols == 0)
            continue; // the decoder gives no rows for an empty pass
        for (png_uint_32 r = 0; r < rows; ++r) {
            png_read_row(png, row, nullptr);
            const png_uint_32 y = interlaced ? PNG_ROW_FROM_PASS_ROW(r, pass) : r;
            double *line = out.sums + size_t(quint64(y) * quint64(out.height) / height) * size_t(out.width) * 5;
            for (png_uint_32 i = 0; i < cols; ++i) {
                double channel[4];
                for (int c = 0; c < 4; ++c) {
                    const size_t at = size_t(i) * 4 + size_t(c);
                    channel[c] = (deep ? reinterpret_cast<const quint16 *>(row)[at] : row[at]) / maximum;
                }
                const png_uint_32 x = interlaced ? PNG_COL_FROM_PASS_COL(i, pass) : i;
                double *sum = line + size_t(columns[x]) * 5;
                sum[0] += channel[0] * channel[3];
                sum[1] += channel[1] * channel[3];
                sum[2] += channel[2] * channel[3];
                sum[3] += channel[3];
                sum[4] += 1.0;
            }
        }
    }
    std::free(row);
    std::free(columns);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

bool isLargePng(QIODevice *device)
{
    // The signature, then IHDR: its length and type, width, height, depth, colour type,
    // compression, filter and interlace method.
    const qint64 start = device->pos();
    if (!device->seek(0))
        return false;
    const QByteArray head = device->peek(8 + 8 + 13);
    device->seek(start);
    if (head.size() < 29 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return false;
    const quint64 width = qFromBigEndian<quint32>(head.constData() + 16);
    const quint64 height = qFromBigEndian<quint32>(head.constData() + 20);
    const int depth = quint8(head.at(24));
    // Qt decodes 16-bit pictures into eight bytes a pixel, others into four.
    return width * height * (depth == 16 ? 8 : 4) > quint64(LargePngDecodedBytes);
}

QImage readLargePng(QIODevice *device, const QSize &target, bool &incomplete)
{
    incomplete = false;
    if (target.isEmpty())
        return QImage();
    const qint64 start = device->pos();
    Averages averages{nullptr, target.width(), target.height(), 0.0};
    averages.sums = static_cast<double *>(std::calloc(size_t(target.width()) * size_t(target.height()) * 5, sizeof(double)));
    if (!averages.sums)
        return QImage();
    device->seek(0);
    Source source{device, false};
    const bool decoded = decodeRows(source, averages);
    device->seek(start);
    QImage picture;
    if (decoded) {
        picture = QImage(target, QImage::Format_RGBA64_Premultiplied);
        for (int y = 0; y < target.height(); ++y) {
            QRgba64 *line = reinterpret_cast<QRgba64 *>(picture.scanLine(y));
            const double *sums = averages.sums + size_t(y) * size_t(target.width()) * 5;
            for (int x = 0; x < target.width(); ++x, sums += 5) {
                const double count = sums[4] > 0.0 ? sums[4] : 1.0;
                auto level = [count](double sum) { return quint16(qBound(0.0, sum / count, 1.0) * 65535.0 + 0.5); };
                line[x] = QRgba64::fromRgba64(level(sums[0]), level(sums[1]), level(sums[2]), level(sums[3]));
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
