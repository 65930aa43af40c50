#include "WindowBackground.h"

#include <QWidget>

namespace Vantor {

QImage WindowBackground::under(const QWidget *panel, const QWidget *part, const QPoint &offset, QSize size) const
{
    if (picture.isNull() || !panel || !part)
        return QImage();
    if (size.isEmpty())
        size = part->size();
    const QPoint inPanel = part == panel ? offset : part->mapTo(panel, offset);
    return picture.copy(QRect(origin + inPanel, size));
}

} // namespace Vantor
