#pragma once

// The few Win32 user-interface calls the 3ds Max adapter uses, with Win32's names and
// meanings, implemented on Qt so the adapter runs and is tested where Windows is not.
// Windows are opaque handles; a host program and the plug-in share them through this
// library as they would share user32 on Windows.

#include <QtGlobal>

#include <cstdint>

class QWidget;

#define PALETTRA_WIN32_API __attribute__((visibility("default")))

using BOOL = int;
using UINT = unsigned int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using INT_PTR = std::intptr_t;
using WCHAR = char16_t;
using LPCWSTR = const WCHAR *;
using COLORREF = DWORD;

struct HWND__;
using HWND = HWND__ *;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__ *;
using HMODULE = HINSTANCE;
struct HMENU__;
using HMENU = HMENU__ *;
struct HMONITOR__;
using HMONITOR = HMONITOR__ *;

struct RECT
{
    LONG left = 0, top = 0, right = 0, bottom = 0;
};
struct POINT
{
    LONG x = 0, y = 0;
};

struct MONITORINFO
{
    DWORD cbSize = sizeof(MONITORINFO);
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags = 0;
};

struct MSG
{
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// An extended dialog template header (DLGTEMPLATEEX), followed in memory by the empty
// menu, class and title (three 16-bit zeros) for a dialog without controls.
#pragma pack(push, 1)
struct DLGTEMPLATEEX_HEADER
{
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    WORD cDlgItems;
    short x;
    short y;
    short cx;
    short cy;
};
#pragma pack(pop)
using LPCDLGTEMPLATEW = const void *;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_INITDIALOG = 0x0110;

constexpr int GWLP_USERDATA = -21;
constexpr int GWL_STYLE = -16;

constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD DS_MODALFRAME = 0x00000080;
constexpr DWORD DS_3DLOOK = 0x00000004;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr int IDCANCEL = 2;
constexpr int VK_SHIFT = 0x10;

constexpr WORD LOWORD(LONG value) { return WORD(DWORD(value) & 0xFFFF); }
constexpr WORD HIWORD(LONG value) { return WORD((DWORD(value) >> 16) & 0xFFFF); }

extern "C" {
PALETTRA_WIN32_API INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                                   DLGPROC dialogProc, LPARAM initParam);
PALETTRA_WIN32_API HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                                   DLGPROC dialogProc, LPARAM initParam);
PALETTRA_WIN32_API BOOL EndDialog(HWND dialog, INT_PTR result);
PALETTRA_WIN32_API HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                                        int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void *param);
PALETTRA_WIN32_API BOOL DestroyWindow(HWND window);
PALETTRA_WIN32_API BOOL IsWindow(HWND window);
PALETTRA_WIN32_API LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
PALETTRA_WIN32_API LONG_PTR GetWindowLongPtrW(HWND window, int index);
PALETTRA_WIN32_API LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
PALETTRA_WIN32_API BOOL GetWindowRect(HWND window, RECT *rect);
PALETTRA_WIN32_API BOOL GetClientRect(HWND window, RECT *rect);
PALETTRA_WIN32_API BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
PALETTRA_WIN32_API BOOL ShowWindow(HWND window, int command);
PALETTRA_WIN32_API BOOL IsWindowVisible(HWND window);
PALETTRA_WIN32_API BOOL SetWindowTextW(HWND window, LPCWSTR text);
PALETTRA_WIN32_API int GetWindowTextW(HWND window, WCHAR *buffer, int size);
PALETTRA_WIN32_API BOOL EnableWindow(HWND window, BOOL enable);
PALETTRA_WIN32_API BOOL IsWindowEnabled(HWND window);
PALETTRA_WIN32_API HWND SetFocus(HWND window);
PALETTRA_WIN32_API HWND GetFocus();
PALETTRA_WIN32_API HWND SetActiveWindow(HWND window);
PALETTRA_WIN32_API BOOL BringWindowToTop(HWND window);
PALETTRA_WIN32_API HWND SetParent(HWND child, HWND newParent);
PALETTRA_WIN32_API HMONITOR MonitorFromRect(const RECT *rect, DWORD flags);
PALETTRA_WIN32_API BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO *info);
PALETTRA_WIN32_API LONG GetDialogBaseUnits();
PALETTRA_WIN32_API int MulDiv(int number, int numerator, int denominator);
PALETTRA_WIN32_API short GetKeyState(int virtualKey);
}

// Bridging calls of this layer (not Win32): how a window handle meets Qt.
namespace Win32Layer {

// A host's own window: messages sent to it go to the handler.
using MessageHandler = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void *context);
PALETTRA_WIN32_API HWND createHostWindow(QWidget *widget, MessageHandler handler, void *context);
// The handle of a Qt widget (created on first use); the widget behind a handle.
PALETTRA_WIN32_API HWND handleOf(QWidget *widget);
PALETTRA_WIN32_API QWidget *widgetOf(HWND window);
// A widget that wants native messages (WM_SETFOCUS) delivered to it.
using NativeMessageFilter = bool (*)(QWidget *widget, UINT message, WPARAM wParam, LPARAM lParam);
PALETTRA_WIN32_API void setNativeMessageFilter(QWidget *widget, NativeMessageFilter filter);

} // namespace Win32Layer
