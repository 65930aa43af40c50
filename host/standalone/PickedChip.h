#pragma once

#include "engine/db/ColorEntry.h"

#include <QString>
#include <QUuid>

namespace Palettra {

// A chip handed to a script by `palettra --pick`: one line of JSON ({"collection",
// "collectionName", "code", "names", "hex", "rgb", "lab"}, CIELab D65 as the engine
// computes it from the colour), or "#rrggbb" alone.
enum class PickFormat { Json, Hex };
QString pickedChipLine(const QUuid &collection, const Vantor::DB::ColorEntry &chip, PickFormat format);

} // namespace Palettra
