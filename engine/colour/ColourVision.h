#pragma once

// How colours look to people with a colour-vision deficiency, and how much light they
// reflect: for checking that neighbouring surfaces of a scheme can be told apart.

#include "ColourDifference.h"

#include <QColor>
#include <QString>

#include <array>

namespace Vantor {

enum class ColourVision { Normal, Protanopia, Deuteranopia, Tritanopia };

inline constexpr std::array<ColourVision, 4> AllColourVisions{ColourVision::Normal, ColourVision::Protanopia,
                                                             ColourVision::Deuteranopia, ColourVision::Tritanopia};

// "Normal vision", "Protanopia", …: what a control or a board row is called.
QString colourVisionName(ColourVision vision);

// The simulation matrix, applied to linear RGB, of Machado, Oliveira and Fernandes
// (2009) at full severity; the identity for normal vision. Rows sum to one, so greys
// stay as they are.
using VisionMatrix = std::array<std::array<double, 3>, 3>;
const VisionMatrix &colourVisionMatrix(ColourVision vision);

// The sRGB colour as seen with the deficiency: linearised, the matrix applied, clipped
// to the sRGB gamut and encoded again.
QColor simulateColourVision(const QColor &colour, ColourVision vision);

// The light reflectance value: the colour's CIE Y on a scale of 0 (black) to 100 (the
// white of the illuminant), from its CIELAB lightness.
double lightReflectanceValue(const LabColour &lab);

// Guidance for people with low vision (BS 8300, for one) asks neighbouring surfaces such
// as walls and doors or floors to differ by at least this many points of LRV.
inline constexpr double MinimumLrvContrast = 30.0;

} // namespace Vantor
