#pragma once

#include <QColor>
#include <QFont>
#include <QPushButton>

namespace Vantor {

// A text button of the main window's header: a light rounded plate with a dark caption.
class TaskButton : public QPushButton
{
    Q_OBJECT
public:
    explicit TaskButton(QWidget *parent = nullptr);

    QColor frameColor{255, 255, 255, 64};
    QColor textColor{49, 49, 49};
    QColor topColor{238, 238, 238};
    QColor bottomColor{204, 204, 204};

    // The caption as drawn into a rectangle of that width: elided at the right when it
    // does not fit, and measured once for each text, font and width.
    QString fittedCaption(int width) const;

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

    // The plate's fill and the caption colour for the current state.
    QLinearGradient plateGradient(bool darkenDisabled) const;
    QColor disabledCaptionColor() const;
    QRect captionRect(int downShiftX, int downShiftY, int upShift) const;
    void drawCaption(QPainter &painter, const QRect &rect, const QColor &colour) const;

private:
    // The forbidden sign while disabled, the arrow otherwise.
    void followEnabledState();

    mutable QString m_captionSource;
    mutable QFont m_captionFont;
    mutable int m_captionWidth = -1;
    mutable QString m_fittedCaption;
};

} // namespace Vantor
