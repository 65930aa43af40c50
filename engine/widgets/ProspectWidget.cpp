#include "ProspectWidget.h"

#include "PendingPanel.h"

#include <QPainter>

namespace Vantor {

ProspectWidget::ProspectWidget(QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
}

void ProspectWidget::selectedCollectionChanged(QUuid)
{
}

void ProspectWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    paintPendingPanel(this, painter);
}

} // namespace Vantor
