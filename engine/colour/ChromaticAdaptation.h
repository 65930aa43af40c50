#pragma once

// CIELab under other white points: the engine's CIELab is for daylight D65 and the 2°
// observer; measurement files and Adobe's swatch exchange files often give CIELab for
// D50. Values are carried over with the Bradford chromatic adaptation.

#include "ColourDifference.h"

#include <QString>

namespace Vantor {

// A white point as CIE XYZ with Y = 1.
struct WhitePoint
{
    double x = 0.95047;
    double y = 1.0;
    double z = 1.08883;
};

// The white point of the engine's CIELab: D65, 2° observer.
inline constexpr WhitePoint D65White{0.95047, 1.0, 1.08883};
// Where Adobe tools and ICC profiles put CIELab: D50, 2° observer.
inline constexpr WhitePoint D50White{0.96422, 1.0, 0.82521};

// The white point of a CIE illuminant named as CxF3 names them ("D50", "D65", "A", "F11"
// …) for the 2° or the 10° observer; false for a name without a tabulated white point
// (a custom illuminant).
bool illuminantWhitePoint(const QString &illuminant, bool tenDegreeObserver, WhitePoint &white);

// CIELab relative to `from` as CIELab relative to `to`, by the Bradford transform.
// Colours already under `to` come back unchanged.
LabColour adaptLab(const LabColour &lab, const WhitePoint &from, const WhitePoint &to = D65White);

} // namespace Vantor
