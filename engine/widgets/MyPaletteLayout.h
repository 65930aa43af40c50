#pragma once

#include <QRect>
#include <QSize>

#include <array>

namespace Vantor {

// The My Palette panel's grid and editor as a pure function of its size.
struct MyPaletteLayout
{
    std::array<QRect, 24> cells; // grid order: row by row, left to right
    QRect gridArea;              // the cells, widened by a pixel to the right and below
    QRect editor;
};

MyPaletteLayout layoutMyPalette(const QSize &size, int barHeight, int editorHeight);

// The full view's palette area and cell size for its size.
struct MyPaletteFullLayout
{
    QRect paletteArea;
    int cellWidth = 0;
    int cellHeight = 0;
};

MyPaletteFullLayout layoutMyPaletteFull(const QSize &size, int barHeight);

} // namespace Vantor
