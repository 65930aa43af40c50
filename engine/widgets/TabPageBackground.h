#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

class QWidget;

namespace Vantor {

// The part of the main window's background picture that lies under `widget`, from
// `offset` in the widget's own coordinates and as large as `size` (the widget's size
// when empty): drawn behind a panel, it makes the panel look see-through. Null outside a
// main widget.
QImage tabPageBackground(const QWidget *widget, const QPoint &offset = QPoint(), QSize size = QSize());

} // namespace Vantor
