#pragma once

// What palette files of other design tools carry, and what our palette hands them.

#include "engine/colour/ColourDifference.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Vantor {

// One chip of My Palette as another program gets it.
struct ExchangeChip
{
    QString code;
    QStringList names; // every name it has, in the collection's display order (may be empty)
    QColor rgb;
    LabColour lab; // of the database row where it has one, else from the RGB
};

// "<code> <first name>", or the code alone when the first name is empty.
inline QString exchangeLabel(const ExchangeChip &chip)
{
    const QString firstName = chip.names.value(0);
    return firstName.isEmpty() ? chip.code : chip.code + QLatin1Char(' ') + firstName;
}

// One colour as another program's palette file holds it: CIELab (carried over to D65
// from the white point the file gives) or sRGB, or only a name to be looked up.
struct ImportedColour
{
    QString name;
    bool hasLab = false;
    LabColour lab;
    // False when the file did not say under which white point its CIELab is (then taken
    // as D65): its sRGB, where it has one, is the surer value.
    bool labWhiteKnown = true;
    bool hasRgb = false;
    QColor rgb;
};

struct ImportedPalette
{
    QString description;
    QVector<ImportedColour> colours;
};

// Files of other programs are read whole; a palette of a few hundred colours is well
// under this.
inline constexpr qint64 MaximumExchangeFileSize = 4 * 1024 * 1024;

} // namespace Vantor
