#include "Win32.h"

#include <algorithm>

#include <QApplication>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHash>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QWidget>

namespace {

struct NativeWindow
{
    QPointer<QWidget> widget;
    bool ownsWidget = false;
    DLGPROC proc = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR style = 0;
    Win32Layer::MessageHandler handler = nullptr;
    void *context = nullptr;
    Win32Layer::NativeMessageFilter filter = nullptr;
    // The dialog's modal loop while DialogBoxIndirectParamW runs it.
    struct ModalRun *run = nullptr;
    INT_PTR result = 0;
    bool ended = false;
    bool destroying = false;
};

struct ModalRun
{
    QEventLoop loop;
    INT_PTR result = 0;
};

QHash<HWND, NativeWindow *> &windows()
{
    static QHash<HWND, NativeWindow *> table;
    return table;
}

QHash<QWidget *, HWND> &handlesByWidget()
{
    static QHash<QWidget *, HWND> table;
    return table;
}

NativeWindow *nativeWindow(HWND window)
{
    return windows().value(window, nullptr);
}

LRESULT dispatchToProc(HWND window, DLGPROC proc, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc(window, message, wParam, lParam);
}

HWND registerWidget(QWidget *widget, bool ownsWidget)
{
    auto *entry = new NativeWindow;
    entry->widget = widget;
    entry->ownsWidget = ownsWidget;
    // Handles are never used twice, so a stale handle never names a newer window.
    static quintptr lastHandle = 0x10000;
    lastHandle += 0x10;
    const HWND handle = reinterpret_cast<HWND>(lastHandle);
    windows().insert(handle, entry);
    handlesByWidget().insert(widget, handle);
    QObject::connect(widget, &QObject::destroyed, [handle, widget] {
        handlesByWidget().remove(widget);
        if (NativeWindow *gone = windows().take(handle))
            delete gone;
    });
    return handle;
}

// A dialog window: the close button asks the dialog procedure (WM_CLOSE) instead of
// closing by itself.
void retireWindow(HWND window);
void forgetWindow(HWND window);

class DialogWidget : public QWidget
{
public:
    explicit DialogWidget(QWidget *owner)
        : QWidget(owner, Qt::Dialog)
    {
    }
    ~DialogWidget() override
    {
        // Deleted with its owner, without DestroyWindow (a host that deletes its own
        // window): as on Windows, the dialog is still told with WM_DESTROY, while its
        // children are alive, and a modal loop on it ends.
        retireWindow(handle);
        forgetWindow(handle);
    }
    DialogWidget(const DialogWidget &) = delete;
    DialogWidget &operator=(const DialogWidget &) = delete;
    HWND handle = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (NativeWindow *entry = nativeWindow(handle); entry && entry->proc)
            dispatchToProc(handle, entry->proc, WM_CLOSE, 0, 0);
    }
};

// Whether `widget` has `ancestor` up its parent chain, across window borders.
bool isOwnedBy(const QWidget *widget, const QWidget *ancestor)
{
    for (const QWidget *up = widget ? widget->parentWidget() : nullptr; up; up = up->parentWidget()) {
        if (up == ancestor)
            return true;
    }
    return false;
}

// The first step of destroying a window, as Windows takes it: the dialogs it owns are
// destroyed first, then its procedure hears WM_DESTROY, and a modal loop running on it
// ends (DialogBoxIndirectParamW returns). The handle and the widget stay for the caller.
void retireWindow(HWND window)
{
    NativeWindow *entry = nativeWindow(window);
    if (!entry || entry->destroying)
        return;
    entry->destroying = true;
    if (QWidget *widget = entry->widget.data()) {
        QList<HWND> owned;
        for (auto it = windows().cbegin(); it != windows().cend(); ++it) {
            if (it.value()->proc && isOwnedBy(it.value()->widget.data(), widget))
                owned << it.key();
        }
        for (const HWND dialog : owned)
            DestroyWindow(dialog);
    }
    if (entry->proc)
        dispatchToProc(window, entry->proc, WM_DESTROY, 0, 0);
    entry = nativeWindow(window);
    if (entry && entry->run) {
        entry->run->loop.quit();
        entry->run = nullptr;
    }
}

// The handle names no window any more.
void forgetWindow(HWND window)
{
    NativeWindow *entry = windows().take(window);
    if (!entry)
        return;
    if (entry->widget)
        handlesByWidget().remove(entry->widget.data());
    delete entry;
}

