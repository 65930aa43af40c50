#include "PictureProfiles.h"

#include <QColorSpace>
#include <QIODevice>
#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <memory>

#include <jpeglib.h>
#include <lcms2.h>

namespace Vantor {

namespace {

// libjpeg reports a fatal error by calling error_exit, which may not return: it jumps
// back to the call that started the work. The code between keeps no object with a
// destructor alive, only this plain state.
struct JpegErrors
{
    jpeg_error_mgr manager;
    std::jmp_buf back;
    bool warned; // corrupt or missing data, which the decoder would paint over
};

void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors *>(info->err)->back, 1);
}

void noteMessage(j_common_ptr info, int level)
{
    // Level -1 is a warning about the data (a file cut short among them); others are
    // traces. None is printed.
    if (level < 0)
        reinterpret_cast<JpegErrors *>(info->err)->warned = true;
}

void setUpErrors(jpeg_decompress_struct &info, JpegErrors &errors)
{
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    errors.manager.emit_message = noteMessage;
    errors.warned = false;
}

// The plain result of a decode, filled between setjmp and its end.
struct RawCmyk
{
    unsigned char *pixels; // width * height * 4, malloc'd
    unsigned int width;
    unsigned int height;
    JOCTET *icc; // malloc'd by libjpeg
    unsigned int iccLength;
    bool inverted;
};

bool readHeader(const unsigned char *data, unsigned long size, bool &cmyk, JOCTET *&icc, unsigned int &iccLength)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    setUpErrors(info, errors);
    icc = nullptr;
    iccLength = 0;
    jpeg_create_decompress(&info);
    if (setjmp(errors.back)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_mem_src(&info, data, size);
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (!jpeg_read_icc_profile(&info, &icc, &iccLength)) {
        icc = nullptr;
        iccLength = 0;
    }
    jpeg_destroy_decompress(&info);
    return true;
}

bool decodeRaw(const unsigned char *data, unsigned long size, long long atLeastPixels, RawCmyk &raw, bool &warned)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    setUpErrors(info, errors);
    raw = RawCmyk{nullptr, 0, 0, nullptr, 0, false};
    jpeg_create_decompress(&info);
    if (setjmp(errors.back)) {
        std::free(raw.pixels);
        std::free(raw.icc);
        raw = RawCmyk{nullptr, 0, 0, nullptr, 0, false};
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_mem_src(&info, data, size);
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_CMYK;
    // The decoder scales by an eighth, a quarter or a half, far faster than a full decode.
    for (unsigned int denominator : {8u, 4u, 2u}) {
        if ((long long)(info.image_width / denominator) * (long long)(info.image_height / denominator) >= atLeastPixels) {
            info.scale_num = 1;
            info.scale_denom = denominator;
            break;
        }
    }
    jpeg_start_decompress(&info);
    raw.width = info.output_width;
    raw.height = info.output_height;
    raw.pixels = static_cast<unsigned char *>(std::malloc(size_t(raw.width) * raw.height * 4));
    if (!raw.pixels)
        jumpBack(reinterpret_cast<j_common_ptr>(&info));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = raw.pixels + size_t(info.output_scanline) * raw.width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (!jpeg_read_icc_profile(&info, &raw.icc, &raw.iccLength)) {
        raw.icc = nullptr;
        raw.iccLength = 0;
    }
    // Adobe's applications write CMYK with every value inverted, and mark it so.
    raw.inverted = info.saw_Adobe_marker;
    jpeg_finish_decompress(&info);
    warned = errors.warned;
    jpeg_destroy_decompress(&info);
    return true;
}

