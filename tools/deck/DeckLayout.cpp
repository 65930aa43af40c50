#include "DeckLayout.h"

#include "engine/colour/ColourDifference.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace Palettra::Deck {

namespace {

constexpr double Pi = 3.14159265358979323846;

double normalisedDegrees(double degrees)
{
    double value = std::fmod(degrees, 360.0);
    if (value < 0)
        value += 360.0;
    return value;
}

double circularDistance(double a, double b)
{
    const double d = std::fabs(normalisedDegrees(a) - normalisedDegrees(b));
    return std::min(d, 360.0 - d);
}

// Names of hue bands for card names, by their centre hue (CIELAB hue angle).
QString hueBandName(double hue)
{
    static const std::pair<double, const char *> bands[] = {
        {0, "Raspberry"}, {20, "Rose"},    {35, "Coral"},   {50, "Terracotta"}, {65, "Apricot"},
        {78, "Amber"},    {90, "Ochre"},   {100, "Citrine"}, {110, "Chartreuse"}, {122, "Olive"},
        {135, "Fern"},    {150, "Jade"},   {165, "Spruce"}, {185, "Lagoon"},   {200, "Teal"},
        {215, "Fjord"},   {230, "Harbour"}, {250, "Denim"}, {270, "Indigo"},   {285, "Iris"},
        {300, "Violet"},  {315, "Orchid"}, {330, "Plum"},   {345, "Mulberry"},
    };
    const char *best = bands[0].second;
    double bestDistance = 361;
    for (const auto &[centre, name] : bands) {
        const double d = circularDistance(hue, centre);
        if (d < bestDistance) {
            bestDistance = d;
            best = name;
        }
    }
    return QString::fromLatin1(best);
}

int majority(const QVector<int> &values)
{
    QMap<int, int> counts;
    for (int value : values)
        ++counts[value];
    int best = 0;
    int bestCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}

double linearToSrgb(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

} // namespace

double WheelGeometry::segmentCentre(int segment) const
{
    const double span = 360.0 / segments;
    const double step = orientation == 2 ? span : -span;
    return normalisedDegrees(firstAngle + (segment - 1) * step);
}

int WheelGeometry::segmentForAngle(double degrees) const
{
    int best = 1;
    double bestDistance = 361;
    for (int segment = 1; segment <= segments; ++segment) {
        const double d = circularDistance(degrees, segmentCentre(segment));
        if (d < bestDistance - 1e-9) {
            bestDistance = d;
            best = segment;
        }
    }
    return best;
}

QColor colourFromLab(double l, double a, double b)
{
    const double fy = (l + 16.0) / 116.0;
    const double fx = fy + a / 500.0;
    const double fz = fy - b / 200.0;
    auto inverse = [](double t) {
        const double cube = t * t * t;
        return cube > 216.0 / 24389.0 ? cube : (116.0 * t - 16.0) / (24389.0 / 27.0);
    };
    const double x = 0.95047 * inverse(fx);
    const double y = inverse(fy);
    const double z = 1.08883 * inverse(fz);
    // The inverse of the engine's sRGB matrix.
    const double r = 3.2406254773 * x - 1.5372079722 * y - 0.4986285987 * z;
    const double g = -0.9689307147 * x + 1.8757560609 * y + 0.0415175238 * z;
    const double bl = 0.0557101204 * x - 0.2040210506 * y + 1.0569959423 * z;
    auto channel = [](double c) { return int(std::lround(std::clamp(linearToSrgb(std::clamp(c, 0.0, 1.0)), 0.0, 1.0) * 255)); };
    return QColor(channel(r), channel(g), channel(bl));
}

int moodForColour(double l, double chroma, double hue)
{
    if (l >= 88.0 && chroma < 12.0)
        return 5; // off-white
    if (chroma < 10.0)
        return 6; // neutral
    if (chroma >= 45.0 && l < 60.0)
        return 4; // rich
    if (hue < 80.0 || hue >= 330.0)
        return 2; // warm
    if (hue < 200.0 && l >= 55.0)
        return 1; // fresh
    return 3; // calm
}

bool exteriorForColour(double l, double chroma)
{
    return chroma <= 25.0 && l >= 30.0 && l <= 85.0;
}

CollectionLayout layOutCollection(const SourceCollection &collection, QStringList &problems)
{
    CollectionLayout layout;
    layout.wheel.segments = std::max(1, int(collection.numberSetting(QStringLiteral("num.of.segments"), 12)));
    layout.wheel.firstAngle = collection.numberSetting(QStringLiteral("first.segment.angle"), 0.0);
    layout.wheel.orientation =
        collection.setting(QStringLiteral("segment.increment.orientation")).compare(QLatin1String("CCW"), Qt::CaseInsensitive) == 0 ? 2 : 1;
    layout.maxChipsOnCard = std::max(1, int(collection.numberSetting(QStringLiteral("max.chips.on.a.page"), 7)));

    // Colours, completed.
    for (int i = 0; i < collection.colours.size(); ++i) {
        const SourceColour &source = collection.colours.at(i);
        LaidOutColour colour;
        colour.source = i;
        colour.code = source.code;
        colour.names = source.names;
        colour.extras = source.extras;
        if (source.lab) {
            colour.l = (*source.lab)[0];
            colour.a = (*source.lab)[1];
            colour.b = (*source.lab)[2];
        } else {
            const Vantor::LabColour lab = Vantor::labFromColour(*source.rgb);
            colour.l = lab.l;
            colour.a = lab.a;
            colour.b = lab.b;
        }
        colour.rgb = source.rgb ? *source.rgb : colourFromLab(colour.l, colour.a, colour.b);
        colour.chroma = std::hypot(colour.a, colour.b);
        colour.hue = normalisedDegrees(std::atan2(colour.b, colour.a) * 180.0 / Pi);
        const double wheelAngle = colour.chroma < GreyChroma ? layout.wheel.firstAngle : colour.hue;
        colour.segment = source.segment ? *source.segment : layout.wheel.segmentForAngle(wheelAngle);
        colour.mood = source.mood ? *source.mood : moodForColour(colour.l, colour.chroma, colour.hue);
        colour.exterior = source.exterior ? *source.exterior : exteriorForColour(colour.l, colour.chroma);
        colour.mto = source.mto.value_or(false);
        colour.neutral = source.neutral ? *source.neutral : colour.chroma < 10.0;
        colour.white = source.white ? *source.white : (colour.l >= 90.0 && colour.chroma < 8.0);
        layout.colours.append(colour);
    }

    const int given = int(std::count_if(collection.colours.cbegin(), collection.colours.cend(),
                                         [](const SourceColour &c) { return c.card.has_value(); }));
    if (given > 0 && given < collection.colours.size())
        problems << QStringLiteral("%1: a card is given for some colours only; all are laid out anew").arg(collection.folder);

    QMap<int, QVector<int>> cardMembers; // card key -> colour indices
    if (given == collection.colours.size() && given > 0) {
        // Cards as the source gives them: numbered in order, positions as given (or in
        // list order).
        for (int i = 0; i < layout.colours.size(); ++i)
            cardMembers[*collection.colours.at(layout.colours.at(i).source).card].append(i);
        for (auto it = cardMembers.begin(); it != cardMembers.end(); ++it) {
            std::stable_sort(it->begin(), it->end(), [&](int x, int y) {
                const auto px = collection.colours.at(layout.colours.at(x).source).position;
                const auto py = collection.colours.at(layout.colours.at(y).source).position;
                return px.value_or(1 << 30) < py.value_or(1 << 30);
            });
        }
    } else {
        // Within each segment: chroma bands of at most a card each, then the quiet
        // colours (off-whites and neutrals); every card runs light to dark.
        QMap<int, QVector<int>> bySegment;
        for (int i = 0; i < layout.colours.size(); ++i)
            bySegment[layout.colours.at(i).segment].append(i);
        int key = 0;
        for (auto segment = bySegment.begin(); segment != bySegment.end(); ++segment) {
            QVector<int> quiet, chromatic;
            for (int i : *segment)
                (layout.colours.at(i).mood >= 5 ? quiet : chromatic).append(i);
            for (QVector<int> *group : {&chromatic, &quiet}) {
                if (group->isEmpty())
                    continue;
                std::stable_sort(group->begin(), group->end(), [&](int x, int y) {
                    return layout.colours.at(x).chroma < layout.colours.at(y).chroma;
                });
                const int cards = (int(group->size()) + layout.maxChipsOnCard - 1) / layout.maxChipsOnCard;
                for (int c = 0; c < cards; ++c) {
                    // Even shares: the first cards take one more chip when it does not divide.
                    const int from = int(qint64(group->size()) * c / cards);
                    const int to = int(qint64(group->size()) * (c + 1) / cards);
                    QVector<int> members = group->mid(from, to - from);
                    std::stable_sort(members.begin(), members.end(), [&](int x, int y) {
                        return layout.colours.at(x).l > layout.colours.at(y).l;
                    });
                    cardMembers.insert(key++, members);
                }
            }
        }
    }

    QHash<QString, int> nameCounts;
    int pageIndex = 1;
    for (auto it = cardMembers.cbegin(); it != cardMembers.cend(); ++it) {
        LaidOutCard card;
        card.pageIndex = pageIndex++;
        card.colours = it.value();
        if (card.colours.size() > layout.maxChipsOnCard)
            problems << QStringLiteral("%1: card %2 holds %3 chips, more than max.chips.on.a.page (%4)")
                            .arg(collection.folder)
                            .arg(it.key())
                            .arg(card.colours.size())
                            .arg(layout.maxChipsOnCard);
        QVector<int> moods, segments;
        int exterior = 0;
        double hueX = 0, hueY = 0;
        for (int position = 0; position < card.colours.size(); ++position) {
            LaidOutColour &colour = layout.colours[card.colours.at(position)];
            colour.card = int(layout.cards.size());
            colour.position = position + 1;
            moods << colour.mood;
            segments << colour.segment;
            exterior += colour.exterior ? 1 : 0;
            hueX += colour.chroma * std::cos(colour.hue * Pi / 180.0);
            hueY += colour.chroma * std::sin(colour.hue * Pi / 180.0);
        }
        card.mood = majority(moods);
        card.segment = majority(segments);
        card.exterior = exterior * 2 > card.colours.size();
        // Each chip is shown in its card's segment.
        for (int index : card.colours)
            layout.colours[index].segment = card.segment;
        const QString base = card.mood == 5 ? QStringLiteral("Ivory")
            : card.mood == 6                 ? QStringLiteral("Stone")
                                             : hueBandName(normalisedDegrees(std::atan2(hueY, hueX) * 180.0 / Pi));
        card.name = QStringLiteral("%1 %2").arg(base).arg(++nameCounts[base]);
        layout.cards.append(card);
    }
    return layout;
}

} // namespace Palettra::Deck
