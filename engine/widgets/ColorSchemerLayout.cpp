#include "ColorSchemerLayout.h"

#include <algorithm>

namespace Vantor {

ColorSchemerLayout layoutColorSchemer(const QSize &widget, const QSize &buttonSize, const QVector<QSize> &labelTexts,
                                      int neutralIndex, const QSize &neutralFormsText, const QSize &naturalText,
                                      const QSize &marker)
{
    ColorSchemerLayout layout;
    const int bw = buttonSize.width();
    const int bh = buttonSize.height();
    const int n = int(labelTexts.size());
    const int pitch = bw + 40;
    const int first = (widget.width() - n * pitch + 40) / 2;
    const int labelTop = bh + 9;
    auto centredUnder = [&](const QRect &button, int width, int height) {
        return QRect(button.left() + (bw - width) / 2, labelTop, width, height);
    };

    int tallest = 0;
    for (int i = 0; i < n; ++i) {
        const QRect button(first + i * pitch, 8, bw, bh);
        layout.buttons << button;
        QPainterPath shape;
        shape.addEllipse(QRectF(button.adjusted(6, 6, -6, -6)));
        layout.shapes << shape;
        const int width = (labelTexts.at(i).width() + 4) & ~1;
        QRect label = centredUnder(button, width, labelTexts.at(i).height() + 2);
        if (i == neutralIndex) {
            // Room for the complementary-neutral marker at the right end.
            label.setWidth(label.width() + marker.width() + 4);
            QRect forms = centredUnder(button, neutralFormsText.width() + 4, neutralFormsText.height() + 2);
            forms.setWidth(forms.width() + marker.width() + 4);
            layout.neutralFormLabel = forms;
            tallest = std::max(tallest, forms.height());
            QRect natural = centredUnder(button, ((naturalText.width() + 4) & ~1) + marker.width() + 4,
                                         naturalText.height() + 2);
            layout.naturalFormLabel = natural;
            tallest = std::max(tallest, natural.height());
        }
        tallest = std::max(tallest, label.height());
        layout.labels << label;
    }
    for (QRect &label : layout.labels)
        label.setHeight(tallest);
    if (!layout.neutralFormLabel.isNull())
        layout.neutralFormLabel.setHeight(tallest);
    if (!layout.naturalFormLabel.isNull())
        layout.naturalFormLabel.setHeight(tallest);

    const int labelBottom = labelTop + tallest - 1;
    layout.schemeArea = schemeAreaBetween(widget.width(), labelBottom + 16, widget.height() - 33);
    return layout;
}

QRect schemeAreaBetween(int width, int top, int bottom)
{
    auto height = [&] { return bottom - top + 1; };
    while (height() > 0 && height() % 3 != 0)
        --bottom;
    ++bottom; // 3k + 1
    bool topFirst = true;
    while (height() > 100) {
        if (topFirst) {
            top += 1;
            bottom -= 2;
        } else {
            top += 2;
            bottom -= 1;
        }
        topFirst = !topFirst;
    }
    return QRect(QPoint(24, top), QPoint(width - 25, bottom));
}

QVector<QRect> layoutSchemeGrid(const QRect &area, const QVector<int> &groups, int perRow, int rows)
{
    QVector<QRect> cells;
    if (groups.isEmpty() || perRow <= 0 || rows <= 0 || area.width() <= 0)
        return cells;
    const int rowHeight = (area.bottom() - area.top() - 3) / 3;
    const int top = area.top() + ((3 - std::min(rows, 3)) * (rowHeight + 1)) / 2 + 1;
    int chipWidth = (area.right() - area.left()) / perRow;
    while (chipWidth > 0 && perRow * (chipWidth + 1) + 1 > area.width())
        --chipWidth;
    if (chipWidth <= 0 || rowHeight <= 0)
        return cells;

    int x = area.left() + 1;
    int y = top;
    for (int i = 0; i < groups.size(); ++i) {
        if (i > 0 && groups.at(i) != groups.at(i - 1)) {
            x = area.left() + 1;
            y += rowHeight + 1;
        }
        const QRect cell(x, y, chipWidth, rowHeight);
        if (cell.bottom() >= area.bottom())
            break;
        if (cell.right() < area.right())
            cells << cell;
        x += chipWidth + 1;
    }
    return cells;
}

PulvexSchemerLayout layoutPulvexSchemer(const QSize &widget, int lineHeight)
{
    PulvexSchemerLayout layout;
    const int w = widget.width();
    const int h = widget.height();
    const int column = (w - 32) / 3;
    const int contentBottom = h - 25 - lineHeight;
    const int labelTop = 12 + (contentBottom - 12 - 2 * (lineHeight + 5) - (column / 2 - 1) - 2) / 2;
    const int lefts[3] = {12, column + 16, 2 * column + 20};
    for (int i = 0; i < 3; ++i) {
        layout.labels[std::size_t(i)] = QRect(lefts[i], labelTop, column, lineHeight + 6);
        const int chipTop = layout.labels[std::size_t(i)].bottom() + lineHeight + 6;
        layout.chips[std::size_t(i)] = QRect(lefts[i], chipTop, column, column / 2);
    }
    layout.hintBand = QRect(12, h - 12 - lineHeight, w - 24, lineHeight);
    return layout;
}

} // namespace Vantor
