#pragma once

#include "host/win32/Win32.h"

#include <QWidget>

struct MSG;

// A Qt widget living as a native child window inside a native parent window. Keeps
// keyboard focus moving across the border between the toolkits (Tab leaves into the
// parent window) and disables the parent while a modal Qt window of the widget is up.
class __attribute__((visibility("default"))) QWinWidget : public QWidget
{
    Q_OBJECT
public:
    QWinWidget(HWND parentWindow, QObject *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~QWinWidget() override;

    HWND parentWindow() const { return hostWindow; }

    void show();
    void center();
    void showCentered();

protected:
    void childEvent(QChildEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent *e) override;
    bool winEvent(MSG *message, long *result);

private:
    void init();
    void saveFocus();
    void resetFocus();
    bool isTabStop(const QWidget *widget) const;
    // Whether the focus chain, walked from `from` in one direction, meets a widget of
    // this one that takes tab focus before it leaves this widget's own window.
    bool hasTabStopBeforeLeaving(QWidget *from, bool next) const;
    static bool nativeMessage(QWidget *widget, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hostWindow = nullptr;
    HWND focusToRestore = nullptr;
    bool hostDisabled = false;
};
