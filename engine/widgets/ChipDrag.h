#pragma once

#include "engine/db/ColorEntry.h"

#include <QPixmap>
#include <QUuid>

#include <functional>

class QDrag;
class QWidget;

namespace Vantor {

// The picture that follows the pointer while a chip is dragged: the chip's colour
// fading towards the right, with its code in the top right corner.
QPixmap chipDragPixmap(const DB::ColorEntry &entry);

// Starts dragging a chip out of `source` with the record of the collection's colour;
// returns the drop action the drag ended with.
Qt::DropAction startChipDrag(QWidget *source, int from, const QUuid &collectionId, const DB::ColorEntry &entry,
                             Qt::DropActions supportedActions, Qt::DropAction defaultAction);

// Runs a prepared drag. By default QDrag::exec; tests replace it to see the payload and
// the actions without a window system.
using ChipDragRunner = std::function<Qt::DropAction(QDrag *drag, Qt::DropActions supported, Qt::DropAction defaultAction)>;
void setChipDragRunner(ChipDragRunner runner);

} // namespace Vantor
