#pragma once

#include <QRect>
#include <QSize>
#include <QVector>

#include <array>

namespace Vantor {

// The card roller's geometry as a pure function of its size: three cards side by side
// (left neighbour, current card, right neighbour) under a label band.
struct CardRollerLayout
{
    std::array<QRect, 3> cards;
    std::array<QRect, 3> labels;
    QRect cardStrip; // the drop target: from the left card to the right one
};

// `textHeight` is the height of one line in the roller's font.
CardRollerLayout layoutCardRoller(const QSize &size, int textHeight);

// The chips of a card of `rows` chips: the card shrunk by a pixel on each side, divided
// into equal chips with one-pixel separators; the last chip takes the remainder. Empty
// for a card without chips.
QVector<QRect> chipRects(const QRect &card, int rows);

} // namespace Vantor
