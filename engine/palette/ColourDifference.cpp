#include "ColourDifference.h"

#include <algorithm>
#include <cmath>

namespace Vantor {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2.0 * Pi;
constexpr double Pow25To7 = 6103515625.0;

constexpr double degrees(double value)
{
    return value * Pi / 180.0;
}

double linearised(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double labF(double t)
{
    constexpr double Epsilon = 216.0 / 24389.0;
    constexpr double Kappa = 24389.0 / 27.0;
    return t > Epsilon ? std::cbrt(t) : (t * Kappa + 16.0) / 116.0;
}

double pow7(double x)
{
    const double x2 = x * x;
    const double x3 = x2 * x;
    return x3 * x3 * x;
}

double hueAngle(double b, double aPrime)
{
    if (aPrime == 0.0 && b == 0.0)
        return 0.0;
    double h = std::atan2(b, aPrime);
    if (h < 0.0)
        h += TwoPi;
    return h;
}

} // namespace

LabColour labFromColour(const QColor &colour)
{
    const double r = linearised(colour.redF());
    const double g = linearised(colour.greenF());
    const double b = linearised(colour.blueF());
    const double x = 0.4124 * r + 0.3576 * g + 0.1805 * b;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = 0.0193 * r + 0.1192 * g + 0.9505 * b;
    const double fx = labF(x / 0.95047);
    const double fy = labF(y / 1.0);
    const double fz = labF(z / 1.08883);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double deltaE2000(const LabColour &first, const LabColour &second)
{
    const double c1 = std::sqrt(first.a * first.a + first.b * first.b);
    const double c2 = std::sqrt(second.a * second.a + second.b * second.b);
    const double cMean7 = pow7((c1 + c2) / 2.0);
    const double g = 0.5 * (1.0 - std::sqrt(cMean7 / (cMean7 + Pow25To7)));

    const double a1 = (1.0 + g) * first.a;
    const double a2 = (1.0 + g) * second.a;
    const double c1p = std::sqrt(a1 * a1 + first.b * first.b);
    const double c2p = std::sqrt(a2 * a2 + second.b * second.b);
    const double h1p = hueAngle(first.b, a1);
    const double h2p = hueAngle(second.b, a2);

    const double deltaLp = second.l - first.l;
    const double deltaCp = c2p - c1p;
    const double chromaProduct = c1p * c2p;
    double deltahp = 0.0;
    if (chromaProduct != 0.0) {
        deltahp = h2p - h1p;
        if (deltahp > Pi)
            deltahp -= TwoPi;
        else if (deltahp < -Pi)
            deltahp += TwoPi;
    }
    const double deltaHp = 2.0 * std::sqrt(chromaProduct) * std::sin(deltahp / 2.0);

    const double lMean = (first.l + second.l) / 2.0;
    const double cMeanP = (c1p + c2p) / 2.0;
    double hMean = h1p + h2p;
    if (chromaProduct != 0.0) {
        if (std::fabs(h1p - h2p) <= Pi)
            hMean = (h1p + h2p) / 2.0;
        else if (h1p + h2p < TwoPi)
            hMean = (h1p + h2p + TwoPi) / 2.0;
        else
            hMean = (h1p + h2p - TwoPi) / 2.0;
    }

    const double t = 1.0 - 0.17 * std::cos(hMean - degrees(30.0)) + 0.24 * std::cos(2.0 * hMean)
        + 0.32 * std::cos(3.0 * hMean + degrees(6.0)) - 0.20 * std::cos(4.0 * hMean - degrees(63.0));
    const double hMeanDegrees = hMean * 180.0 / Pi;
    const double deltaTheta = degrees(30.0) * std::exp(-std::pow((hMeanDegrees - 275.0) / 25.0, 2.0));
    const double cMeanP7 = pow7(cMeanP);
    const double rc = 2.0 * std::sqrt(cMeanP7 / (cMeanP7 + Pow25To7));
    const double rt = -std::sin(2.0 * deltaTheta) * rc;

    const double lOffset = (lMean - 50.0) * (lMean - 50.0);
    const double sl = 1.0 + 0.015 * lOffset / std::sqrt(20.0 + lOffset);
    const double sc = 1.0 + 0.045 * cMeanP;
    const double sh = 1.0 + 0.015 * cMeanP * t;

    const double termL = deltaLp / sl;
    const double termC = deltaCp / sc;
    const double termH = deltaHp / sh;
    return std::sqrt(termL * termL + termC * termC + termH * termH + rt * termC * termH);
}

QVector<ColourMatch> nearestColours(const LabColour &target, const QVector<DB::LabCandidate> &candidates, int count)
{
    QVector<ColourMatch> matches;
    if (count <= 0)
        return matches;
    matches.reserve(count + 1);
    for (const DB::LabCandidate &candidate : candidates) {
        const double difference = deltaE2000(target, {candidate.l, candidate.a, candidate.b});
        // After any equal difference already listed, so the earlier candidate stays first.
        const auto position = std::upper_bound(matches.begin(), matches.end(), difference,
                                               [](double d, const ColourMatch &match) { return d < match.first; });
        const auto index = position - matches.begin();
        if (index >= count)
            continue;
        matches.insert(index, ColourMatch(difference, candidate.rowId));
        if (matches.size() > count)
            matches.removeLast();
    }
    return matches;
}

} // namespace Vantor
