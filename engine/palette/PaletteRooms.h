#pragma once

// The rooms of My Palette's chips as text, one line per surface, "ROOM / SURFACE: CODE":
// what the colour board reads, and what is kept in a file beside a saved palette, so
// that the palette file itself stays as it is and older readers are unaffected.

#include <QString>

namespace Vantor {

class MyPaletteModel;

// The lines of the chips that have a room and a surface, in grid order; empty for none.
QString paletteRoomsText(const MyPaletteModel &palette);

// Gives the palette's chips the rooms of the text: each line goes to the first chip with
// its code that has none yet. Lines that are no such line, or name no chip, are passed
// over.
void applyPaletteRooms(MyPaletteModel &palette, const QString &rooms);

// The rooms file beside a palette file: "Kitchen.palette" gives "Kitchen.rooms".
QString roomsFileBeside(const QString &palettePath);

} // namespace Vantor
