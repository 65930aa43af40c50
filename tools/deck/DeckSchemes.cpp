#include "DeckSchemes.h"

#include "engine/colour/ColourDifference.h"

#include <QMap>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

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

// The colour's lightness and chroma at another hue.
Vantor::LabColour rotated(double l, double chroma, double hueDegrees)
{
    const double h = hueDegrees * Pi / 180.0;
    return {l, chroma * std::cos(h), chroma * std::sin(h)};
}

// Partners are looked up per segment, often: each segment's colours and cards are laid
// out once for the searches (nearest by CIEDE2000 through an index, quietest in order of
// chroma), with the same results as a scan of the segment in list order.
class SchemeFinder
{
public:
    explicit SchemeFinder(const CollectionLayout &layout)
        : m_layout(layout)
    {
        int segments = layout.wheel.segments;
        for (const LaidOutColour &colour : layout.colours)
            segments = std::max(segments, colour.segment);
        for (const LaidOutCard &card : layout.cards)
            segments = std::max(segments, card.segment);
        m_segments.resize(std::size_t(std::max(0, segments)) + 1);
        for (int i = 0; i < layout.colours.size(); ++i)
            segment(layout.colours.at(i).segment).colours.append(i);
        for (int c = 0; c < layout.cards.size(); ++c) {
            segment(layout.cards.at(c).segment).cards.append(c);
            m_cardMeans.append(computeCardMean(c));
            m_cardChromas.append(std::hypot(m_cardMeans.constLast().a, m_cardMeans.constLast().b));
        }
        for (Segment &each : m_segments) {
            QVector<Vantor::DB::LabCandidate> colours, cards, wholeCards;
            for (int i : std::as_const(each.colours))
                colours.append({layout.colours.at(i).l, layout.colours.at(i).a, layout.colours.at(i).b, i});
            for (int c : std::as_const(each.cards)) {
                const Vantor::LabColour &mean = m_cardMeans.at(c);
                cards.append({mean.l, mean.a, mean.b, c});
                if (layout.cards.at(c).colours.size() == layout.maxChipsOnCard)
                    wholeCards.append({mean.l, mean.a, mean.b, c});
            }
            each.nearestColours = std::make_unique<Vantor::NearestColourIndex>(colours);
            each.nearestCards = std::make_unique<Vantor::NearestColourIndex>(cards);
            each.nearestWholeCards = std::make_unique<Vantor::NearestColourIndex>(wholeCards);
            // Places in the segment's list, by chroma, ties in list order.
            each.byChroma.resize(each.colours.size());
            for (int place = 0; place < each.colours.size(); ++place)
                each.byChroma[std::size_t(place)] = place;
            std::stable_sort(each.byChroma.begin(), each.byChroma.end(), [&](int x, int y) {
                return layout.colours.at(each.colours.at(x)).chroma < layout.colours.at(each.colours.at(y)).chroma;
            });
            each.cardsByChroma.resize(each.cards.size());
            for (int place = 0; place < each.cards.size(); ++place)
                each.cardsByChroma[std::size_t(place)] = place;
            std::stable_sort(each.cardsByChroma.begin(), each.cardsByChroma.end(),
                             [&](int x, int y) { return m_cardChromas.at(each.cards.at(x)) < m_cardChromas.at(each.cards.at(y)); });
        }
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
    // dark; empty when the segment has fewer. The colour `exclude` is never one of them.
    QVector<int> pickColours(int segmentNumber, const Vantor::LabColour &target, bool quiet, int count, int exclude) const
    {
        const Segment *found = segmentOrNull(segmentNumber);
        if (!found)
            return {};
        const Segment &segment = *found;
        const bool excludeHere = exclude >= 0 && exclude < m_layout.colours.size()
            && m_layout.colours.at(exclude).segment == segmentNumber;
        if (segment.colours.size() - (excludeHere ? 1 : 0) < count || count <= 0)
            return {};
        QVector<int> chosen;
        if (quiet) {
            // A quiet score is at least four times the chroma: in order of chroma, the
            // search ends where that alone passes the worst of the best found.
            Vantor::SmallestScores best(count);
            for (int place : segment.byChroma) {
                const LaidOutColour &colour = m_layout.colours.at(segment.colours.at(place));
                if (best.full() && colour.chroma * 4.0 > best.worst())
                    break;
                if (segment.colours.at(place) == exclude)
                    continue;
                best.offer(colour.chroma * 4.0 + std::fabs(colour.l - target.l), place);
            }
            for (const auto &entry : best.best())
                chosen << segment.colours.at(entry.second);
        } else {
            for (const Vantor::ColourMatch &match : segment.nearestColours->nearest(target, count + (excludeHere ? 1 : 0))) {
                if (int(match.second) != exclude && chosen.size() < count)
                    chosen << int(match.second);
            }
        }
        std::stable_sort(chosen.begin(), chosen.end(),
                         [&](int x, int y) { return m_layout.colours.at(x).l > m_layout.colours.at(y).l; });
        return chosen;
    }

    // The card of the segment nearest to the target (or the quietest); -1 when none.
    // With `wholeCardsOnly`, only cards that hold a full row of chips take part.
    int pickCard(int segmentNumber, const Vantor::LabColour &target, bool quiet, int exclude, bool wholeCardsOnly = false) const
    {
        const Segment *found = segmentOrNull(segmentNumber);
        if (!found)
            return -1;
        const Segment &segment = *found;
        if (!quiet) {
            const Vantor::NearestColourIndex &index = wholeCardsOnly ? *segment.nearestWholeCards : *segment.nearestCards;
            for (const Vantor::ColourMatch &match : index.nearest(target, 2)) {
                if (int(match.second) != exclude)
                    return int(match.second);
            }
            return -1;
        }
        // As for colours: in order of chroma, ending where the chroma alone passes the
        // best score; equal scores go to the card first in the segment.
        Vantor::SmallestScores best(1);
        for (int place : segment.cardsByChroma) {
            const int c = segment.cards.at(place);
            if (best.full() && m_cardChromas.at(c) * 4.0 > best.worst())
                break;
            if (c == exclude)
                continue;
            if (wholeCardsOnly && m_layout.cards.at(c).colours.size() != m_layout.maxChipsOnCard)
                continue;
            best.offer(m_cardChromas.at(c) * 4.0 + std::fabs(m_cardMeans.at(c).l - target.l), place);
        }
        return best.full() ? segment.cards.at(best.best().front().second) : -1;
    }

    const Vantor::LabColour &cardMean(int card) const { return m_cardMeans.at(card); }
    double cardChroma(int card) const { return m_cardChromas.at(card); }

private:
    struct Segment
    {
        QVector<int> colours; // in layout order
        QVector<int> cards;
        std::vector<int> byChroma;      // places in `colours`
        std::vector<int> cardsByChroma; // places in `cards`
        std::unique_ptr<Vantor::NearestColourIndex> nearestColours, nearestCards, nearestWholeCards;
    };

    Segment &segment(int number) { return m_segments[std::size_t(number)]; }
    const Segment *segmentOrNull(int number) const
    {
        return number >= 0 && std::size_t(number) < m_segments.size() ? &m_segments[std::size_t(number)] : nullptr;
    }

    Vantor::LabColour computeCardMean(int card) const
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
    std::vector<Segment> m_segments;
    QVector<Vantor::LabColour> m_cardMeans;
    QVector<double> m_cardChromas;
};

// Runs `work(from, to)` on consecutive parts of [0, count) on the machine's cores, and
// returns the parts' results in order.
template <typename Result, typename Work>
std::vector<Result> inParts(int count, Work work)
{
    const int cores = int(std::max(1u, std::min(8u, std::thread::hardware_concurrency())));
    const int parts = std::max(1, std::min(cores, count / 256));
    std::vector<Result> results(static_cast<std::size_t>(parts));
    std::vector<std::thread> threads;
    for (int part = 1; part < parts; ++part)
        threads.emplace_back([&, part] {
            results[std::size_t(part)] = work(int(qint64(count) * part / parts), int(qint64(count) * (part + 1) / parts));
        });
    results[0] = work(0, int(qint64(count) / parts));
    for (std::thread &thread : threads)
        thread.join();
    return results;
}

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
        // Each colour's partners depend on the layout alone: parts of the list are
        // worked out side by side and joined in order.
        const auto parts = inParts<CollectionSchemes>(int(layout.colours.size()), [&](int from, int to) {
            CollectionSchemes part;
            for (int i = from; i < to; ++i) {
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
                                part.rowSchemes.append({i, scheme, partner, group, ++rowOrder});
                            ++group;
                        } else {
                            // A scheme of cards is shown in rows of max.chips.on.a.page:
                            // only whole cards fill them.
                            const int card = finder.pickCard(segment, target, rule.quiet, colour.card, true);
                            if (card < 0 || usedCards.contains(card))
                                continue;
                            usedCards.insert(card);
                            part.rowToPage.append({i, scheme, card, group++});
                        }
                    }
                }
            }
            return part;
        });
        for (const CollectionSchemes &part : parts) {
            schemes.rowSchemes += part.rowSchemes;
            schemes.rowToPage += part.rowToPage;
        }
    } else if (cardMode == 3) {
        for (int c = 0; c < layout.cards.size(); ++c) {
            const Vantor::LabColour mean = finder.cardMean(c);
            const double chroma = finder.cardChroma(c);
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
    const std::tuple<int, double, int> partners[] = {
        {WideContrast, 150.0, 0}, {Contrast, 180.0, 0}, {WideContrast, 210.0, 1}};
    QVector<Vantor::DB::LabCandidate> candidates;
    candidates.reserve(layout.colours.size());
    for (int j = 0; j < layout.colours.size(); ++j) {
        const LaidOutColour &colour = layout.colours.at(j);
        candidates.append({colour.l, colour.a, colour.b, j});
    }
    const Vantor::NearestColourIndex index(candidates);
    const auto parts = inParts<QVector<RowSchemeEntry>>(int(layout.colours.size()), [&](int from, int to) {
        QVector<RowSchemeEntry> entries;
        for (int i = from; i < to; ++i) {
            const LaidOutColour &colour = layout.colours.at(i);
            // The colour itself and the partners already chosen are no partners: the
            // three chips of a scheme are three different colours.
            QVector<qint64> taken{i};
            for (const auto &[scheme, offset, pageOrder] : partners) {
                // The partner keeps a clear lightness contrast: light colours get a
                // deeper partner and deep ones a lighter one.
                const double hue = colour.hue + offset;
                const double l = colour.l > 55.0 ? colour.l - 30.0 : colour.l + 30.0;
                const Vantor::LabColour target = rotated(l, std::max(colour.chroma, 20.0), hue);
                for (const Vantor::ColourMatch &match : index.nearest(target, int(taken.size()) + 1)) {
                    if (taken.contains(match.second))
                        continue;
                    entries.append({i, scheme, int(match.second), pageOrder, 1});
                    taken << match.second;
                    break;
                }
            }
        }
        return entries;
    });
    QVector<RowSchemeEntry> entries;
    for (const QVector<RowSchemeEntry> &part : parts)
        entries += part;
    return entries;
}

} // namespace Palettra::Deck
