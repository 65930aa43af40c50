#include "ProspectLayout.h"

#include <algorithm>

namespace Vantor {

namespace {

// A chip with its two captions under it, at (x, y).
ProspectEntryPlace placeEntry(int x, int y, const QSize &chip, const ProspectEntryInput &entry)
{
    ProspectEntryPlace place;
    place.chip = QRect(QPoint(x, y), chip);
    place.firstCaption = QRect(QPoint(x, place.chip.bottom() + 5), entry.firstCaption);
    place.secondCaption = QRect(QPoint(x, place.firstCaption.bottom() + 2), entry.secondCaption);
    return place;
}

QRect blockOf(const ProspectEntryPlace &place)
{
    return place.chip.united(place.firstCaption).united(place.secondCaption);
}

} // namespace

ProspectLayout layoutProspectGroups(int width, const QSize &chip, const QVector<ProspectGroupInput> &groups)
{
    ProspectLayout layout;
    int y = 0;
    for (const ProspectGroupInput &group : groups) {
        ProspectGroupPlace place;
        const int headerTop = y;
        if (!group.open) {
            place.area = QRect(QPoint(0, y), QPoint(width - 1, y + group.headerHeight - 1));
        } else {
            y += group.headerHeight + 9;
            int x = 0;
            int tallest = 0; // of the blocks on the current chip row
            for (const ProspectEntryInput &entry : group.entries) {
                ProspectEntryPlace entryPlace = placeEntry(x, y, chip, entry);
                // A block reaching the right edge starts the next chip row, unless it is
                // the first of its row already.
                if (blockOf(entryPlace).right() >= width && x > 0) {
                    x = 0;
                    y += tallest + 10;
                    tallest = 0;
                    entryPlace = placeEntry(x, y, chip, entry);
                }
                const QRect block = blockOf(entryPlace);
                tallest = std::max(tallest, block.height());
                place.entries << entryPlace;
                x += block.width() + 5;
            }
            place.area = QRect(QPoint(0, headerTop), QPoint(width - 1, y + tallest - 1));
        }
        layout.groups << place;
        y = place.area.bottom() + 10;
    }
    layout.height = std::max(0, y - 9);
    return layout;
}

} // namespace Vantor
