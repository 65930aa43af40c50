#include "ColourVision.h"

#include <algorithm>
#include <cmath>

namespace Vantor {

namespace {

double linearFromEncoded(int value)
{
    const double v = value / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

int encodedFromLinear(double value)
{
    const double v = std::clamp(value, 0.0, 1.0);
    const double encoded = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return int(std::lround(encoded * 255.0));
}

} // namespace

QString colourVisionName(ColourVision vision)
{
    switch (vision) {
    case ColourVision::Normal: return QStringLiteral("Normal vision");
    case ColourVision::Protanopia: return QStringLiteral("Protanopia");
    case ColourVision::Deuteranopia: return QStringLiteral("Deuteranopia");
    case ColourVision::Tritanopia: return QStringLiteral("Tritanopia");
    }
    return QString();
}

const VisionMatrix &colourVisionMatrix(ColourVision vision)
{
    static const VisionMatrix identity{{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
    static const VisionMatrix protanopia{{{0.152286, 1.052583, -0.204868},
                                          {0.114503, 0.786281, 0.099216},
                                          {-0.003882, -0.048116, 1.051998}}};
    static const VisionMatrix deuteranopia{{{0.367322, 0.860646, -0.227968},
                                            {0.280085, 0.672501, 0.047413},
                                            {-0.011820, 0.042940, 0.968881}}};
    static const VisionMatrix tritanopia{{{1.255528, -0.076749, -0.178779},
                                          {-0.078411, 0.930809, 0.147602},
                                          {0.004733, 0.691367, 0.303900}}};
    switch (vision) {
    case ColourVision::Protanopia: return protanopia;
    case ColourVision::Deuteranopia: return deuteranopia;
    case ColourVision::Tritanopia: return tritanopia;
    case ColourVision::Normal: break;
    }
    return identity;
}

QColor simulateColourVision(const QColor &colour, ColourVision vision)
{
    if (vision == ColourVision::Normal)
        return colour;
    const double rgb[3] = {linearFromEncoded(colour.red()), linearFromEncoded(colour.green()), linearFromEncoded(colour.blue())};
    const VisionMatrix &m = colourVisionMatrix(vision);
    int out[3];
    for (int row = 0; row < 3; ++row)
        out[row] = encodedFromLinear(m[row][0] * rgb[0] + m[row][1] * rgb[1] + m[row][2] * rgb[2]);
    return QColor(out[0], out[1], out[2], colour.alpha());
}

double lightReflectanceValue(const LabColour &lab)
{
    // The inverse of CIELAB's lightness function, Y relative to the white's 100.
    const double fy = (lab.l + 16.0) / 116.0;
    constexpr double delta = 6.0 / 29.0;
    const double y = fy > delta ? fy * fy * fy : 3.0 * delta * delta * (fy - 4.0 / 29.0);
    return std::clamp(100.0 * y, 0.0, 100.0);
}

} // namespace Vantor
