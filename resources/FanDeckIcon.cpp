#include "FanDeckIcon.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace Palettra {

namespace {
struct Chip
{
    QColor top;
    QColor bottom;
};
} // namespace

void paintFanDeckIcon(QPainter &painter, const QRectF &square)
{
    const double size = square.width();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(square.topLeft());
    // All geometry is laid out on a 512-unit canvas.
    painter.scale(size / 512.0, size / 512.0);
    const Chip chips[] = {
        {QColor(0x3d, 0x5a, 0x98), QColor(0x23, 0x35, 0x63)},
        {QColor(0x2f, 0x9c, 0x95), QColor(0x1b, 0x66, 0x61)},
        {QColor(0x8c, 0xb3, 0x4a), QColor(0x5a, 0x78, 0x2a)},
        {QColor(0xf2, 0xc1, 0x4e), QColor(0xd0, 0x93, 0x1f)},
        {QColor(0xee, 0x7b, 0x3a), QColor(0xc2, 0x50, 0x1b)},
        {QColor(0xd6, 0x3e, 0x4f), QColor(0x9c, 0x24, 0x34)},
    };
    const int count = int(sizeof chips / sizeof chips[0]);
    const QPointF pivot(256, 430);
    const double spread = 72.0; // degrees from the first chip to the last
    const QRectF chipRect(-58, -340, 116, 360);
    const double radius = 26;
    const bool small = size <= 32;

    for (int i = 0; i < count; ++i) {
        painter.save();
        painter.translate(pivot);
        painter.rotate(-spread / 2 + spread * i / (count - 1));

        QPainterPath chip;
        chip.addRoundedRect(chipRect, radius, radius);

        // A soft shadow to the right makes the chips read as a stack.
        if (!small) {
            painter.save();
            painter.translate(8, 6);
            painter.fillPath(chip, QColor(0, 0, 0, 46));
            painter.restore();
        }

        // White card with the colour field on its upper part, like a real fan deck.
        painter.fillPath(chip, QColor(0xfb, 0xfa, 0xf7));
        QPainterPath field;
        const QRectF fieldRect = small ? chipRect.adjusted(10, 10, -10, -10) : chipRect.adjusted(14, 14, -14, -96);
        field.addRoundedRect(fieldRect, radius * 0.6, radius * 0.6);
        QLinearGradient gradient(fieldRect.topLeft(), fieldRect.bottomLeft());
        gradient.setColorAt(0, chips[i].top);
        gradient.setColorAt(1, chips[i].bottom);
        painter.fillPath(field, gradient);
        if (!small) {
            // Two text lines of the chip's label.
            painter.fillRect(QRectF(chipRect.left() + 18, chipRect.bottom() - 70, 62, 12), QColor(0x9a, 0x96, 0x8e));
            painter.fillRect(QRectF(chipRect.left() + 18, chipRect.bottom() - 48, 40, 10), QColor(0xc4, 0xc0, 0xb8));
        }
        painter.setPen(QPen(QColor(0, 0, 0, small ? 90 : 60), small ? 10 : 4));
        painter.drawPath(chip);
        painter.restore();
    }

    // The rivet that holds the deck together.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x5b, 0x5f, 0x66));
    painter.drawEllipse(pivot, small ? 30 : 24, small ? 30 : 24);
    painter.setBrush(QColor(0xd9, 0xdc, 0xe0));
    painter.drawEllipse(pivot, small ? 14 : 12, small ? 14 : 12);
    painter.restore();
}

} // namespace Palettra
