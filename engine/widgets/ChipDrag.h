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

// Starts dragging a chip out of `source` with the record of the collection's colour,
// and for other programs the colour and the chip in words; returns the drop action the
// drag ended with.
Qt::DropAction startChipDrag(QWidget *source, int from, const QUuid &collectionId, const DB::ColorEntry &entry,
                             Qt::DropActions supportedActions, Qt::DropAction defaultAction);

// Starts dragging a bare colour with its two name lines out of `source` (the trend
// groups); `label` is written on the picture that follows the pointer.
Qt::DropAction startColourDrag(QWidget *source, int from, const QColor &colour, const QString &name1, const QString &name2,
                               const QString &label, Qt::DropActions supportedActions, Qt::DropAction defaultAction);

// The picture of a colour drag: the colour fading towards the right, with the label.
QPixmap colourDragPixmap(const QColor &colour, const QString &label);

// A text field of the picker that takes text dropped from other programs but no chip
// (a chip's drag carries its words too, for other programs).
void refuseChipDrops(QWidget *field);

// Runs a prepared drag. By default QDrag::exec; tests replace it to see the payload and
// the actions without a window system.
using ChipDragRunner = std::function<Qt::DropAction(QDrag *drag, Qt::DropActions supported, Qt::DropAction defaultAction)>;
void setChipDragRunner(ChipDragRunner runner);

} // namespace Vantor
