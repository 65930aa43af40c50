#include "MyPaletteLayout.h"

namespace Vantor {

MyPaletteLayout layoutMyPalette(const QSize &size, int barHeight, int editorHeight)
{
    MyPaletteLayout layout;
    const int w = size.width();
    const int h = size.height();
    layout.editor = QRect(QPoint(12, h - editorHeight), QPoint(w - 13, h - 1));

    const int usableWidth = w - 24;
    const int cellWidth = usableWidth / 6;
    const int left = 12 + (usableWidth % 6) / 2;
    const int usableHeight = h - editorHeight - barHeight - 24;
    const int cellHeight = usableHeight / 4;
    const int top = barHeight + 12 + (usableHeight % 4) / 2;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 6; ++column) {
            const QPoint topLeft(left + column * cellWidth, top + row * cellHeight);
            layout.cells[std::size_t(row * 6 + column)] = QRect(topLeft, topLeft + QPoint(cellWidth - 1, cellHeight - 1));
        }
    }
    QRect grid;
    for (const QRect &cell : layout.cells)
        grid = grid.united(cell);
    layout.gridArea = grid.adjusted(0, 0, 1, 1);
    return layout;
}

MyPaletteFullLayout layoutMyPaletteFull(const QSize &size, int barHeight)
{
    MyPaletteFullLayout layout;
    const int w = size.width();
    const int h = size.height();
    layout.cellWidth = (w - 128) / 6;
    layout.cellHeight = int(layout.cellWidth / 1.8);
    const int top = (barHeight - 1) + (h - barHeight - 4 * layout.cellHeight + 1) / 2;
    layout.paletteArea = QRect(QPoint(64, top), QPoint(64 + 6 * layout.cellWidth - 1, top + 4 * layout.cellHeight - 1));
    return layout;
}

} // namespace Vantor