// The window given the focus last, for when no window of this process is active.
HWND lastFocusWindow = nullptr;

constexpr int BaseUnitX = 8;
constexpr int BaseUnitY = 16;

HWND createDialog(LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM initParam)
{
    const auto *header = static_cast<const DLGTEMPLATEEX_HEADER *>(dialogTemplate);
    if (!header || header->dlgVer != 1 || header->signature != 0xFFFF)
        return nullptr;
    QWidget *ownerWidget = Win32Layer::widgetOf(owner);
    auto *dialog = new DialogWidget(ownerWidget);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    // A dialog takes input even when its owner is disabled (as under a modal loop).
    dialog->setEnabled(true);
    // Every coordinate of a template is in dialog units.
    const QSize size(MulDiv(header->cx, BaseUnitX, 4), MulDiv(header->cy, BaseUnitY, 8));
    dialog->resize(size);
    dialog->move(MulDiv(header->x, BaseUnitX, 4), MulDiv(header->y, BaseUnitY, 8));
    // As Windows draws a dialog of that style: without a thick frame it cannot be resized,
    // and it has the boxes its style names, no others; it shows the program's icon.
    if (!(header->style & WS_THICKFRAME))
        dialog->setFixedSize(size);
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (header->style & WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (header->style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (header->style & WS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (header->style & WS_MAXIMIZEBOX)
        flags |= Qt::WindowMaximizeButtonHint;
    dialog->setWindowFlags(flags);
    dialog->setWindowIcon(QGuiApplication::windowIcon());
    const HWND handle = registerWidget(dialog, true);
    dialog->handle = handle;
    NativeWindow *entry = nativeWindow(handle);
    entry->proc = dialogProc;
    entry->style = LONG_PTR(header->style);
    dispatchToProc(handle, dialogProc, WM_INITDIALOG, 0, initParam);
    if (!IsWindow(handle))
        return nullptr;
    if (header->style & WS_VISIBLE)
        dialog->show();
    return handle;
}

} // namespace

namespace Win32Layer {

HWND createHostWindow(QWidget *widget, MessageHandler handler, void *context)
{
    const HWND handle = handleOf(widget);
    NativeWindow *entry = nativeWindow(handle);
    entry->handler = handler;
    entry->context = context;
    return handle;
}

HWND handleOf(QWidget *widget)
{
    if (!widget)
        return nullptr;
    const HWND known = handlesByWidget().value(widget, nullptr);
    return known ? known : registerWidget(widget, false);
}

QWidget *widgetOf(HWND window)
{
    NativeWindow *entry = nativeWindow(window);
    return entry ? entry->widget.data() : nullptr;
}

void setNativeMessageFilter(QWidget *widget, NativeMessageFilter filter)
{
    nativeWindow(handleOf(widget))->filter = filter;
}

} // namespace Win32Layer

extern "C" {

INT_PTR DialogBoxIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM initParam)
{
    const bool ownerWasEnabled = IsWindowEnabled(owner);
    if (owner)
        EnableWindow(owner, FALSE);
    const HWND dialog = createDialog(dialogTemplate, owner, dialogProc, initParam);
    if (!dialog) {
        if (owner)
            EnableWindow(owner, ownerWasEnabled);
        return -1;
    }
    ModalRun run;
    NativeWindow *entry = nativeWindow(dialog);
    run.result = entry->result;
    if (!entry->ended) {
        // The loop ends with EndDialog, or when the window is destroyed.
        entry->run = &run;
        run.loop.exec(QEventLoop::DialogExec);
        if ((entry = nativeWindow(dialog)))
            entry->run = nullptr;
    }
    DestroyWindow(dialog);
    if (owner)
        EnableWindow(owner, ownerWasEnabled);
    return run.result;
}

HWND CreateDialogIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM initParam)
{
    return createDialog(dialogTemplate, owner, dialogProc, initParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    NativeWindow *entry = nativeWindow(dialog);
    if (!entry)
        return FALSE;
    entry->result = result;
    entry->ended = true;
    if (entry->widget)
        entry->widget->hide();
    if (entry->run) {
        entry->run->result = result;
        entry->run->loop.quit();
    }
    return TRUE;
}

HWND CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU, HINSTANCE, void *)
{
    if (!className || QString::fromUtf16(className).compare(QLatin1String("Button"), Qt::CaseInsensitive) != 0)
        return nullptr;
    auto *button = new QPushButton(windowName ? QString::fromUtf16(windowName) : QString(), Win32Layer::widgetOf(parent));
    button->setGeometry(x, y, width, height);
    button->setVisible(style & WS_VISIBLE);
    // As on Windows, a control joins the Tab chain only with a tab stop.
    button->setFocusPolicy(style & WS_TABSTOP ? Qt::StrongFocus : Qt::NoFocus);
    const HWND handle = registerWidget(button, true);
    nativeWindow(handle)->style = LONG_PTR(style);
    return handle;
}

BOOL DestroyWindow(HWND window)
{
    NativeWindow *entry = nativeWindow(window);
    if (!entry || entry->destroying)
        return FALSE;
    retireWindow(window);
    entry = nativeWindow(window);
    if (!entry)
        return TRUE;
    QWidget *widget = entry->ownsWidget ? entry->widget.data() : nullptr;
    forgetWindow(window);
    // The handle is gone at once and the window leaves its owner, as on Windows; the
    // widget is deleted once control is back in the event loop: the window may be destroyed from one of its own messages, or from
    // inside Qt's handling of it (a host that hears the focus or the activation change).
    if (widget && QCoreApplication::instance()) {
        widget->hide();
        widget->setParent(nullptr);
        widget->deleteLater();
    } else {
        delete widget;
    }
    return TRUE;
}

BOOL IsWindow(HWND window)
{
    NativeWindow *entry = nativeWindow(window);
    return entry && entry->widget ? TRUE : FALSE;
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value)
{
    NativeWindow *entry = nativeWindow(window);
    if (!entry)
        return 0;
    LONG_PTR &slot = index == GWLP_USERDATA ? entry->userData : entry->style;
    const LONG_PTR previous = slot;
    slot = value;
    return previous;
}

LONG_PTR GetWindowLongPtrW(HWND window, int index)
{
    NativeWindow *entry = nativeWindow(window);
    if (!entry)
        return 0;
    return index == GWLP_USERDATA ? entry->userData : entry->style;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    NativeWindow *entry = nativeWindow(window);
    if (!entry)
        return 0;
    if (entry->handler)
        return entry->handler(window, message, wParam, lParam, entry->context);
    if (entry->filter && entry->widget)
        return entry->filter(entry->widget, message, wParam, lParam) ? 1 : 0;
    if (entry->proc)
        return dispatchToProc(window, entry->proc, message, wParam, lParam);
    return 0;
}

BOOL GetWindowRect(HWND window, RECT *rect)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    if (!widget || !rect)
        return FALSE;
    const QRect frame = widget->isWindow() ? widget->frameGeometry()
                                           : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    *rect = RECT{frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1};
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT *rect)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    if (!widget || !rect)
        return FALSE;
    *rect = RECT{0, 0, widget->width(), widget->height()};
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    if (!widget)
        return FALSE;
    widget->move(x, y);
    if (!(flags & SWP_NOSIZE))
        widget->resize(cx, cy);
    if (flags & SWP_SHOWWINDOW)
        widget->show();
    return TRUE;
}

