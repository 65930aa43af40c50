#pragma once

// Colour difference arithmetic: sRGB to CIELAB (D65) and the CIEDE2000 difference, and
// the nearest colours of a candidate list.

#include "engine/db/CapsureQueries.h"
#include "engine/db/ColorEntry.h"

#include <QColor>
#include <QVector>

#include <algorithm>
#include <utility>
#include <vector>

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
// The sRGB colour of a CIELab (D65) value, each channel clipped to what sRGB shows.
QColor colourFromLab(const LabColour &lab);
// A chip's CIELAB as the picker gives it everywhere (clipboard, exports, picks): the
// values the collection stores, else (none stored: all three 0 for a chip that is not
// black) those computed from its RGB.
LabColour chipLab(const DB::ColorEntry &chip);
double deltaE2000(const LabColour &first, const LabColour &second);

// The `count` candidates nearest to the target; among equal differences the one
// earlier in the list comes first.
// Prepares its layout of a candidate list at the first search in it and keeps it, for a
// few lists at a time: lists whose contents change must be new lists (a QVector that is
// changed detaches and so is one). Safe to call from several threads at once.
QVector<ColourMatch> nearestColours(const LabColour &target, const QVector<DB::LabCandidate> &candidates, int count);

// The `count` smallest scores offered, each with its place in a list, smallest first;
// equal scores go to the earlier place.
class SmallestScores
{
public:
    explicit SmallestScores(int count)
        : m_count(count)
    {
    }
    bool full() const { return int(m_best.size()) == m_count; }
    double worst() const { return m_best.back().first; }
    void offer(double score, int place)
    {
        const std::pair<double, int> entry{score, place};
        const auto position = std::upper_bound(m_best.begin(), m_best.end(), entry);
        if (position - m_best.begin() >= m_count)
            return;
        m_best.insert(position, entry);
        if (int(m_best.size()) > m_count)
            m_best.pop_back();
    }
    const std::vector<std::pair<double, int>> &best() const { return m_best; }

private:
    int m_count;
    std::vector<std::pair<double, int>> m_best;
};

// A candidate list laid out for repeated searches, with the same results as
// nearestColours. The list is kept (shared, not copied); a const index may be searched
// from several threads at once.
class NearestColourIndex
{
public:
    explicit NearestColourIndex(const QVector<DB::LabCandidate> &candidates);

    QVector<ColourMatch> nearest(const LabColour &target, int count) const;
    const QVector<DB::LabCandidate> &candidates() const { return m_list; }

private:
    QVector<DB::LabCandidate> m_list; // in the order places refer to
    // Sorted by L*, with each candidate's place in the list.
    std::vector<double> m_l, m_a, m_b, m_chroma, m_hue;
    std::vector<int> m_place;
    // Slabs of SlabSize consecutive candidates of that order; within each, the positions
    // by chroma.
    static constexpr std::size_t SlabSize = 64;
    std::vector<int> m_byChroma;
    bool m_finite = true;
};

// Floating-point code runs many times slower while the upper halves of the vector
// registers are left dirty, and code that Qt runs at start-up leaves them so (measured:
// ten times, for every call into the maths library). The functions above clear them on
// entry; this is for other floating-point work that is measured beside them. The numbers
// computed do not change.
void clearUpperVectorHalves();

} // namespace Vantor
