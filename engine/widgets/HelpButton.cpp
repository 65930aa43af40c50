#include "HelpButton.h"

#include "engine/db/ThemeResources.h"

#include <QPainter>

namespace Vantor {

HelpButton::HelpButton(QWidget *parent)
    : TaskButton(parent)
{
    textColor = QColor(0, 129, 183);
    setFont(DB::boldFont(4));
    setText(QStringLiteral("?"));
    setToolTip(QStringLiteral("Help (F1)"));
    setAccessibleName(QStringLiteral("Help"));
}

void HelpButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(hasFocus() ? QPen(Qt::NoPen) : QPen(frameColor, 2));
    painter.setBrush(plateGradient(false));
    painter.drawEllipse(rect());
    // Disabled: the caption turns to the negative of its grey.
    const QColor caption = isEnabled() ? textColor : QColor(255 - qGray(textColor.rgb()), 255 - qGray(textColor.rgb()), 255 - qGray(textColor.rgb()));
    QRect captionRect = rect();
    if (isDown())
        captionRect.translate(downShift());
    drawCaption(painter, captionRect, caption);
}

} // namespace Vantor
