#include "MoodSelectLayout.h"

#include <algorithm>

namespace Vantor {

namespace {
enum { Fresh, Warm, Calm, Rich, OffWhite, Neutral };
}

QSize checkLineSize(const QSize &tick, const QSize &text)
{
    return QSize(tick.width() + text.width() + 5, std::max(text.height(), tick.height()));
}

MoodSelectLayout layoutNormalMoodSelect(const MoodSelectMetrics &m)
{
    MoodSelectLayout layout;
    // The row of fresh, calm, warm and rich, left to right.
    const int rowOrder[] = {Fresh, Calm, Warm, Rich};
    int rowWidth = 9;
    int rowHeight = 0;
    for (int mood : rowOrder) {
        rowWidth += m.buttonSizes[mood].width();
        rowHeight = std::max(rowHeight, m.buttonSizes[mood].height());
    }
    const QSize allMoods = checkLineSize(m.tickSize, m.allMoodsText);
    const int leftBlock = std::max(rowWidth, allMoods.width());

    int x = (leftBlock - rowWidth) / 2 + 4;
    for (int mood : rowOrder) {
        layout.moodButtons[mood] = QRect(QPoint(x, 4), m.buttonSizes[mood]);
        x += m.buttonSizes[mood].width() + 3;
    }
    layout.moodButtons[OffWhite] = QRect(QPoint(leftBlock + 10, 4), m.buttonSizes[OffWhite]);
    layout.moodButtons[Neutral] = QRect(QPoint(leftBlock + 10, layout.moodButtons[OffWhite].bottom() + 1), m.buttonSizes[Neutral]);
    const int column = std::max(m.buttonSizes[OffWhite].width(), m.buttonSizes[Neutral].width());
    const int columnHeight = m.buttonSizes[OffWhite].height() + m.buttonSizes[Neutral].height() - 1;

    const int w = std::max(rowHeight + allMoods.height() + 6, columnHeight);
    layout.allMoodsRect = QRect(QPoint((leftBlock - allMoods.width()) / 2 + 4, w - allMoods.height() + 4),
                                QPoint((leftBlock - allMoods.width()) / 2 + 4 + allMoods.width() - 1, w + 3));

    const int rowLeft = layout.moodButtons[Fresh].left();
    layout.separatorLines[0] = QLine(rowLeft, layout.moodButtons[Fresh].bottom() + 4, layout.moodButtons[Rich].right(),
                                     layout.moodButtons[Fresh].bottom() + 4);
    layout.separatorLines[1] = QLine(leftBlock + 9, 4, leftBlock + 9, layout.moodButtons[Neutral].bottom() - 3);

    if (m.hasExteriorFilter) {
        const QSize exterior = checkLineSize(m.tickSize, m.exteriorText);
        const int ex = (column + leftBlock + 6 - exterior.width()) / 2 + 4;
        layout.exteriorRect = QRect(QPoint(ex, w + 10), QPoint(ex + exterior.width() - 1, w + 9 + exterior.height()));
        layout.separatorLines[2] = QLine(rowLeft, w + 6, layout.moodButtons[Neutral].right(), w + 6);
        layout.size = QSize(column + leftBlock + 13, w + exterior.height() + 14);
    } else {
        layout.size = QSize(column + leftBlock + 13, w + 8);
    }
    return layout;
}

MoodSelectLayout layoutPulvexMoodSelect(const MoodSelectMetrics &m)
{
    MoodSelectLayout layout;
    const QSize line = checkLineSize(m.tickSize, m.mtoText);
    layout.mtoRect = QRect(QPoint(3, 3), QPoint(line.width() + 2, line.height() + 2));
    layout.size = QSize(line.width() + 6, line.height() + 6);
    return layout;
}

} // namespace Vantor
