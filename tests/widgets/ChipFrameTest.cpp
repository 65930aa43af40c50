// Frames and outlines are drawn in pieces the raster engine keeps on the interface
// thread; the pixels must be those of the plain strokes they replace.
#include "engine/widgets/ChipFrame.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace Vantor;

namespace {

QImage noise(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    }
    return image;
}

// Counts the pixels of `a` that differ from `b` by more than `tolerance` in a channel.
int differing(const QImage &a, const QImage &b, int tolerance)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance
                || std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++count;
        }
    }
    return count;
}

const QRect Rects[] = {QRect(10, 12, 3, 3), QRect(10, 12, 4, 6), QRect(9, 11, 40, 30), QRect(20, 8, 60, 95),
                       QRect(5, 6, 120, 97), QRect(30, 4, 100, 250)};

} // namespace

TEST(ChipFrame, OutlineCoversTheEdgePixelsOnceLikeAOnePixelPen)
{
    const QColor colour(250, 120, 30, 32);
    for (const QRect &rect : Rects) {
        QImage expected = noise(QSize(160, 270));
        QImage drawn = expected;
        {
            QPainter painter(&expected);
            painter.setPen(colour);
            painter.drawRect(QRect(rect.topLeft(), QPoint(rect.right() - 1, rect.bottom() - 1)));
        }
        {
            QPainter painter(&drawn);
            paintRectOutline(painter, rect, colour);
        }
        EXPECT_EQ(differing(drawn, expected, 0), 0) << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
    }
}

TEST(ChipFrame, FramePaintsTheSoftOutlinesAsStrokesDo)
{
    for (const QRect &rect : Rects) {
        for (const QPoint &shift : {QPoint(0, 0), QPoint(3, 7)}) {
            QImage expected = noise(QSize(170, 280));
            QImage drawn = expected;
            {
                QPainter painter(&expected);
                painter.translate(shift);
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QColor(64, 64, 64, 24));
                painter.drawRoundedRect(QRect(QPoint(rect.left() - 2, rect.top() - 2), QPoint(rect.right() + 1, rect.bottom() + 1)),
                                        3, 3, Qt::AbsoluteSize);
                painter.setPen(QColor(64, 64, 64, 48));
                painter.drawRoundedRect(QRect(QPoint(rect.left() - 1, rect.top() - 1), QPoint(rect.right(), rect.bottom())), 2,
                                        2, Qt::AbsoluteSize);
                painter.setPen(QColor(64, 64, 64));
                painter.drawRect(QRect(rect.topLeft(), QPoint(rect.right() - 1, rect.bottom() - 1)));
            }
            {
                QPainter painter(&drawn);
                painter.translate(shift);
                paintChipFrame(painter, rect);
            }
            // Where the two soft outlines meet, blending them first may round one step apart.
            EXPECT_EQ(differing(drawn, expected, 1), 0) << rect.width() << "x" << rect.height();
            EXPECT_LE(differing(drawn, expected, 0), 8) << rect.width() << "x" << rect.height();
        }
    }
}
