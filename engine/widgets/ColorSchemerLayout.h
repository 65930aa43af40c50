#pragma once

#include <QPainterPath>
#include <QRect>
#include <QSize>
#include <QVector>

#include <array>

namespace Vantor {

// The colour schemer's geometry as pure functions of its size and of the sizes of what
// it shows.

struct ColorSchemerLayout
{
    QVector<QRect> buttons;        // one per scheme kind, in button order
    QVector<QPainterPath> shapes;  // the round part of each button that takes presses
    QVector<QRect> labels;         // the name under each button
    QRect neutralFormLabel;        // the neutral button's name place for its tonal and complementary forms
    QRect naturalFormLabel;        // and for its natural form, as wide as that name needs
    QRect schemeArea;              // where the chips are laid out; its height is 3k + 1, at most 100
};

// `labelTexts` are the single-line sizes of the kinds' names, `neutralIndex` the place of
// the neutral button among them (-1 for none), `neutralFormsText` the larger of the
// sizes of its tonal and complementary names, `naturalText` the size of its natural
// name, `marker` the size of the complementary-neutral marker.
ColorSchemerLayout layoutColorSchemer(const QSize &widget, const QSize &buttonSize, const QVector<QSize> &labelTexts,
                                      int neutralIndex, const QSize &neutralFormsText, const QSize &naturalText,
                                      const QSize &marker);

// The area of the chips between `top` and `bottom`, from x = 24 to width - 25: its
// height brought to 3k + 1 and, while over 100 pixels, shrunk about its middle.
QRect schemeAreaBetween(int width, int top, int bottom);

// The chips of a scheme: `groups` holds, per colour in order, the value that keeps
// colours on one grid row (a new row starts when it changes); `perRow` chips make a full
// row and `rows` rows are centred in the area's three row places. Cells never leave the
// area: rows and chips beyond it (groups that change more often than `rows` implies) are
// left out. Empty when there is nothing to lay out.
QVector<QRect> layoutSchemeGrid(const QRect &area, const QVector<int> &groups, int perRow, int rows);

// The pulvex schemer: three columns, each a grey label over a chip, and the band of the
// drag hint at the bottom. `lineHeight` is the line height of the widget's font.
struct PulvexSchemerLayout
{
    std::array<QRect, 3> labels; // left, middle, right
    std::array<QRect, 3> chips;
    QRect hintBand;
};
PulvexSchemerLayout layoutPulvexSchemer(const QSize &widget, int lineHeight);

} // namespace Vantor
