#include "TabPageBackground.h"

#include "engine/ui/MainWidget.h"

namespace Vantor {

QImage tabPageBackground(const QWidget *widget, const QPoint &offset, QSize size)
{
    const MainWidget *main = MainWidget::of(widget);
    if (!main || main->background().isNull())
        return QImage();
    if (size.isEmpty())
        size = widget->size();
    return main->background().copy(QRect(widget->mapTo(main, offset), size));
}

} // namespace Vantor
