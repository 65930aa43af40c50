#include "TestPictures.h"

#include <QBuffer>

namespace Palettra::Test {

QImage solidImage(const QSize &size, const QColor &colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray solidPng(const QColor &colour, const QSize &size)
{
    return pngBytes(solidImage(size, colour));
}

} // namespace Palettra::Test
