#include "ColorWheelGeometry.h"

#include <cmath>

namespace Vantor {

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2 * Pi;
constexpr double CentreX = 60.0;
constexpr double CentreY = 61.0;
} // namespace

QVector<SegmentRange> segmentRanges(int segmentCount, double firstAngle, int orientation,
                                    const QVector<int> &availableSegments)
{
    QVector<SegmentRange> ranges;
    if (segmentCount < 1)
        return ranges;
    const double span = TwoPi / segmentCount;
    const double half = span / 2;
    auto add = [&ranges](double from, double to, int segment) { ranges.append({from, to, true, true, segment}); };

    if (orientation == 2) {
        double start = firstAngle - half;
        for (int i = 1; i <= segmentCount; ++i) {
            double end = start + span;
            if (end > TwoPi) {
                end -= TwoPi;
                if (availableSegments.contains(i)) {
                    add(0, end, i);
                    if (start < TwoPi)
                        add(start, TwoPi, i);
                }
            } else if (availableSegments.contains(i)) {
                add(start, end, i);
            }
            start = end;
        }
    } else {
        double start = firstAngle + half;
        for (int i = 1; i <= segmentCount; ++i) {
            double end = start - span;
            if (end < 0) {
                end += TwoPi;
                if (availableSegments.contains(i)) {
                    add(end, TwoPi, i);
                    if (start > 0)
                        add(0, start, i);
                }
            } else if (availableSegments.contains(i)) {
                add(end, start, i);
            }
            start = end;
        }
    }
    return ranges;
}

double wheelRadius(const QPoint &point)
{
    return std::hypot(point.x() - CentreX, CentreY - point.y());
}

double wheelAngle(const QPoint &point)
{
    const double dx = point.x() - CentreX;
    const double dy = CentreY - point.y();
    const double r = std::hypot(dx, dy);
    if (r == 0)
        return 0;
    const double a = std::asin(std::fabs(dy) / r);
    if (dx < 0)
        return dy >= 0 ? Pi - a : Pi + a;
    return dy < 0 ? TwoPi - a : a;
}

int segmentAt(const QVector<SegmentRange> &ranges, const QPoint &point, double hitRadius)
{
    const double r = wheelRadius(point);
    if (r > hitRadius || r <= 0)
        return 0;
    const double angle = wheelAngle(point);
    for (const SegmentRange &range : ranges) {
        if (range.contains(angle))
            return range.segment;
    }
    return 0;
}

} // namespace Vantor
