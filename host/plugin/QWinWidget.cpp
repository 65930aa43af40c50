#include "QWinWidget.h"

#include "engine/db/LogCategories.h"

#include <QApplication>
#include <QChildEvent>
#include <QFocusEvent>
#include <QPointer>

QWinWidget::QWinWidget(HWND parentWindow, QObject *parent, Qt::WindowFlags f)
    : QWidget(nullptr, f)
    , hostWindow(parentWindow)
{
    // A widget cannot take a plain object as its parent: it goes when that object goes.
    if (parent) {
        QPointer<QWinWidget> self(this);
        connect(parent, &QObject::destroyed, this, [self] { delete self.data(); });
    }
    init();
}

QWinWidget::~QWinWidget() = default;

void QWinWidget::init()
{
    if (!hostWindow)
        return;
    const HWND self = Win32Layer::handleOf(this);
    SetWindowLongPtrW(self, GWL_STYLE, LONG_PTR(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
    SetParent(self, hostWindow);
    Win32Layer::setNativeMessageFilter(this, &QWinWidget::nativeMessage);
    QEvent embedding(QEvent::EmbeddingControl);
    QCoreApplication::sendEvent(this, &embedding);
}

void QWinWidget::show()
{
    saveFocus();
    QWidget::show();
}

void QWinWidget::center()
{
    const QObjectList kids = children();
    for (const QObject *kid : kids) {
        if (kid->isWidgetType() && !static_cast<const QWidget *>(kid)->isWindow()) {
            qCWarning(Vantor::lcHost, "QWinWidget::center: Call this function only for QWinWidgets with toplevel children");
            break;
        }
    }
    RECT client;
    if (!GetClientRect(hostWindow, &client))
        return;
    setGeometry((client.right - client.left) / 2, (client.bottom - client.top) / 2, 0, 0);
}

void QWinWidget::showCentered()
{
    center();
    saveFocus();
    QWidget::show();
}

void QWinWidget::saveFocus()
{
    if (!focusToRestore)
        focusToRestore = GetFocus();
    if (!focusToRestore)
        focusToRestore = hostWindow;
}

void QWinWidget::resetFocus()
{
    SetFocus(focusToRestore ? focusToRestore : hostWindow);
}

void QWinWidget::childEvent(QChildEvent *e)
{
    QObject *child = e->child();
    if (child->isWidgetType()) {
        if (e->added()) {
            child->installEventFilter(this);
        } else if (e->removed() && hostDisabled) {
            hostDisabled = false;
            EnableWindow(hostWindow, TRUE);
            child->removeEventFilter(this);
        }
    }
    QWidget::childEvent(e);
}

bool QWinWidget::eventFilter(QObject *o, QEvent *e)
{
    auto *widget = qobject_cast<QWidget *>(o);
    if (!widget)
        return QWidget::eventFilter(o, e);
    switch (e->type()) {
    case QEvent::Show:
        if (widget->isWindow()) {
            saveFocus();
            hide();
            if (widget->isModal() && !hostDisabled) {
                EnableWindow(hostWindow, FALSE);
                hostDisabled = true;
            }
        }
        break;
    case QEvent::Hide:
        if (hostDisabled) {
            EnableWindow(hostWindow, TRUE);
            hostDisabled = false;
        }
        resetFocus();
        if (widget->testAttribute(Qt::WA_DeleteOnClose) && widget->isWindow())
            deleteLater();
        break;
    case QEvent::Close:
        SetActiveWindow(hostWindow);
        if (widget->testAttribute(Qt::WA_DeleteOnClose))
            deleteLater();
        break;
    case QEvent::WindowDeactivate:
        if (widget->isModal() && widget->isHidden())
            BringWindowToTop(hostWindow);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(o, e);
}

bool QWinWidget::nativeMessage(QWidget *widget, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = qobject_cast<QWinWidget *>(widget);
    if (!self)
        return false;
    MSG msg{};
    msg.hwnd = Win32Layer::handleOf(widget);
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    long result = 0;
    return self->winEvent(&msg, &result);
}

bool QWinWidget::winEvent(MSG *message, long *)
{
    if (message->message == WM_SETFOCUS) {
        const Qt::FocusReason reason = GetKeyState(VK_SHIFT) < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason;
        QFocusEvent focusIn(QEvent::FocusIn, reason);
        QCoreApplication::sendEvent(this, &focusIn);
    }
    return false;
}

bool QWinWidget::isTabStop(const QWidget *widget) const
{
    return widget != this && isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled()
        && widget->isVisibleTo(this);
}

// Here the widget is a Qt child of its native parent rather than a window of its own,
// so the focus chain runs on into the parent's other children: leaving this widget is
// where a separate window's chain would reach its top-level.
bool QWinWidget::hasTabStopBeforeLeaving(QWidget *from, bool next) const
{
    for (QWidget *widget = next ? from->nextInFocusChain() : from->previousInFocusChain(); widget && widget != from;
         widget = next ? widget->nextInFocusChain() : widget->previousInFocusChain()) {
        if (widget->isWindow() || (widget != this && !isAncestorOf(widget)))
            return false;
        if (isTabStop(widget))
            return true;
    }
    return false;
}

void QWinWidget::focusInEvent(QFocusEvent *e)
{
    const Qt::FocusReason reason = e->reason();
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason) {
        QWidget::focusInEvent(e);
        return;
    }
    // Entering by Tab lands on the first tab stop; by Shift+Tab on the last.
    QWidget *target = nullptr;
    for (QWidget *widget = nextInFocusChain(); widget && widget != this; widget = widget->nextInFocusChain()) {
        if (!isAncestorOf(widget))
            break;
        if (isTabStop(widget)) {
            target = widget;
            if (reason == Qt::TabFocusReason)
                break;
        }
    }
    if (!target)
        return;
    target->setFocus(reason);
    target->setAttribute(Qt::WA_KeyboardFocusChange);
    target->window()->setAttribute(Qt::WA_KeyboardFocusChange);
}

bool QWinWidget::focusNextPrevChild(bool next)
{
    QWidget *current = QApplication::focusWidget();
    if (!current || !isAncestorOf(current))
        current = focusWidget();
    if (current && (next || !current->isWindow()) && hasTabStopBeforeLeaving(current, next))
        return QWidget::focusNextPrevChild(next);
    SetFocus(hostWindow);
    return true;
}
