#pragma once

#include <QLine>
#include <QRect>
#include <QSize>
#include <array>

namespace Vantor {

// Where the mood selector puts its parts, as a pure function of the sizes of its
// pictures and texts.
struct MoodSelectLayout
{
    std::array<QRect, 6> moodButtons; // fresh, warm, calm, rich, off-white, neutral (mood order)
    QRect allMoodsRect;
    QRect exteriorRect;
    QRect mtoRect;
    std::array<QLine, 3> separatorLines; // under the row, left of the column, above the exterior line
    QSize size;
};

struct MoodSelectMetrics
{
    // Normal picture sizes in mood order: fresh, warm, calm, rich, off-white, neutral.
    std::array<QSize, 6> buttonSizes;
    QSize tickSize;
    QSize allMoodsText;
    QSize exteriorText;
    QSize mtoText;
    bool hasExteriorFilter = true;
};

// A check line: the tick, 3 pixels, the text; its width tick + text + 5.
QSize checkLineSize(const QSize &tick, const QSize &text);

MoodSelectLayout layoutNormalMoodSelect(const MoodSelectMetrics &metrics);
MoodSelectLayout layoutPulvexMoodSelect(const MoodSelectMetrics &metrics);

} // namespace Vantor
