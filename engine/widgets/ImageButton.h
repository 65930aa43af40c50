#pragma once

#include <QImage>
#include <QPushButton>

class QPropertyAnimation;
class QSequentialAnimationGroup;

namespace Vantor {

class OrvaCustomStyle;

// A push button drawn from pictures, with a half-transparent disabled look and an
// attention animation that makes it pulse.
class ImageButton : public QPushButton
{
    Q_OBJECT
public:
    ImageButton(const QImage &normal, const QImage &pressed, QWidget *parent = nullptr);

    // The picture for the current state.
    const QImage &currentPicture() const;
    const QImage &disabledPicture() const { return disabledImage; }

    void startAttentionAnimation();
    void endAttentionAnimation();
    bool attentionRunning() const;

public slots:
    void setVisible(bool visible) override;

protected slots:
    void fadeInAnimationStopped();

private:
    void restoreSequence();

private:
    QImage pressedImage;
    QImage normalImage;
    QImage disabledImage;
    QPropertyAnimation *fadeOut = nullptr;
    QPropertyAnimation *fadeIn = nullptr;
    QSequentialAnimationGroup *attention = nullptr;
    OrvaCustomStyle *ownStyle = nullptr;
};

} // namespace Vantor
