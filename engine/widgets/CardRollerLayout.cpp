#include "CardRollerLayout.h"

namespace Vantor {

CardRollerLayout layoutCardRoller(const QSize &size, int textHeight)
{
    const int w = size.width();
    const int h = size.height();
    const int a = (w - 14) / 4;
    const int top = textHeight + 2;
    CardRollerLayout layout;
    layout.cards[0] = QRect(QPoint(2, top), QPoint(a + 1, h - 3));
    layout.cards[1] = QRect(QPoint(a + 6, top), QPoint(w - 7 - a, h - 3));
    layout.cards[2] = QRect(QPoint(w - 2 - a, top), QPoint(w - 3, h - 3));
    layout.cardStrip = layout.cards[0].united(layout.cards[2]);
    for (int i = 0; i < 3; ++i)
        layout.labels[i] = QRect(QPoint(layout.cards[i].left(), 0), QPoint(layout.cards[i].right(), textHeight + 1));
    return layout;
}

QVector<QRect> chipRects(const QRect &card, int rows)
{
    QVector<QRect> chips;
    if (rows <= 0)
        return chips;
    const QRect area(QPoint(card.left() + 1, card.top() + 1), QPoint(card.right() - 1, card.bottom() - 1));
    const int height = (area.bottom() - area.top() - rows + 2) / rows;
    for (int j = 0; j < rows; ++j) {
        const int top = area.top() + j * (height + 1);
        const int bottom = j == rows - 1 ? area.bottom() : top + height - 1;
        chips << QRect(QPoint(area.left(), top), QPoint(area.right(), bottom));
    }
    return chips;
}

} // namespace Vantor
