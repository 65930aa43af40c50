#include "ColourDifference.h"

#include <QMutex>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace Vantor {

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
namespace {
__attribute__((target("avx"))) void clearUpperVectorHalvesWithAvx()
{
    __builtin_ia32_vzeroupper();
}
} // namespace

void clearUpperVectorHalves()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        clearUpperVectorHalvesWithAvx();
}
#else
void clearUpperVectorHalves()
{
}
#endif

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
    clearUpperVectorHalves();
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

QColor colourFromLab(const LabColour &lab)
{
    // CIELab (D65) to XYZ, then to linear sRGB and its encoding, each channel clipped.
    constexpr double Epsilon = 216.0 / 24389.0;
    constexpr double Kappa = 24389.0 / 27.0;
    const double fy = (lab.l + 16.0) / 116.0;
    const double fx = fy + lab.a / 500.0;
    const double fz = fy - lab.b / 200.0;
    auto inverse = [](double f) { return f * f * f > Epsilon ? f * f * f : (116.0 * f - 16.0) / Kappa; };
    const double x = 0.95047 * inverse(fx);
    const double y = lab.l > Kappa * Epsilon ? fy * fy * fy : lab.l / Kappa;
    const double z = 1.08883 * inverse(fz);
    auto encoded = [](double linear) {
        linear = std::clamp(linear, 0.0, 1.0);
        return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    };
    return QColor::fromRgbF(float(encoded(3.2404542 * x - 1.5371385 * y - 0.4985314 * z)),
                            float(encoded(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z)),
                            float(encoded(0.0556434 * x - 0.2040259 * y + 1.0572252 * z)));
}

LabColour chipLab(const DB::ColorEntry &chip)
{
    const QColor rgb(chip.red, chip.green, chip.blue);
    const bool stored = chip.l != 0.0 || chip.a != 0.0 || chip.b != 0.0 || rgb == QColor(Qt::black);
    return stored ? LabColour{chip.l, chip.a, chip.b} : labFromColour(rgb);
}

