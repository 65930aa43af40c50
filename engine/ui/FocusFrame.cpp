#include "FocusFrame.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>

namespace Vantor {

namespace {

// Widgets smaller than this either way are framed from outside.
constexpr int SmallButton = 48;

} // namespace

FocusFrame::FocusFrame(QWidget *mainWidget)
    : QWidget(mainWidget)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    // The reason a widget takes the focus says whether the keyboard moved it.
    qApp->installEventFilter(this);
}

FocusFrame::~FocusFrame()
{
    qApp->removeEventFilter(this);
}

void FocusFrame::follow(QWidget *focus)
{
    if (framed)
        framed->removeEventFilter(this);
    framed = nullptr;
    QWidget *main = parentWidget();
    if (!focus || !main || !main->isAncestorOf(focus)) {
        hide();
        return;
    }
    // A borderless text field is framed with the panel it sits in.
    QWidget *target = focus;
    if (qobject_cast<QLineEdit *>(focus) && focus->parentWidget() && focus->parentWidget() != main
        && focus->parentWidget()->focusPolicy() != Qt::NoFocus)
        target = focus->parentWidget();
    framed = target;
    framed->installEventFilter(this);
    place();
}

void FocusFrame::place()
{
    if (!framed || !framed->isVisible()) {
        hide();
        return;
    }
    QRect area(framed->mapTo(parentWidget(), QPoint(0, 0)), framed->size());
    // Round a small button, not over it: there a line inside would cover its face.
    if (area.width() < SmallButton || area.height() < SmallButton)
        area = area.adjusted(-3, -3, 3, 3) & parentWidget()->rect();
    setGeometry(area);
    show();
    raise();
    update();
}

bool FocusFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Tab, Shift+Tab and shortcuts show the frame; the mouse puts it away; other
        // reasons (a panel handing the focus on) keep what was.
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
            byKeyboard = true;
        else if (reason == Qt::MouseFocusReason)
            byKeyboard = false;
        if (parentWidget() && parentWidget()->isAncestorOf(widget) && widget->window() == parentWidget()->window())
            follow(byKeyboard ? widget : nullptr);
        return false;
    }
    if (watched == framed) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        case QEvent::MouseButtonPress:
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    // A line in the gold of the chosen scheme's ring on a dark edge: seen on the dark
    // panels and on the light buttons alike.
    const QRectF line = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(QColor(0, 0, 0, 110), 3.5));
    painter.drawRoundedRect(line, 4, 4);
    painter.setPen(QPen(QColor(255, 196, 64), 1.5));
    painter.drawRoundedRect(line, 4, 4);
}

} // namespace Vantor
