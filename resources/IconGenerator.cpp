// Draws the application icon, a fan of paint chips, at the sizes the window icon needs.
// Usage: palettra-icongen OUTPUT_FOLDER SIZE...

#include "FanDeckIcon.h"

#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>

namespace {

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Palettra::paintFanDeckIcon(painter, QRectF(0, 0, size, size));
    painter.end();
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: palettra-icongen OUTPUT_FOLDER SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "palettra-icongen: bad size %s\n", argv[i]);
            return 2;
        }
        const QString file = QStringLiteral("%1/icon_%2.png").arg(folder).arg(size);
        if (!drawIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "palettra-icongen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
