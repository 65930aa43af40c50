#include "RollButton.h"

#include "engine/db/ThemeResources.h"

#include <QPainter>

namespace Vantor {

RollButton::RollButton(Direction direction, QWidget *parent)
    : QPushButton(parent)
    , m_direction(direction)
{
    setAutoRepeat(true);
    setToolTip(direction == Backward ? QStringLiteral("Previous card") : QStringLiteral("Next card"));
    setAccessibleName(toolTip());
    loadImages();
    setFixedSize(normalImage.size());
}

void RollButton::loadImages()
{
    const bool backward = m_direction == Backward;
    pressedImage = DB::themeImage(backward ? DB::ThemeKey::ImageWidgetRollBackwardDown : DB::ThemeKey::ImageWidgetRollForwardDown, size());
    normalImage = DB::themeImage(backward ? DB::ThemeKey::ImageWidgetRollBackwardNormal : DB::ThemeKey::ImageWidgetRollForwardNormal, size());
}

void RollButton::selectedCollectionChanged(QUuid)
{
    loadImages();
    update();
}

void RollButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QImage &image = isDown() ? pressedImage : normalImage;
    if (!image.isNull())
        painter.drawImage(QPoint((width() - image.width()) / 2, (height() - image.height()) / 2), image);
}

} // namespace Vantor
