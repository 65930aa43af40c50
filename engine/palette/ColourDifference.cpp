#include "ColourDifference.h"

#include <algorithm>
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

// A candidate list laid out for the search: sorted by L*, with each candidate's place in
// the list it came from. Prepared once per list and kept: the engine's lists are those
// of collections, which do not change while the process runs.
struct SortedCandidates
{
    QVector<DB::LabCandidate> list; // holds the list's data, so its address names it
    std::vector<double> l, a, b;
    std::vector<int> place;
    bool finite = true;
};

const SortedCandidates &sortedCandidates(const QVector<DB::LabCandidate> &candidates)
{
    static std::vector<std::unique_ptr<SortedCandidates>> cache;
    for (const auto &known : cache) {
        if (known->list.constData() == candidates.constData() && known->list.size() == candidates.size())
            return *known;
    }
    auto sorted = std::make_unique<SortedCandidates>();
    sorted->list = candidates;
    const int n = int(candidates.size());
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        order[std::size_t(i)] = i;
        const DB::LabCandidate &c = candidates.at(i);
        sorted->finite = sorted->finite && std::isfinite(c.l) && std::isfinite(c.a) && std::isfinite(c.b);
    }
    if (sorted->finite)
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return candidates.at(x).l < candidates.at(y).l; });
    for (int i : order) {
        const DB::LabCandidate &c = candidates.at(i);
        sorted->l.push_back(c.l);
        sorted->a.push_back(c.a);
        sorted->b.push_back(c.b);
        sorted->place.push_back(i);
    }
    // A few lists at a time: the current collection's and a scheme collection's.
    if (cache.size() >= 4)
        cache.erase(cache.begin());
    cache.push_back(std::move(sorted));
    return *cache.back();
}

// S_L of CIEDE2000 for a mean lightness.
double lightnessWeight(double meanL)
{
    const double offset = (meanL - 50.0) * (meanL - 50.0);
    return 1.0 + 0.015 * offset / std::sqrt(20.0 + offset);
}

// The `count` best of the candidates seen, by difference and then by place in the list.
class BestMatches
{
public:
    explicit BestMatches(int count)
        : m_count(count)
    {
    }
    bool full() const { return int(m_best.size()) == m_count; }
    double worst() const { return m_best.back().difference; }
    void offer(double difference, int place)
    {
        const Entry entry{difference, place};
        const auto position = std::upper_bound(m_best.begin(), m_best.end(), entry);
        if (position - m_best.begin() >= m_count)
            return;
        m_best.insert(position, entry);
        if (int(m_best.size()) > m_count)
            m_best.pop_back();
    }
    QVector<ColourMatch> matches(const QVector<DB::LabCandidate> &candidates) const
    {
        QVector<ColourMatch> result;
        for (const Entry &entry : m_best)
            result << ColourMatch(entry.difference, candidates.at(entry.place).rowId);
        return result;
    }

private:
    struct Entry
    {
        double difference;
        int place;
        bool operator<(const Entry &other) const
        {
            return difference < other.difference || (difference == other.difference && place < other.place);
        }
    };
    int m_count;
    std::vector<Entry> m_best;
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

QVector<ColourMatch> nearestColours(const LabColour &target, const QVector<DB::LabCandidate> &candidates, int count)
{
    clearUpperVectorHalves();
    if (count <= 0 || candidates.isEmpty())
        return {};
    const SortedCandidates &sorted = sortedCandidates(candidates);
    // Values that are not numbers order nothing: the plain pass decides as it always did.
    if (!sorted.finite || !std::isfinite(target.l) || !std::isfinite(target.a) || !std::isfinite(target.b))
        return nearestByFullScan(target, candidates, count);

    // ΔE00² = (ΔL'/S_L)² + a form in ΔC' and ΔH' that is never negative (|R_T| < 2), so
    // ΔE00 ≥ |ΔL| / S_L ≥ |ΔL| / (the largest S_L any candidate can give). Walking out from
    // the target's L* in L* order, a side ends where that bound passes the worst of the
    // best found: nothing beyond it can be nearer, nor as near. The margin covers rounding.
    const std::size_t n = sorted.l.size();
    const double largestWeight = std::max(lightnessWeight((target.l + sorted.l.front()) / 2.0),
                                          lightnessWeight((target.l + sorted.l.back()) / 2.0));
    const double margin = 1.0 + 1e-9;
    BestMatches best(count);
    auto visit = [&](std::size_t i) {
        best.offer(deltaE2000(target, {sorted.l[i], sorted.a[i], sorted.b[i]}), sorted.place[i]);
    };
    auto beyondReach = [&](std::size_t i) {
        return best.full() && std::fabs(sorted.l[i] - target.l) > best.worst() * largestWeight * margin;
    };
    std::size_t up = std::size_t(std::lower_bound(sorted.l.begin(), sorted.l.end(), target.l) - sorted.l.begin());
    std::size_t down = up; // candidates below `down` are still to be seen
    bool upOpen = up < n;
    bool downOpen = down > 0;
    while (upOpen || downOpen) {
        if (upOpen) {
            if (beyondReach(up)) {
                upOpen = false;
            } else {
                visit(up);
                upOpen = ++up < n;
            }
        }
        if (downOpen) {
            if (beyondReach(down - 1)) {
                downOpen = false;
            } else {
                visit(down - 1);
                downOpen = --down > 0;
            }
        }
    }
    return best.matches(candidates);
}

} // namespace Vantor
