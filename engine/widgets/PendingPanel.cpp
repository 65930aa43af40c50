#include "PendingPanel.h"

#include <QPainter>
#include <QWidget>

namespace Vantor {

void paintPendingPanel(QWidget *panel, QPainter &painter)
{
    painter.save();
    painter.setPen(QPen(QColor(255, 255, 255, 70), 1, Qt::DashLine));
    painter.drawRect(panel->rect().adjusted(0, 0, -1, -1));
    painter.setPen(QColor(255, 255, 255, 110));
    painter.drawText(panel->rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromLatin1(panel->metaObject()->className()).section(QLatin1String("::"), -1));
    painter.restore();
}

} // namespace Vantor
