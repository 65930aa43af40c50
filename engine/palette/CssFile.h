#pragma once

// Style sheets for web tools (.css): one custom property per chip.

#include "ExchangeColours.h"

#include <QByteArray>

namespace Vantor {

// "/* <description> */", then ":root {", per chip "  --<code as an identifier>: #rrggbb;"
// with the chip's code and names in a comment, and "}".
QByteArray cssBytes(const QString &description, const QVector<ExchangeChip> &chips);

// A colour code as the name of a custom property: letters in small letters, digits,
// "-" and "_" and letters beyond ASCII kept, anything else a single "-", none at either
// end; "colour" when nothing is left.
QString cssIdentifier(const QString &code);

} // namespace Vantor