BOOL ShowWindow(HWND window, int command)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    if (!widget)
        return FALSE;
    const bool wasVisible = widget->isVisible();
    widget->setVisible(command != SW_HIDE);
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    return widget && widget->isVisible() ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    if (!widget)
        return FALSE;
    widget->setWindowTitle(text ? QString::fromUtf16(text) : QString());
    return TRUE;
}

int GetWindowTextW(HWND window, WCHAR *buffer, int size)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    if (!widget || !buffer || size <= 0)
        return 0;
    const QString title = widget->windowTitle().left(size - 1);
    std::copy(title.utf16(), title.utf16() + title.size(), buffer);
    buffer[title.size()] = 0;
    return int(title.size());
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    if (!widget)
        return FALSE;
    const bool wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable);
    // A disabled window takes no input, but the windows it owns (a dialog over it) do:
    // Qt would pass the state on to every descendant window.
    if (!enable) {
        const QList<QWidget *> descendants = widget->findChildren<QWidget *>();
        for (QWidget *descendant : descendants) {
            if (descendant->isWindow() && !descendant->testAttribute(Qt::WA_ForceDisabled))
                descendant->setEnabled(true);
        }
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    return widget && widget->isEnabled() ? TRUE : FALSE;
}

HWND SetFocus(HWND window)
{
    const HWND previous = GetFocus();
    NativeWindow *entry = nativeWindow(window);
    if (!entry || !entry->widget)
        return previous;
    if (entry->widget->focusPolicy() == Qt::NoFocus && entry->widget->isWindow())
        entry->widget->setFocusPolicy(Qt::StrongFocus);
    entry->widget->setFocus(Qt::OtherFocusReason);
    lastFocusWindow = window;
    if (entry->filter)
        entry->filter(entry->widget, WM_SETFOCUS, WPARAM(previous), 0);
    return previous;
}

