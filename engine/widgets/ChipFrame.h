#pragma once

class QPainter;
class QRect;

namespace Vantor {

// The soft frame of a card of chips: a faint rounded outline two pixels outside, a
// stronger one a pixel outside, and a solid dark outline on the rectangle's edge pixels.
void paintChipFrame(QPainter &painter, const QRect &rect);

} // namespace Vantor
