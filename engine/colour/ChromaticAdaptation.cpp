#include "ChromaticAdaptation.h"

#include <QHash>

#include <cmath>

namespace Vantor {

namespace {

constexpr double Epsilon = 216.0 / 24389.0;
constexpr double Kappa = 24389.0 / 27.0;

double labF(double t)
{
    return t > Epsilon ? std::cbrt(t) : (t * Kappa + 16.0) / 116.0;
}

double labFInverse(double f)
{
    const double cube = f * f * f;
    return cube > Epsilon ? cube : (116.0 * f - 16.0) / Kappa;
}

// The Bradford cone response matrix.
constexpr double Bradford[3][3] = {{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}};

struct Matrix
{
    double m[3][3];
};

// Its inverse to full precision, so that a colour carried to another white and back
// comes back as it was.
Matrix inverted(const double a[3][3])
{
    Matrix inverse;
    const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
        + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            // The cofactor of (column, row), transposed.
            const int r1 = (column + 1) % 3, r2 = (column + 2) % 3, c1 = (row + 1) % 3, c2 = (row + 2) % 3;
            inverse.m[row][column] = (a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1]) / det;
        }
    }
    return inverse;
}

const Matrix &bradfordInverse()
{
    static const Matrix inverse = inverted(Bradford);
    return inverse;
}

void multiply(const double m[3][3], const double in[3], double out[3])
{
    for (int row = 0; row < 3; ++row)
        out[row] = m[row][0] * in[0] + m[row][1] * in[1] + m[row][2] * in[2];
}

} // namespace

bool illuminantWhitePoint(const QString &illuminant, bool tenDegreeObserver, WhitePoint &white)
{
    // Tabulated white points (CIE 15, ASTM E308), Y = 1: 2° observer, then 10°.
    static const QHash<QString, std::pair<WhitePoint, WhitePoint>> table{
        {QStringLiteral("A"), {{1.09850, 1.0, 0.35585}, {1.11144, 1.0, 0.35200}}},
        {QStringLiteral("B"), {{0.99072, 1.0, 0.85223}, {0.99178, 1.0, 0.84349}}},
        {QStringLiteral("C"), {{0.98074, 1.0, 1.18232}, {0.97285, 1.0, 1.16145}}},
        {QStringLiteral("D50"), {{0.96422, 1.0, 0.82521}, {0.96720, 1.0, 0.81427}}},
        {QStringLiteral("D55"), {{0.95682, 1.0, 0.92149}, {0.95799, 1.0, 0.90926}}},
        {QStringLiteral("D60"), {{0.95264, 1.0, 1.00882}, {0.95130, 1.0, 0.99719}}},
        {QStringLiteral("D65"), {{0.95047, 1.0, 1.08883}, {0.94811, 1.0, 1.07304}}},
        {QStringLiteral("D75"), {{0.94972, 1.0, 1.22638}, {0.94416, 1.0, 1.20641}}},
        {QStringLiteral("E"), {{1.0, 1.0, 1.0}, {1.0, 1.0, 1.0}}},
        {QStringLiteral("F2"), {{0.99187, 1.0, 0.67395}, {1.03280, 1.0, 0.69026}}},
        {QStringLiteral("F7"), {{0.95044, 1.0, 1.08755}, {0.95792, 1.0, 1.07687}}},
        {QStringLiteral("F11"), {{1.00966, 1.0, 0.64370}, {1.03866, 1.0, 0.65627}}},
    };
    const auto found = table.constFind(illuminant.trimmed().toUpper());
    if (found == table.constEnd())
        return false;
    white = tenDegreeObserver ? found->second : found->first;
    return true;
}

LabColour adaptLab(const LabColour &lab, const WhitePoint &from, const WhitePoint &to)
{
    if (from.x == to.x && from.y == to.y && from.z == to.z)
        return lab;
    clearUpperVectorHalves();
    const double fy = (lab.l + 16.0) / 116.0;
    const double fx = fy + lab.a / 500.0;
    const double fz = fy - lab.b / 200.0;
    const double xyz[3] = {labFInverse(fx) * from.x, labFInverse(fy) * from.y, labFInverse(fz) * from.z};

    // Cone responses, scaled by the ratio of the two whites' responses.
    const double fromWhite[3] = {from.x, from.y, from.z};
    const double toWhite[3] = {to.x, to.y, to.z};
    double cones[3], fromCones[3], toCones[3];
    multiply(Bradford, xyz, cones);
    multiply(Bradford, fromWhite, fromCones);
    multiply(Bradford, toWhite, toCones);
    for (int i = 0; i < 3; ++i)
        cones[i] *= toCones[i] / fromCones[i];
    double adapted[3];
    multiply(bradfordInverse().m, cones, adapted);

    const double gx = labF(adapted[0] / to.x);
    const double gy = labF(adapted[1] / to.y);
    const double gz = labF(adapted[2] / to.z);
    return {116.0 * gy - 16.0, 500.0 * (gx - gy), 200.0 * (gy - gz)};
}

} // namespace Vantor
