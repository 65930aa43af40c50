#include "ChipFrame.h"

#include <QPainter>
#include <QRect>

namespace Vantor {

void paintChipFrame(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(64, 64, 64, 24));
    painter.drawRoundedRect(QRect(QPoint(rect.left() - 2, rect.top() - 2), QPoint(rect.right() + 1, rect.bottom() + 1)), 3, 3,
                            Qt::AbsoluteSize);
    painter.setPen(QColor(64, 64, 64, 48));
    painter.drawRoundedRect(QRect(QPoint(rect.left() - 1, rect.top() - 1), QPoint(rect.right(), rect.bottom())), 2, 2,
                            Qt::AbsoluteSize);
    QPen solid(QColor(64, 64, 64));
    solid.setCosmetic(true);
    painter.setPen(solid);
    // With a one-pixel pen this covers the rectangle's border pixels exactly.
    painter.drawRect(QRect(rect.topLeft(), QPoint(rect.right() - 1, rect.bottom() - 1)));
    painter.restore();
}

} // namespace Vantor
