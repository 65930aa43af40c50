#include "DeckSchemes.h"

#include "engine/palette/ColourDifference.h"

#include <QMap>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace Palettra::Deck {

namespace {

constexpr double Pi = 3.14159265358979323846;

enum Scheme { Harmonic = 1, Contrast = 2, WideContrast = 3, Dynamic = 4, Dramatic = 5, TonalNeutral = 7,
              ComplementaryNeutral = 8, NaturalNeutral = 9 };

// How a scheme finds its partners: hue offsets (degrees) from the colour, and whether
// it wants the quietest colours there instead of the nearest ones.
struct SchemeRule
{
    QVector<double> offsets;
    bool quiet = false;
    bool fixedWarmHue = false; // the natural neutrals: warm earth, whatever the colour
};

SchemeRule ruleFor(int scheme)
{
    switch (scheme) {
    case Harmonic: return {{-30.0, 30.0}};
    case Contrast: return {{180.0}};
    case WideContrast: return {{150.0, 210.0}};
    case Dynamic: return {{120.0, 240.0}};
    case Dramatic: return {{0.0, 120.0, 240.0}};
    case TonalNeutral: return {{0.0}, true};
    case ComplementaryNeutral: return {{180.0}, true};
    case NaturalNeutral: return {{0.0}, true, true};
    default: return {};
    }
}

Vantor::LabColour labOf(const LaidOutColour &colour)
{
    return {colour.l, colour.a, colour.b};
}

// The colour's lightness and chroma at another hue.
Vantor::LabColour rotated(double l, double chroma, double hueDegrees)
{
    const double h = hueDegrees * Pi / 180.0;
    return {l, chroma * std::cos(h), chroma * std::sin(h)};
}

class SchemeFinder
{
public:
    explicit SchemeFinder(const CollectionLayout &layout)
        : m_layout(layout)
    {
        for (int i = 0; i < layout.colours.size(); ++i)
            m_bySegment[layout.colours.at(i).segment].append(i);
        for (int c = 0; c < layout.cards.size(); ++c)
            m_cardsBySegment[layout.cards.at(c).segment].append(c);
    }

    // The segment a hue relation leads to from a segment.
    int targetSegment(int segment, double offset, bool fixedWarmHue) const
    {
        const WheelGeometry &wheel = m_layout.wheel;
        if (fixedWarmHue)
            return wheel.segmentForAngle(70.0);
        return wheel.segmentForAngle(wheel.segmentCentre(segment) + offset);
    }

    // `count` colours of the segment nearest to the target (or the quietest), light to
    // dark; empty when the segment has fewer.
    QVector<int> pickColours(int segment, const Vantor::LabColour &target, bool quiet, int count, int exclude) const
    {
        QVector<int> candidates = m_bySegment.value(segment);
        candidates.removeAll(exclude);
        if (candidates.size() < count)
            return {};
        QVector<std::pair<double, int>> ranked;
        for (int i : candidates) {
            const LaidOutColour &colour = m_layout.colours.at(i);
            const double score = quiet ? colour.chroma * 4.0 + std::fabs(colour.l - target.l)
                                       : Vantor::deltaE2000(target, labOf(colour));
            ranked.append({score, i});
        }
        std::stable_sort(ranked.begin(), ranked.end(), [](const auto &x, const auto &y) { return x.first < y.first; });
        QVector<int> chosen;
        for (int k = 0; k < count; ++k)
            chosen << ranked.at(k).second;
        std::stable_sort(chosen.begin(), chosen.end(),
                         [&](int x, int y) { return m_layout.colours.at(x).l > m_layout.colours.at(y).l; });
        return chosen;
    }

    // The card of the segment nearest to the target (or the quietest); -1 when none.
    // With `wholeCardsOnly`, only cards that hold a full row of chips take part.
    int pickCard(int segment, const Vantor::LabColour &target, bool quiet, int exclude, bool wholeCardsOnly = false) const
    {
        int best = -1;
        double bestScore = 0;
        for (int c : m_cardsBySegment.value(segment)) {
            if (c == exclude)
                continue;
            if (wholeCardsOnly && m_layout.cards.at(c).colours.size() != m_layout.maxChipsOnCard)
                continue;
            const Vantor::LabColour mean = cardMean(c);
            const double chroma = std::hypot(mean.a, mean.b);
            const double score = quiet ? chroma * 4.0 + std::fabs(mean.l - target.l) : Vantor::deltaE2000(target, mean);
            if (best < 0 || score < bestScore) {
                best = c;
                bestScore = score;
            }
        }
        return best;
    }

    Vantor::LabColour cardMean(int card) const
    {
        Vantor::LabColour mean;
        const QVector<int> &members = m_layout.cards.at(card).colours;
        for (int i : members) {
            mean.l += m_layout.colours.at(i).l;
            mean.a += m_layout.colours.at(i).a;
            mean.b += m_layout.colours.at(i).b;
        }
        const double n = std::max<qsizetype>(1, members.size());
        return {mean.l / n, mean.a / n, mean.b / n};
    }

    const CollectionLayout &m_layout;
    QMap<int, QVector<int>> m_bySegment;
    QMap<int, QVector<int>> m_cardsBySegment;
};

// Where a scheme of a colour applies at all, as the schemer decides it.
bool appliesToColour(int scheme, const LaidOutColour &colour)
{
    if (scheme == Dramatic)
        return colour.neutral || colour.white;
    if (scheme == ComplementaryNeutral)
        return colour.mood == 4;
    return true;
}

// A greyed complement goes with a colourful card; the quiet cards get none, and show
// their tonal neutrals instead.
constexpr double ComplementaryNeutralCardChroma = 14.0;

} // namespace

