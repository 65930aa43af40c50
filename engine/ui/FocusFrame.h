#pragma once

#include <QPointer>
#include <QWidget>

namespace Vantor {

// The frame that shows which panel has the keyboard focus, drawn in the picker's theme
// over the panel: it follows the focus within its main widget while the focus moves by
// keyboard, and hides after a mouse click.
class FocusFrame : public QWidget
{
    Q_OBJECT
public:
    explicit FocusFrame(QWidget *mainWidget);
    ~FocusFrame() override;

    // The widget the frame is drawn around (null when hidden).
    QWidget *framedWidget() const { return framed; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QWidget *focus);
    void place();

    QPointer<QWidget> framed;
    bool byKeyboard = false;
};

} // namespace Vantor
