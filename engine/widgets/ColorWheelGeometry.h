#pragma once

#include <QPoint>
#include <QVector>

namespace Vantor {

// One angular interval of the wheel that selects a segment. Angles in radians, in the
// mathematical orientation (0 points right, growing counter-clockwise on screen).
struct SegmentRange
{
    double from = 0;
    double to = 0;
    bool fromInclusive = true;
    bool toInclusive = true;
    int segment = 0;

    bool contains(double angle) const
    {
        return (fromInclusive ? angle >= from : angle > from) && (toInclusive ? angle <= to : angle < to);
    }
};

// The hit ranges of the segments that have cards, in hit-test order. Empty for a wheel
// without segments. `firstAngle` in radians; orientation 2 counter-clockwise, anything
// else clockwise.
QVector<SegmentRange> segmentRanges(int segmentCount, double firstAngle, int orientation,
                                    const QVector<int> &availableSegments);

// The angle of a point of the 122 × 122 wheel around its centre (60, 61), in [0, 2π).
double wheelAngle(const QPoint &point);
// The distance of a point from the wheel's centre.
double wheelRadius(const QPoint &point);

// The segment a press at the point selects: 0 when it hits no range.
int segmentAt(const QVector<SegmentRange> &ranges, const QPoint &point, double hitRadius);

} // namespace Vantor
