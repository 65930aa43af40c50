#pragma once

// Turning a collection's colour list into a fan deck: CIELAB and sRGB completed from
// each other, segments from the hue angle as the colour wheel draws them, cards within a
// segment by chroma and lightness, moods and exterior suitability by colour rules.

#include "DeckSource.h"

#include <QColor>
#include <QString>
#include <QVector>

namespace Palettra::Deck {

struct LaidOutColour
{
    int source = 0; // index into the collection's source colours
    QString code;
    QStringList names;
    QStringList extras;
    QColor rgb;
    double l = 0, a = 0, b = 0;
    double chroma = 0;
    double hue = 0; // CIELAB hue angle in degrees, 0 to 360
    int segment = 1;
    int card = 0; // index into the cards
    int position = 1;
    int mood = 0;
    bool exterior = false;
    bool mto = false;
    bool neutral = false;
    bool white = false;
};

struct LaidOutCard
{
    int pageIndex = 0;
    int segment = 1;
    int mood = 0;
    bool exterior = false;
    QString name;
    QVector<int> colours; // indices into the colours, in position order
};

struct WheelGeometry
{
    int segments = 24;
    double firstAngle = 90.0; // degrees, mathematical orientation
    int orientation = 1;      // 1 clockwise, 2 counter-clockwise

    // The centre of segment i (1-based) in degrees, 0 to 360.
    double segmentCentre(int segment) const;
    // The segment whose sector holds the angle.
    int segmentForAngle(double degrees) const;
};

struct CollectionLayout
{
    WheelGeometry wheel;
    int maxChipsOnCard = 7;
    QVector<LaidOutColour> colours;
    QVector<LaidOutCard> cards;
};

// Chroma below this has no meaningful hue: such greys sit in the segment of the wheel's
// first angle.
inline constexpr double GreyChroma = 1.5;

// sRGB from CIELAB (D65, the engine's matrix inverted); clamped into the gamut.
QColor colourFromLab(double l, double a, double b);

// Mood by colour rules: off-white, neutral, rich, warm, fresh, calm (1 to 6 as stored).
int moodForColour(double l, double chroma, double hue);
// Suitable for exteriors: durable, not too saturated, not too light or dark.
bool exteriorForColour(double l, double chroma);

// Lays out a collection. Cards are numbered from `firstPageIndex`. Problems (a card or
// position given for some colours only, more chips than a card holds) go to `problems`.
CollectionLayout layOutCollection(const SourceCollection &collection, QStringList &problems);

} // namespace Palettra::Deck