struct ProfileCloser
{
    void operator()(void *profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter
{
    void operator()(void *transform) const { cmsDeleteTransform(transform); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

Profile profileOf(const QByteArray &icc)
{
    return Profile(icc.isEmpty() ? nullptr : cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
}

Transform transformToSrgb(void *from, cmsUInt32Number inputFormat, cmsUInt32Number outputFormat, cmsUInt32Number flags)
{
    const Profile srgb(cmsCreate_sRGBProfile());
    return Transform(cmsCreateTransform(from, inputFormat, srgb.get(), outputFormat, INTENT_RELATIVE_COLORIMETRIC,
                                        flags | cmsFLAGS_NOCACHE));
}

} // namespace

JpegColours jpegColoursOf(const QByteArray &bytes)
{
    JpegColours colours;
    JOCTET *icc = nullptr;
    unsigned int iccLength = 0;
    colours.read = readHeader(reinterpret_cast<const unsigned char *>(bytes.constData()), (unsigned long)bytes.size(),
                              colours.cmyk, icc, iccLength);
    if (icc) {
        colours.icc = QByteArray(reinterpret_cast<const char *>(icc), qsizetype(iccLength));
        std::free(icc);
    }
    return colours;
}

CmykDecode decodeCmykJpeg(const QByteArray &bytes, qint64 atLeastPixels)
{
    CmykDecode result;
    RawCmyk raw;
    bool warned = false;
    if (!decodeRaw(reinterpret_cast<const unsigned char *>(bytes.constData()), (unsigned long)bytes.size(), atLeastPixels, raw,
                   warned))
        return result;
    const std::unique_ptr<unsigned char, decltype(&std::free)> pixels(raw.pixels, &std::free);
    const QByteArray icc = raw.icc ? QByteArray(reinterpret_cast<const char *>(raw.icc), qsizetype(raw.iccLength)) : QByteArray();
    std::free(raw.icc);
    result.incomplete = warned;
    QImage picture(int(raw.width), int(raw.height), QImage::Format_RGB32);
    if (picture.isNull())
        return result;
    picture.fill(Qt::black);
    const Profile profile = profileOf(icc);
    Transform transform;
    if (profile && cmsGetColorSpace(profile.get()) == cmsSigCmykData)
        transform = transformToSrgb(profile.get(), raw.inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, TYPE_BGRA_8, 0);
    result.approximate = !transform;
    for (unsigned int y = 0; y < raw.height; ++y) {
        const unsigned char *in = pixels.get() + size_t(y) * raw.width * 4;
        QRgb *out = reinterpret_cast<QRgb *>(picture.scanLine(int(y)));
        if (transform) {
            cmsDoTransform(transform.get(), in, out, raw.width);
            continue;
        }
        // No profile: ink taken away from white, as other programs do without one.
        for (unsigned int x = 0; x < raw.width; ++x, in += 4) {
            const int c = raw.inverted ? in[0] : 255 - in[0];
            const int m = raw.inverted ? in[1] : 255 - in[1];
            const int yellow = raw.inverted ? in[2] : 255 - in[2];
            const int k = raw.inverted ? in[3] : 255 - in[3];
            out[x] = qRgb(c * k / 255, m * k / 255, yellow * k / 255);
        }
    }
    result.picture = picture;
    return result;
}

QByteArray pngProfileOf(QIODevice *device)
{
    const qint64 start = device->pos();
    QByteArray profile;
    if (device->seek(8)) { // past the signature
        // Chunks: a 4-byte length, a 4-byte type, the data, a 4-byte CRC.
        for (int chunks = 0; chunks < 64; ++chunks) {
            const QByteArray head = device->read(8);
            if (head.size() != 8)
                break;
            const quint32 length = qFromBigEndian<quint32>(head.constData());
            const QByteArray type = head.mid(4);
            if (type == "IDAT" || type == "IEND" || length > 16 * 1024 * 1024)
                break;
            if (type != "iCCP") {
                if (!device->skip(qint64(length) + 4))
                    break;
                continue;
            }
            // A name of at most 79 bytes, a zero, the compression method (0: zlib), then the
            // compressed profile.
            const QByteArray data = device->read(length);
            const qsizetype nameEnd = data.indexOf('\0');
            if (data.size() == qsizetype(length) && nameEnd > 0 && nameEnd < 80 && nameEnd + 2 <= data.size()
                && data.at(nameEnd + 1) == 0) {
                // qUncompress wants the size first; a guess, which it grows from.
                QByteArray compressed(4, '\0');
                qToBigEndian<quint32>(quint32(std::max<qsizetype>(64, data.size() * 4)), compressed.data());
                compressed += data.mid(nameEnd + 2);
                profile = qUncompress(compressed);
            }
            break;
        }
    }
    device->seek(start);
    return profile;
}

bool convertToSrgb(QImage &picture, const QByteArray &icc)
{
    const Profile profile = profileOf(icc);
    if (!profile || picture.isNull())
        return false;
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile.get());
    const bool deep = picture.depth() > 32 || picture.format() == QImage::Format_Grayscale16;
    if (space == cmsSigGrayData && picture.isGrayscale()
        && (picture.format() == QImage::Format_Grayscale8 || picture.format() == QImage::Format_Grayscale16)) {
        const Transform transform = transformToSrgb(profile.get(), deep ? TYPE_GRAY_16 : TYPE_GRAY_8,
                                                    deep ? TYPE_RGBA_16 : TYPE_BGRA_8, 0);
        if (!transform)
            return false;
        QImage rgb(picture.size(), deep ? QImage::Format_RGBX64 : QImage::Format_RGB32);
        rgb.fill(Qt::black);
        for (int y = 0; y < picture.height(); ++y)
            cmsDoTransform(transform.get(), picture.constScanLine(y), rgb.scanLine(y), cmsUInt32Number(picture.width()));
        rgb.setColorSpace(QColorSpace(QColorSpace::SRgb));
        picture = rgb;
        return true;
    }
    if (space != cmsSigRgbData || picture.isGrayscale())
        return false;
    // Un-premultiplied, so that alpha is carried over untouched.
    picture.convertTo(deep ? QImage::Format_RGBA64 : QImage::Format_ARGB32);
    const cmsUInt32Number format = deep ? TYPE_RGBA_16 : TYPE_BGRA_8;
    const Transform transform = transformToSrgb(profile.get(), format, format, cmsFLAGS_COPY_ALPHA);
    if (!transform)
        return false;
    for (int y = 0; y < picture.height(); ++y)
        cmsDoTransform(transform.get(), picture.constScanLine(y), picture.scanLine(y), cmsUInt32Number(picture.width()));
    picture.setColorSpace(QColorSpace(QColorSpace::SRgb));
    return true;
}

} // namespace Vantor
