#include "ChipFrame.h"

#include <QImage>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <vector>

namespace Vantor {

namespace {

// Qt's raster engine hands a translucent stroke of more than about ninety rows to its
// thread pool and waits for it; on a busy machine of few cores that hand-over costs far
// more than the stroke, and a card of chips strokes several. So the two faint outlines
// are drawn once per frame size into a picture, and the picture is blended as it is.
void paintSoftOutlines(QPainter &painter, const QRect &outer)
{
    painter.setPen(QColor(64, 64, 64, 24));
    painter.drawRoundedRect(outer, 3, 3, Qt::AbsoluteSize);
    painter.setPen(QColor(64, 64, 64, 48));
    painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 2, 2, Qt::AbsoluteSize);
}

struct SoftOutlines
{
    QSize size;
    qreal ratio = 1;
    QImage picture;
};

const QImage &softOutlines(const QSize &size, qreal ratio)
{
    static std::vector<SoftOutlines> kept; // a few sizes: cards, scheme areas, partners
    for (const SoftOutlines &each : kept) {
        if (each.size == size && each.ratio == ratio)
            return each.picture;
    }
    if (kept.size() >= 8)
        kept.erase(kept.begin());
    // One pixel more each way than the outer outline's rectangle: a pen's stroke covers
    // its rectangle's size plus the pen's width.
    QImage picture((QSizeF(size.width() + 1, size.height() + 1) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    {
        QPainter onPicture(&picture);
        onPicture.setRenderHint(QPainter::Antialiasing, false);
        onPicture.setBrush(Qt::NoBrush);
        paintSoftOutlines(onPicture, QRect(QPoint(0, 0), size));
    }
    kept.push_back({size, ratio, picture});
    return kept.back().picture;
}

} // namespace

void paintChipFrame(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QRect outer(QPoint(rect.left() - 2, rect.top() - 2), QPoint(rect.right() + 1, rect.bottom() + 1));
    if (painter.worldTransform().type() <= QTransform::TxTranslate && painter.device())
        painter.drawImage(outer.topLeft(), softOutlines(outer.size(), painter.device()->devicePixelRatioF()));
    else
        paintSoftOutlines(painter, outer);
    QPen solid(QColor(64, 64, 64));
    solid.setCosmetic(true);
    painter.setPen(solid);
    // With a one-pixel pen this covers the rectangle's border pixels exactly.
    painter.drawRect(QRect(rect.topLeft(), QPoint(rect.right() - 1, rect.bottom() - 1)));
    painter.restore();
}

void paintRectOutline(QPainter &painter, const QRect &rect, const QColor &colour)
{
    if (rect.isEmpty())
        return;
    // Rows, and columns in pieces of a few dozen rows: fills that the raster engine
    // keeps on this thread.
    auto fillColumn = [&](int x) {
        for (int top = rect.top() + 1; top < rect.bottom(); top += 64)
            painter.fillRect(QRect(QPoint(x, top), QPoint(x, std::min(top + 63, rect.bottom() - 1))), colour);
    };
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    if (rect.height() > 1)
        painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    fillColumn(rect.left());
    if (rect.width() > 1)
        fillColumn(rect.right());
}

void paintKeyboardMark(QPainter &painter, const QRect &chip)
{
    paintRectOutline(painter, chip, QColor(0, 0, 0, 150));
    paintRectOutline(painter, chip.adjusted(1, 1, -1, -1), QColor(255, 196, 64));
    paintRectOutline(painter, chip.adjusted(2, 2, -2, -2), QColor(255, 196, 64));
    paintRectOutline(painter, chip.adjusted(3, 3, -3, -3), QColor(0, 0, 0, 150));
}

} // namespace Vantor