HWND GetFocus()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return IsWindow(lastFocusWindow) ? lastFocusWindow : nullptr;
    // The innermost registered window that holds the focus.
    for (QWidget *widget = focus; widget; widget = widget->parentWidget()) {
        if (const HWND handle = handlesByWidget().value(widget, nullptr))
            return handle;
    }
    return Win32Layer::handleOf(focus);
}

HWND SetActiveWindow(HWND window)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    const HWND previous = Win32Layer::handleOf(QApplication::activeWindow());
    if (widget)
        widget->activateWindow();
    return previous;
}

BOOL BringWindowToTop(HWND window)
{
    QWidget *widget = Win32Layer::widgetOf(window);
    if (!widget)
        return FALSE;
    widget->raise();
    return TRUE;
}

HWND SetParent(HWND child, HWND newParent)
{
    QWidget *widget = Win32Layer::widgetOf(child);
    if (!widget)
        return nullptr;
    const HWND previous = Win32Layer::handleOf(widget->parentWidget());
    const bool visible = widget->isVisible();
    widget->setParent(Win32Layer::widgetOf(newParent), newParent ? Qt::Widget : Qt::Window);
    widget->setVisible(visible);
    return previous;
}

// Monitors are the screens, numbered from 1 in Qt's order.
HMONITOR MonitorFromRect(const RECT *rect, DWORD flags)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (!rect || screens.isEmpty())
        return nullptr;
    const QRect wanted(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
    auto handle = [&screens](QScreen *screen) { return reinterpret_cast<HMONITOR>(quintptr(screens.indexOf(screen) + 1)); };
    // The screen that holds most of the rectangle; else, as asked, the nearest or the primary.
    QScreen *best = nullptr;
    long long bestArea = 0;
    for (QScreen *screen : screens) {
        const QRect common = screen->geometry().intersected(wanted);
        const long long area = common.isEmpty() ? 0 : (long long)common.width() * common.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (best)
        return handle(best);
    if (flags == MONITOR_DEFAULTTOPRIMARY)
        return handle(QGuiApplication::primaryScreen());
    if (flags != MONITOR_DEFAULTTONEAREST)
        return nullptr;
    auto distance = [&wanted](const QRect &area) {
        const long long dx = std::max({0LL, (long long)area.left() - wanted.right(), (long long)wanted.left() - area.right()});
        const long long dy = std::max({0LL, (long long)area.top() - wanted.bottom(), (long long)wanted.top() - area.bottom()});
        return dx * dx + dy * dy;
    };
    QScreen *nearest = screens.first();
    for (QScreen *screen : screens) {
        if (distance(screen->geometry()) < distance(nearest->geometry()))
            nearest = screen;
    }
    return handle(nearest);
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO *info)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const qsizetype index = qsizetype(reinterpret_cast<quintptr>(monitor)) - 1;
    if (!info || index < 0 || index >= screens.size())
        return FALSE;
    auto rectOf = [](const QRect &area) { return RECT{area.left(), area.top(), area.right() + 1, area.bottom() + 1}; };
    info->rcMonitor = rectOf(screens.at(index)->geometry());
    info->rcWork = rectOf(screens.at(index)->availableGeometry());
    info->dwFlags = screens.at(index) == QGuiApplication::primaryScreen() ? 1 : 0;
    return TRUE;
}

LONG GetDialogBaseUnits()
{
    return LONG(DWORD(BaseUnitX) | (DWORD(BaseUnitY) << 16));
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;
    // Rounds half away from zero, as Windows does.
    const long long half = (denominator > 0 ? denominator : -denominator) / 2;
    const long long rounded = product >= 0 ? product + half : product - half;
    return int(rounded / denominator);
}

short GetKeyState(int virtualKey)
{
    if (virtualKey == VK_SHIFT && (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier))
        return short(0x8000);
    return 0;
}

} // extern "C"
