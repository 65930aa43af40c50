#include "MyPaletteFullWidget.h"

#include "engine/widgets/PendingPanel.h"

#include <QPainter>

namespace Vantor {

MyPaletteFullWidget::MyPaletteFullWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void MyPaletteFullWidget::selectedCollectionChanged(QUuid)
{
    update();
}

void MyPaletteFullWidget::backClicked()
{
    emit backButtonClicked();
}

void MyPaletteFullWidget::backgroundColorSliderValueChanged(int) {}

void MyPaletteFullWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(176, 176, 176));
    paintPendingPanel(this, painter);
}

} // namespace Vantor
