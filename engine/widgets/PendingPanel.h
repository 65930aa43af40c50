#pragma once

class QPainter;
class QWidget;

namespace Vantor {

// Marks the place of a panel whose content is not built yet: a faint frame with the
// panel's class name, so that the window's geometry can be seen and checked.
void paintPendingPanel(QWidget *panel, QPainter &painter);

} // namespace Vantor
