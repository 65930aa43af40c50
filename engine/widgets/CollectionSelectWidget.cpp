#include "CollectionSelectWidget.h"

#include "PendingPanel.h"

#include <QPainter>

namespace Vantor {

CollectionSelectWidget::CollectionSelectWidget(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(234, 30);
    setFocusPolicy(Qt::StrongFocus);
}

void CollectionSelectWidget::selectedCollectionChanged(QUuid)
{
}

void CollectionSelectWidget::capsureFileChanged(QString)
{
}

void CollectionSelectWidget::dropDownButtonClicked()
{
}

void CollectionSelectWidget::capsureButtonClicked()
{
}

void CollectionSelectWidget::listWidgetItemActivated(QListWidgetItem *)
{
}

void CollectionSelectWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPendingPanel(this, painter);
}

} // namespace Vantor
