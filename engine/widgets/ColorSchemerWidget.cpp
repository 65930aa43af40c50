#include "ColorSchemerWidget.h"

#include "PendingPanel.h"

#include <QPainter>

namespace Vantor {

ColorSchemerWidget::ColorSchemerWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void ColorSchemerWidget::selectedCollectionChanged(QUuid)
{
}

void ColorSchemerWidget::switchToScheme1()
{
}

void ColorSchemerWidget::switchToScheme2()
{
}

void ColorSchemerWidget::switchToScheme3()
{
}

void ColorSchemerWidget::switchToScheme4()
{
}

void ColorSchemerWidget::switchToScheme5()
{
}

void ColorSchemerWidget::switchToScheme6()
{
}

void ColorSchemerWidget::switchToScheme7()
{
}

void ColorSchemerWidget::switchToScheme8()
{
}

void ColorSchemerWidget::switchToScheme9()
{
}

void ColorSchemerWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPendingPanel(this, painter);
}

} // namespace Vantor
