#pragma once

class QPainter;
class QRectF;

namespace Palettra {

// Paints the application's mark, a fan of paint chips held by a rivet, into the square.
// Small sizes get simpler chips so the fan still reads at 16 pixels.
void paintFanDeckIcon(QPainter &painter, const QRectF &square);

} // namespace Palettra
