#pragma once

// Colour difference arithmetic: sRGB to CIELAB (D65) and the CIEDE2000 difference, and
// the nearest colours of a candidate list.

#include "engine/db/CapsureQueries.h"

#include <QColor>
#include <QVector>

#include <utility>

namespace Vantor {

struct LabColour
{
    double l = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// (difference, ROW id), ascending by difference.
using ColourMatch = std::pair<double, qint64>;

LabColour labFromColour(const QColor &colour);
double deltaE2000(const LabColour &first, const LabColour &second);

// The `count` candidates nearest to the target; among equal differences the one
// earlier in the list comes first.
QVector<ColourMatch> nearestColours(const LabColour &target, const QVector<DB::LabCandidate> &candidates, int count);

} // namespace Vantor
