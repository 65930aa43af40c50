#pragma once

// The demo decks' look, drawn in code: every theme item at the size the panels ask for,
// the collections' banners, logos and made-to-order marks, and greyscale surface
// textures. One coherent style: dark slate panels, light type, a warm amber accent.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QString>
#include <QVector>

namespace Palettra::Deck {

struct WheelSegmentColour
{
    double centreDegrees = 0; // mathematical orientation
    double spanDegrees = 15;
    QColor colour;            // invalid: the segment has no colours
};

struct ThemeInputs
{
    QString fontList;
    QColor selectorText{236, 236, 236};
    QVector<WheelSegmentColour> wheelSegments;
};

struct BannerInputs
{
    QString title;
    QString subtitle;
    QVector<QColor> chips; // a sample of the collection's colours, in wheel order
};

// The items shared by all collections of a file (stored in the virtual collection), by
// theme key; images as PNG, colours and the font list as text.
QMap<QString, QByteArray> drawSharedTheme(const ThemeInputs &inputs);

// The three items each collection brings itself: banner, about logo, MTO mark.
QMap<QString, QByteArray> drawCollectionTheme(const BannerInputs &inputs);

// A greyscale surface picture: "plaster", "fabric", "wood", "brick" or "concrete".
// Null for an unknown pattern.
QImage drawTexture(const QString &pattern, const QSize &size);

QByteArray pngBytes(const QImage &image);

// All items of a theme on one sheet, each labelled with its key, for looking at them.
QImage themeContactSheet(const QMap<QString, QImage> &items);

} // namespace Palettra::Deck