QVector<int> schemeIdsForWords(const QStringList &words)
{
    QVector<int> ids;
    auto add = [&ids](int id) {
        if (!ids.contains(id))
            ids << id;
    };
    for (const QString &raw : words) {
        const QString word = raw.trimmed().toLower();
        if (word == QLatin1String("harmonic"))
            add(Harmonic);
        else if (word == QLatin1String("contrast"))
            add(Contrast);
        else if (word == QLatin1String("wide contrast"))
            add(WideContrast);
        else if (word == QLatin1String("dynamic"))
            add(Dynamic);
        else if (word == QLatin1String("dramatic"))
            add(Dramatic);
        else if (word == QLatin1String("neutral")) {
            add(TonalNeutral);
            add(ComplementaryNeutral);
            add(NaturalNeutral);
        } else if (word == QLatin1String("tonal neutral"))
            add(TonalNeutral);
        else if (word == QLatin1String("complementary neutral"))
            add(ComplementaryNeutral);
        else if (word == QLatin1String("natural neutral"))
            add(NaturalNeutral);
    }
    return ids;
}

CollectionSchemes deriveSchemes(const CollectionLayout &layout, const QVector<int> &schemeIds, int cardMode)
{
    CollectionSchemes schemes;
    const SchemeFinder finder(layout);
    const int perRow = layout.maxChipsOnCard;

    if (cardMode == 1 || cardMode == 2) {
        for (int i = 0; i < layout.colours.size(); ++i) {
            const LaidOutColour &colour = layout.colours.at(i);
            for (int scheme : schemeIds) {
                if (!appliesToColour(scheme, colour))
                    continue;
                const SchemeRule rule = ruleFor(scheme);
                int group = 0;
                int rowOrder = 0;
                QSet<int> usedCards;
                for (double offset : rule.offsets) {
                    const int segment = finder.targetSegment(colour.segment, offset, rule.fixedWarmHue);
                    // Dramatic accents are deep and saturated; the others keep the
                    // colour's own depth.
                    const Vantor::LabColour target = scheme == Dramatic
                        ? rotated(45.0, 55.0, layout.wheel.segmentCentre(segment))
                        : rotated(colour.l, colour.chroma, layout.wheel.segmentCentre(segment));
                    if (cardMode == 1) {
                        const QVector<int> partners = finder.pickColours(segment, target, rule.quiet, perRow, i);
                        if (partners.isEmpty())
                            continue;
                        for (int partner : partners)
                            schemes.rowSchemes.append({i, scheme, partner, group, ++rowOrder});
                        ++group;
                    } else {
                        // A scheme of cards is shown in rows of max.chips.on.a.page: only
                        // whole cards fill them.
                        const int card = finder.pickCard(segment, target, rule.quiet, colour.card, true);
                        if (card < 0 || usedCards.contains(card))
                            continue;
                        usedCards.insert(card);
                        schemes.rowToPage.append({i, scheme, card, group++});
                    }
                }
            }
        }
    } else if (cardMode == 3) {
        for (int c = 0; c < layout.cards.size(); ++c) {
            const Vantor::LabColour mean = finder.cardMean(c);
            const double chroma = std::hypot(mean.a, mean.b);
            for (int scheme : schemeIds) {
                if (scheme == ComplementaryNeutral && chroma < ComplementaryNeutralCardChroma)
                    continue;
                const SchemeRule rule = ruleFor(scheme);
                int order = 0;
                QSet<int> used;
                for (double offset : rule.offsets) {
                    const int segment = finder.targetSegment(layout.cards.at(c).segment, offset, rule.fixedWarmHue);
                    const Vantor::LabColour target = scheme == Dramatic
                        ? rotated(45.0, 55.0, layout.wheel.segmentCentre(segment))
                        : rotated(mean.l, chroma, layout.wheel.segmentCentre(segment));
                    const int card = finder.pickCard(segment, target, rule.quiet, c);
                    if (card < 0 || used.contains(card))
                        continue;
                    used.insert(card);
                    schemes.pageSchemes.append({c, scheme, card, order++});
                }
            }
        }
    }
    return schemes;
}

QVector<RowSchemeEntry> deriveContrastPartners(const CollectionLayout &layout)
{
    QVector<RowSchemeEntry> entries;
    const std::tuple<int, double, int> partners[] = {
        {WideContrast, 150.0, 0}, {Contrast, 180.0, 0}, {WideContrast, 210.0, 1}};
    QVector<Vantor::DB::LabCandidate> candidates;
    candidates.reserve(layout.colours.size());
    for (int j = 0; j < layout.colours.size(); ++j) {
        const LaidOutColour &colour = layout.colours.at(j);
        candidates.append({colour.l, colour.a, colour.b, j});
    }
    for (int i = 0; i < layout.colours.size(); ++i) {
        const LaidOutColour &colour = layout.colours.at(i);
        // The colour itself and the partners already chosen are no partners: the three
        // chips of a scheme are three different colours.
        QVector<qint64> taken{i};
        for (const auto &[scheme, offset, pageOrder] : partners) {
            // The partner keeps a clear lightness contrast: light colours get a deeper
            // partner and deep ones a lighter one.
            const double hue = colour.hue + offset;
            const double l = colour.l > 55.0 ? colour.l - 30.0 : colour.l + 30.0;
            const Vantor::LabColour target = rotated(l, std::max(colour.chroma, 20.0), hue);
            const QVector<Vantor::ColourMatch> nearest = Vantor::nearestColours(target, candidates, int(taken.size()) + 1);
            for (const Vantor::ColourMatch &match : nearest) {
                if (taken.contains(match.second))
                    continue;
                entries.append({i, scheme, int(match.second), pageOrder, 1});
                taken << match.second;
                break;
            }
        }
    }
    return entries;
}

} // namespace Palettra::Deck
