#include "CardRollerWidget.h"

#include "PendingPanel.h"

#include <QPainter>

namespace Vantor {

CardRollerWidget::CardRollerWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
}

void CardRollerWidget::selectedCollectionChanged(QUuid)
{
}

void CardRollerWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPendingPanel(this, painter);
}

} // namespace Vantor
