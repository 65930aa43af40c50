#pragma once

// Colours typed as text: the values designers copy from other tools.

#include "ColourDifference.h"

#include <QString>

namespace Vantor {

// The colour a text names, as CIELab (D65): "#RGB" or "#RRGGBB", "rgb(r, g, b)" (or
// "RGB r g b", "RGB: r, g, b") or three whole numbers 0 to 255 ("r g b"), "lab(L a b)" (or
// "Lab L a b", "Lab: L, a, b"), "L* a* b*" with each number followed by
// an asterisk, or three numbers that cannot be sRGB (a fraction, a sign) with L from 0 to
// 100. Letter case, commas and blanks between the numbers do not matter. False for
// anything else, values out of range and numbers that are no numbers.
bool parseColourValue(const QString &text, LabColour &lab);
// Whether the text is meant as a colour value by its form ("#…", "rgb(…", "lab(…", "RGB
// 12…", "Lab -3…"), be the value right or not.
bool looksLikeColourValue(const QString &text);
// Six hex digits without their "#" ("56bdc6"), as some tools copy a colour: taken only
// where no name or code holds them.
bool parseBareHexColour(const QString &text, LabColour &lab);

// The words for a colour on the clipboard: "CODE Name — #RRGGBB — rgb(r, g, b) —
// Lab(L, a, b)" (CIELab to two decimals; the name left out when there is none).
QString colourInWords(const QString &code, const QString &name, const QColor &rgb, const LabColour &lab);
// A chip of a collection in those words, with its first name in the collection's order
// of names: what the clipboard, a drag and assistive technology give for it.
QString chipInWords(const DB::ColorEntry &chip);
// The chip's code and first name in that order ("OT 1042 Studio Seafoam"), its code
// alone when it has no name.
QString chipCodeAndName(const DB::ColorEntry &chip);

} // namespace Vantor