double deltaE2000(const LabColour &first, const LabColour &second)
{
    clearUpperVectorHalves();
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

namespace {

// S_L of CIEDE2000 for a mean lightness.
double lightnessWeight(double meanL)
{
    const double offset = (meanL - 50.0) * (meanL - 50.0);
    return 1.0 + 0.015 * offset / std::sqrt(20.0 + offset);
}

double hueDegrees(double a, double b)
{
    double h = std::atan2(b, a) * 180.0 / Pi;
    return h < 0.0 ? h + 360.0 : h;
}

// A floor under ΔE00² from a target to candidates, far cheaper than ΔE00 itself, so that
// most candidates of a search need no exact difference.
//
// ΔE00² = (ΔL'/S_L)² + Q, Q = x² + y² + R_T·x·y, x = ΔC'/S_C, y = ΔH'/S_H. Then
// Q ≥ x²·(1 − R_T²/4) (the least over y) and Q ≥ (x² + y²)·(1 − |R_T|/2). Further:
// - C' lies between C* and (1 + G)·C*, so |ΔC'| ≥ |ΔC*| − G·(the smaller C*);
// - ΔC'² + ΔH'² is the distance² in the (a', b) plane, at least the one in (a*, b*);
// - S_H ≤ S_C (T < 3) and S_C ≤ 1 + 0.045·(1 + G)·(the mean C*);
// - |R_T| = R_C·sin(2Δθ) < √3, and smaller away from blue: the mean hue h̄' lies within
//   the most scaling a* by up to 1.5 turns a hue (11.54°) of the mean of the two hues.
class DifferenceFloor
{
public:
    DifferenceFloor(const LabColour &target, double largestLightnessWeight)
        : m_target(target)
        , m_chroma(std::sqrt(target.a * target.a + target.b * target.b))
        , m_hue(hueDegrees(target.a, target.b))
        , m_lightnessWeight(largestLightnessWeight)
    {
    }

    // Whether ΔE00² to the candidate is surely above `limit`.
    bool exceeds(double limit, double l, double a, double b, double chroma, double hue) const
    {
        const double lightness = (l - m_target.l) / m_lightnessWeight;
        const double lightness2 = lightness * lightness;
        if (lightness2 > limit)
            return true;
        const double da = a - m_target.a;
        const double db = b - m_target.b;
        const double distance2 = da * da + db * db;
        {
            // First without G, at its least (0) for the gap and its largest (½) for S_C:
            // most far candidates end here without the seventh powers.
            const double largestScale = 1.0 + 0.0675 * (m_chroma + chroma) / 2.0;
            const double gap = std::max(0.0, std::fabs(m_chroma - chroma) - 0.5 * std::min(m_chroma, chroma)) / largestScale;
            if (lightness2 + std::max(gap * gap / 4.0, distance2 / (largestScale * largestScale) * (1.0 - std::sqrt(3.0) / 2.0))
                > limit)
                return true;
        }
        const double meanChroma = (m_chroma + chroma) / 2.0;
        const double meanChroma7 = pow7(meanChroma);
        const double g = 0.5 * (1.0 - std::sqrt(meanChroma7 / (meanChroma7 + Pow25To7)));
        const double scale = 1.0 + 0.045 * (1.0 + g) * meanChroma;
        const double chromaGap = std::max(0.0, std::fabs(m_chroma - chroma) - g * std::min(m_chroma, chroma)) / scale;
        const double plane = distance2 / (scale * scale);
        const double chroma2 = chromaGap * chromaGap;
        // |R_T| < √3 everywhere.
        if (lightness2 + std::max(chroma2 / 4.0, plane * (1.0 - std::sqrt(3.0) / 2.0)) > limit)
            return true;
        const double rotation = rotationCeiling((1.0 + g) * meanChroma, hue, m_chroma, chroma);
        return lightness2 + std::max(chroma2 * (1.0 - rotation * rotation / 4.0), plane * (1.0 - rotation / 2.0)) > limit;
    }

private:
    // A ceiling of |R_T| for a mean C' of at most `meanChromaPrime`.
    double rotationCeiling(double meanChromaPrime, double hue, double chroma1, double chroma2) const
    {
        const double c7 = pow7(meanChromaPrime);
        const double rc = 2.0 * std::sqrt(c7 / (c7 + Pow25To7));
        double theta = 30.0; // degrees, where the mean hue is not known well enough
        double apart = std::fabs(hue - m_hue);
        if (apart > 180.0)
            apart = 360.0 - apart;
        if (std::min(chroma1, chroma2) >= 1.0 && apart <= 150.0) {
            double toSecond = hue - m_hue;
            if (toSecond > 180.0)
                toSecond -= 360.0;
            else if (toSecond < -180.0)
                toSecond += 360.0;
            const double middle = m_hue + toSecond / 2.0;
            const double low = middle - 11.6;
            const double high = middle + 11.6;
            // The mean hue is taken in [0°, 360°) and its distance to 275° is not
            // circular: the least over the interval and its copies a turn away.
            double distance = 360.0;
            for (double shift : {-360.0, 0.0, 360.0})
                distance = std::min(distance, std::max({0.0, low + shift - 275.0, 275.0 - (high + shift)}));
            return std::min(std::sqrt(3.0), rc * rotationSine(distance) * (1.0 + 1e-9) + 1e-12);
        }
        return std::min(std::sqrt(3.0), rc * std::sin(degrees(2.0 * theta)) * (1.0 + 1e-9) + 1e-12);
    }

    // sin(2Δθ) for a mean hue at least `distance` degrees from 275°, from a table by whole
    // degrees rounded down: never less than the value at the distance itself.
    static double rotationSine(double distance)
    {
        static const std::array<double, 182> table = [] {
            std::array<double, 182> values{};
            for (std::size_t d = 0; d < values.size(); ++d) {
                const double theta = 30.0 * std::exp(-(double(d) / 25.0) * (double(d) / 25.0));
                values[d] = std::sin(degrees(2.0 * theta)) * (1.0 + 1e-9);
            }
            return values;
        }();
        return table[std::size_t(std::clamp(distance, 0.0, 181.0))];
    }

    LabColour m_target;
    double m_chroma;
    double m_hue;
    double m_lightnessWeight;
};

// The plain pass over every candidate in list order.
QVector<ColourMatch> nearestByFullScan(const LabColour &target, const QVector<DB::LabCandidate> &candidates, int count)
{
    QVector<ColourMatch> matches;
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

} // namespace

NearestColourIndex::NearestColourIndex(const QVector<DB::LabCandidate> &candidates)
    : m_list(candidates)
{
    const int n = int(candidates.size());
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        order[std::size_t(i)] = i;
        const DB::LabCandidate &c = candidates.at(i);
        m_finite = m_finite && std::isfinite(c.l) && std::isfinite(c.a) && std::isfinite(c.b);
    }
    if (m_finite)
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return candidates.at(x).l < candidates.at(y).l; });
    for (std::vector<double> *values : {&m_l, &m_a, &m_b, &m_chroma, &m_hue})
        values->reserve(order.size());
    m_place.reserve(order.size());
    for (int i : order) {
        const DB::LabCandidate &c = candidates.at(i);
        m_l.push_back(c.l);
        m_a.push_back(c.a);
        m_b.push_back(c.b);
        m_chroma.push_back(std::sqrt(c.a * c.a + c.b * c.b));
        m_hue.push_back(hueDegrees(c.a, c.b));
        m_place.push_back(i);
    }
    // Within each slab of consecutive lightness, the positions by chroma.
    m_byChroma.resize(m_l.size());
    for (std::size_t i = 0; i < m_l.size(); ++i)
        m_byChroma[i] = int(i);
    if (m_finite) {
        for (std::size_t start = 0; start < m_l.size(); start += SlabSize) {
            const auto end = m_byChroma.begin() + std::ptrdiff_t(std::min(m_l.size(), start + SlabSize));
            std::sort(m_byChroma.begin() + std::ptrdiff_t(start), end, [this](int x, int y) {
                return m_chroma[std::size_t(x)] < m_chroma[std::size_t(y)];
            });
        }
    }
}

