#include "ColorWheelWidget.h"

#include "PendingPanel.h"

#include <QPainter>

namespace Vantor {

ColorWheelWidget::ColorWheelWidget(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(122, 122);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void ColorWheelWidget::selectedCollectionChanged(QUuid)
{
}

void ColorWheelWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPendingPanel(this, painter);
}

} // namespace Vantor
