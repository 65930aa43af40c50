#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

class QWidget;

namespace Vantor {

// The main window's background picture as the window hands it to a panel, with where
// the panel stands on it: the panel and the widgets inside it draw the piece under them,
// so that they look see-through. The panel never looks up for it.
struct WindowBackground
{
    QImage picture;
    QPoint origin; // the panel's top left corner on the picture

    // The piece under `part` (the panel itself or a widget inside it), from `offset` in
    // the part's own coordinates and as large as `size` (the part's size when empty);
    // null before a picture was handed.
    QImage under(const QWidget *panel, const QWidget *part, const QPoint &offset = QPoint(), QSize size = QSize()) const;
};

} // namespace Vantor
