#include "ProductsWidget.h"

#include "PendingPanel.h"

#include <QPainter>

namespace Vantor {

ProductsWidget::ProductsWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ProductsWidget"));
}

void ProductsWidget::selectedCollectionChanged(QUuid)
{
}

void ProductsWidget::selectedColorChanged()
{
}

void ProductsWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPendingPanel(this, painter);
}

} // namespace Vantor