QVector<ColourMatch> NearestColourIndex::nearest(const LabColour &target, int count) const
{
    clearUpperVectorHalves();
    if (count <= 0 || m_list.isEmpty())
        return {};
    // Values that are not numbers order nothing: the plain pass decides as it always did.
    if (!m_finite || !std::isfinite(target.l) || !std::isfinite(target.a) || !std::isfinite(target.b))
        return nearestByFullScan(target, m_list, count);

    // ΔE00 ≥ |ΔL| / S_L ≥ |ΔL| / (the largest S_L any candidate can give): walking out from
    // the target's L* slab by slab, a side ends where that bound passes the worst of the
    // best found, since nothing beyond it can be nearer, nor as near. Within a slab the
    // chroma difference bounds the same way; the floor passes over the candidates it
    // shows farther. The margins cover rounding.
    const std::size_t n = m_l.size();
    const double largestWeight = std::max(lightnessWeight((target.l + m_l.front()) / 2.0),
                                          lightnessWeight((target.l + m_l.back()) / 2.0));
    const double margin = 1.0 + 1e-9;
    const DifferenceFloor floor(target, largestWeight);
    SmallestScores best(count);
    auto limit = [&] { return best.worst() * best.worst() * margin; };
    // The least ΔE00² a candidate of this chroma can have for the chroma difference alone
    // (the floor's first test): it falls towards the target's chroma and rises beyond it.
    const double targetChroma = std::sqrt(target.a * target.a + target.b * target.b);
    auto chromaFloor = [targetChroma](double chroma) {
        const double largestScale = 1.0 + 0.0675 * (targetChroma + chroma) / 2.0;
        const double gap = std::max(0.0, std::fabs(targetChroma - chroma) - 0.5 * std::min(targetChroma, chroma)) / largestScale;
        return gap * gap / 4.0;
    };
    auto visit = [&](std::size_t i) {
        if (best.full() && floor.exceeds(limit(), m_l[i], m_a[i], m_b[i], m_chroma[i], m_hue[i]))
            return;
        best.offer(deltaE2000(target, {m_l[i], m_a[i], m_b[i]}), m_place[i]);
    };
    // A slab: outwards from the target's chroma in both directions, each ending where the
    // lightness gap to the slab and the chroma floor together pass the worst of the best.
    // False when the slab lies beyond reach by lightness alone, and so every slab past it.
    auto visitSlab = [&](std::size_t slab) {
        const std::size_t from = slab * SlabSize;
        const std::size_t to = std::min(n, from + SlabSize);
        const double gapL = std::max({0.0, m_l[from] - target.l, target.l - m_l[to - 1]}) / largestWeight;
        const double gapL2 = gapL * gapL;
        if (best.full() && gapL2 > limit())
            return false;
        const auto first = m_byChroma.begin() + std::ptrdiff_t(from);
        const auto last = m_byChroma.begin() + std::ptrdiff_t(to);
        const auto middle = std::lower_bound(first, last, targetChroma,
                                             [this](int position, double c) { return m_chroma[std::size_t(position)] < c; });
        for (auto it = middle; it != last; ++it) {
            const std::size_t i = std::size_t(*it);
            if (best.full() && gapL2 + chromaFloor(m_chroma[i]) > limit())
                break;
            visit(i);
        }
        for (auto it = middle; it != first;) {
            const std::size_t i = std::size_t(*--it);
            if (best.full() && gapL2 + chromaFloor(m_chroma[i]) > limit())
                break;
            visit(i);
        }
        return true;
    };
    const std::size_t slabs = (n + SlabSize - 1) / SlabSize;
    const std::size_t home = std::min(slabs - 1, std::size_t(std::lower_bound(m_l.begin(), m_l.end(), target.l) - m_l.begin()) / SlabSize);
    std::size_t up = home;     // the next slab upwards
    std::size_t down = home;   // slabs below `down` are still to be seen
    bool upOpen = true;
    bool downOpen = home > 0;
    while (upOpen || downOpen) {
        if (upOpen) {
            upOpen = visitSlab(up) && ++up < slabs;
        }
        if (downOpen) {
            downOpen = visitSlab(down - 1) && --down > 0;
        }
    }
    QVector<ColourMatch> matches;
    for (const auto &[difference, place] : best.best())
        matches << ColourMatch(difference, m_list.at(place).rowId);
    return matches;
}

QVector<ColourMatch> nearestColours(const LabColour &target, const QVector<DB::LabCandidate> &candidates, int count)
{
    if (count <= 0 || candidates.isEmpty())
        return {};
    // The engine's lists are those of collections, which do not change while the process
    // runs: each is laid out once and kept, a few at a time (the current collection's and
    // a scheme collection's). Any thread may search: the cache is shared under a lock, and
    // a layout in use is kept alive by its searcher even when another thread drops it.
    static QMutex mutex;
    static std::vector<std::shared_ptr<const NearestColourIndex>> cache;
    std::shared_ptr<const NearestColourIndex> index;
    {
        const QMutexLocker lock(&mutex);
        for (const auto &known : cache) {
            if (known->candidates().constData() == candidates.constData() && known->candidates().size() == candidates.size())
                index = known;
        }
        if (!index) {
            if (cache.size() >= 4)
                cache.erase(cache.begin());
            cache.push_back(std::make_shared<const NearestColourIndex>(candidates));
            index = cache.back();
        }
    }
    return index->nearest(target, count);
}

} // namespace Vantor
