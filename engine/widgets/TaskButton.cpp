#include "TaskButton.h"

#include <QKeyEvent>

#include "engine/widgets/Captions.h"

#include "engine/db/ThemeResources.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace Vantor {

TaskButton::TaskButton(QWidget *parent)
    : QPushButton(parent)
{
    setFont(DB::normalFont(3));
    setMouseTracking(true);
    followEnabledState();
}

void TaskButton::followEnabledState()
{
    // A disabled widget gets no mouse events, so the cursor cannot wait for a move.
    setCursor(isEnabled() ? Qt::ArrowCursor : Qt::ForbiddenCursor);
}

void TaskButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        followEnabledState();
    QPushButton::changeEvent(event);
}

void TaskButton::mouseMoveEvent(QMouseEvent *event)
{
    followEnabledState();
    QPushButton::mouseMoveEvent(event);
}

QLinearGradient TaskButton::plateGradient(bool darkenDisabled) const
{
    QLinearGradient gradient(rect().topLeft(), rect().bottomLeft());
    if (isEnabled()) {
        gradient.setColorAt(0, topColor);
        gradient.setColorAt(1, bottomColor);
    } else {
        const QColor flat = darkenDisabled ? bottomColor.darker(120) : bottomColor;
        gradient.setColorAt(0, flat);
        gradient.setColorAt(1, flat);
    }
    return gradient;
}

QColor TaskButton::disabledCaptionColor() const
{
    const int grey = (11 * topColor.red() + 16 * topColor.green() + 5 * topColor.blue()) / 32;
    return QColor(grey, grey, grey);
}

QRect TaskButton::captionRect(int downShiftX, int downShiftY, int upShift) const
{
    QRect caption = rect();
    if (isDown())
        caption.adjust(downShiftX, downShiftY, 0, 0);
    else
        caption.adjust(upShift, upShift, 0, 0);
    return caption;
}

QString TaskButton::fittedCaption(int width) const
{
    const QString caption = text();
    // The same shared text needs no comparison of its characters.
    const bool sameText = caption.constData() == m_captionSource.constData() ? caption.size() == m_captionSource.size()
                                                                               : caption == m_captionSource;
    if (width != m_captionWidth || !sameText || font() != m_captionFont) {
        m_captionSource = caption;
        m_captionFont = font();
        m_captionWidth = width;
        m_fittedCaption = elideCaption(m_captionSource, QFontMetrics(m_captionFont), width);
    }
    return m_fittedCaption;
}

void TaskButton::drawCaption(QPainter &painter, const QRect &rect, const QColor &colour) const
{
    painter.setPen(colour);
    painter.setFont(font());
    const QString caption = fittedCaption(rect.width());
    // Drawn twice over itself: a slightly heavier caption on the light plate.
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, caption);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, caption);
}

void TaskButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(hasFocus() ? QPen(Qt::NoPen) : QPen(frameColor, 2));
    painter.setBrush(plateGradient(true));
    painter.drawRoundedRect(rect(), 5, 5, Qt::AbsoluteSize);

    drawCaption(painter, captionRect(3, 3, 1), isEnabled() ? textColor : disabledCaptionColor());

    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(119, 173, 216, 192), 2));
        painter.drawRoundedRect(rect().adjusted(3, 3, -3, -3), 5, 5, Qt::AbsoluteSize);
        painter.setPen(QPen(QColor(198, 216, 230, 192), 2));
        painter.drawRoundedRect(rect().adjusted(2, 2, -2, -2), 5, 5, Qt::AbsoluteSize);
    }
}

void TaskButton::keyPressEvent(QKeyEvent *event)
{
    // Enter presses a header button as Space does, as users of other programs expect.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (isEnabled())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace Vantor
