#include "DropDownButton.h"

#include "engine/db/ThemeResources.h"

#include <QPainter>

namespace Vantor {

DropDownButton::DropDownButton(QWidget *parent)
    : QPushButton(parent)
{
    setAutoRepeat(false);
    setFixedSize(20, 20);
    setToolTip(QStringLiteral("Choose a collection"));
    arrowDown = DB::themeImage(DB::ThemeKey::ImageWidgetDropdownArrowDown, QSize(20, 20));
    arrowUp = DB::themeImage(DB::ThemeKey::ImageWidgetDropdownArrowUp, QSize(20, 20));
}

bool DropDownButton::setClosed(bool isClosed)
{
    if (closed == isClosed)
        return false;
    closed = isClosed;
    update();
    return true;
}

void DropDownButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, backgroundCopy);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QImage &arrow = closed ? arrowDown : arrowUp;
    painter.drawImage((width() - arrow.width()) / 2, (height() - arrow.height()) / 2, arrow);
}

} // namespace Vantor
