#include "TexturesWidget.h"

#include "PendingPanel.h"

#include <QPainter>

namespace Vantor {

TexturesWidget::TexturesWidget(QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
}

void TexturesWidget::selectedCollectionChanged(QUuid)
{
}

void TexturesWidget::selectedPageChanged()
{
}

void TexturesWidget::selectedRowChanged()
{
}

void TexturesWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    paintPendingPanel(this, painter);
}

} // namespace Vantor
