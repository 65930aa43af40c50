#pragma once

class QColor;
class QPainter;
class QRect;

namespace Vantor {

// The soft frame of a card of chips: a faint rounded outline two pixels outside, a
// stronger one a pixel outside, and a solid dark outline on the rectangle's edge pixels.
void paintChipFrame(QPainter &painter, const QRect &rect);

// The one-pixel outline on a rectangle's edge pixels, each pixel blended once: the same
// pixels as a one-pixel pen's drawRect of the rectangle shrunk by one at its right and
// bottom.
void paintRectOutline(QPainter &painter, const QRect &rect, const QColor &colour);

// The mark of the chip the keyboard is on: the focus frame's gold line between two dark
// edges, so that it shows on light, dark and golden chips alike.
void paintKeyboardMark(QPainter &painter, const QRect &chip);

} // namespace Vantor
