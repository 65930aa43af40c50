#include "ImageButton.h"

#include "OrvaCustomStyle.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>

namespace Vantor {

ImageButton::ImageButton(const QImage &normal, const QImage &pressed, QWidget *parent)
    : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    ownStyle = new OrvaCustomStyle(this);
    setStyle(ownStyle);
    if (!normal.isNull())
        normalImage = normal;
    pressedImage = pressed;
    if (!normalImage.isNull()) {
        disabledImage = QImage(normalImage.size(), QImage::Format_ARGB32_Premultiplied);
        disabledImage.fill(Qt::transparent);
        QPainter painter(&disabledImage);
        painter.setOpacity(0.5);
        painter.drawImage(0, 0, normalImage);
    }
    fadeIn = new QPropertyAnimation(this);
    fadeIn->setPropertyName("opacity");
    fadeIn->setStartValue(0.2);
    fadeIn->setEndValue(1.0);
    fadeIn->setDuration(800);
    fadeIn->setEasingCurve(QEasingCurve::OutQuart);
    fadeOut = new QPropertyAnimation(this);
    fadeOut->setPropertyName("opacity");
    fadeOut->setStartValue(1.0);
    fadeOut->setEndValue(0.2);
    fadeOut->setDuration(800);
    fadeOut->setEasingCurve(QEasingCurve::OutQuart);
    attention = new QSequentialAnimationGroup(this);
    attention->addAnimation(fadeIn);
    attention->addAnimation(fadeOut);
    attention->setLoopCount(-1);
}

const QImage &ImageButton::currentPicture() const
{
    if (!isEnabled())
        return disabledImage;
    return isDown() ? pressedImage : normalImage;
}

bool ImageButton::attentionRunning() const
{
    return attention->state() == QAbstractAnimation::Running;
}

void ImageButton::startAttentionAnimation()
{
    // The button's own visibility: a button shown in a window that is not on screen yet
    // pulses from the moment the window appears.
    if (isHidden() || attention->state() == QAbstractAnimation::Running)
        return;
    // The last fade-in of an ended animation may still run on its own: it goes back into
    // the sequence first.
    if (fadeIn->group() != attention) {
        disconnect(fadeIn, &QPropertyAnimation::finished, this, &ImageButton::fadeInAnimationStopped);
        fadeIn->stop();
        restoreSequence();
    }
    auto *effect = new QGraphicsOpacityEffect(this);
    fadeIn->setTargetObject(effect);
    fadeOut->setTargetObject(effect);
    effect->setEnabled(false);
    setGraphicsEffect(effect);
    effect->setEnabled(true);
    attention->start();
}

void ImageButton::endAttentionAnimation()
{
    if (isHidden() || attention->state() == QAbstractAnimation::Stopped)
        return;
    attention->stop();
    // Let the button end fully opaque: one last fade in, after which the effect goes.
    attention->removeAnimation(fadeIn);
    connect(fadeIn, &QPropertyAnimation::finished, this, &ImageButton::fadeInAnimationStopped);
    fadeIn->setParent(this);
    fadeIn->start();
}

void ImageButton::restoreSequence()
{
    // A sequential group takes new animations only after its current one (it warns
    // otherwise): the fade-in goes back in front by building the sequence again.
    if (QAbstractAnimation *out = attention->takeAnimation(0))
        out->setParent(this);
    attention->addAnimation(fadeIn);
    attention->addAnimation(fadeOut);
}

void ImageButton::fadeInAnimationStopped()
{
    disconnect(fadeIn, &QPropertyAnimation::finished, this, &ImageButton::fadeInAnimationStopped);
    restoreSequence();
    setGraphicsEffect(nullptr);
    update();
}

void ImageButton::setVisible(bool visible)
{
    if (!visible)
        endAttentionAnimation();
    QPushButton::setVisible(visible);
}

} // namespace Vantor
