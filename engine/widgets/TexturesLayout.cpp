#include "TexturesLayout.h"

#include <algorithm>

namespace Vantor {

int textureColumns(int width, int tileWidth)
{
    if (tileWidth <= 0)
        return 3;
    return std::clamp(width / tileWidth, 1, 3);
}

QVector<QRect> layoutTextureTiles(int width, const QSize &tile, int firstTop, int rowPitch, int count)
{
    QVector<QRect> tiles;
    const int columns = textureColumns(width, tile.width());
    // Three columns are flush with both edges; fewer where wide tiles leave no room, so
    // that tiles never overlap.
    const int pitch = columns > 1 ? tile.width() + (width - columns * tile.width()) / (columns - 1) : width;
    int x = 0;
    int y = firstTop;
    int column = 0;
    for (int i = 0; i < count; ++i) {
        QRect rect(QPoint(x, y), tile);
        if (column == columns || (column > 0 && (rect.left() > width - 1 || rect.right() > width - 1))) {
            x = 0;
            y += rowPitch;
            column = 0;
            rect = QRect(QPoint(x, y), tile);
        }
        tiles << rect;
        ++column;
        x = rect.left() + pitch;
    }
    return tiles;
}

QImage tintTexture(const QImage &texture, const QColor &tint, double alpha)
{
    // A database stores α in (0, 1]; a value outside (or not a number) is taken at the
    // nearest end, so that the sum stays a channel value.
    if (!(alpha >= 0.0))
        alpha = 0.0;
    if (alpha > 1.0)
        alpha = 1.0;
    const QImage source = texture.convertToFormat(QImage::Format_ARGB32);
    QImage tinted(source.size(), QImage::Format_ARGB32);
    // For a given colour and α a channel's result depends on that channel's value only:
    // one table of the 256 results per channel, by the formula above.
    const int tintChannels[3] = {tint.red(), tint.green(), tint.blue()};
    uchar results[3][256];
    for (int k = 0; k < 3; ++k) {
        for (int t = 0; t < 256; ++t) {
            const int m = int(tintChannels[k] * alpha + t * (1.0 - alpha)) % 256;
            results[k][t] = uchar((t * m) >> 8);
        }
    }
    for (int y = 0; y < source.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(tinted.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            out[x] = qRgba(results[0][qRed(in[x])], results[1][qGreen(in[x])], results[2][qBlue(in[x])], 255);
    }
    return tinted;
}

} // namespace Vantor
