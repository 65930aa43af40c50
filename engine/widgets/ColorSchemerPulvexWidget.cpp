#include "ColorSchemerPulvexWidget.h"

#include "PendingPanel.h"

#include <QPainter>

namespace Vantor {

ColorSchemerPulvexWidget::ColorSchemerPulvexWidget(QWidget *parent)
    : QWidget(parent)
{
}

void ColorSchemerPulvexWidget::selectedCollectionChanged(QUuid)
{
}

void ColorSchemerPulvexWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPendingPanel(this, painter);
}

} // namespace Vantor
