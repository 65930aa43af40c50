#include "PickerDialog.h"

#include "PickerRecord.h"
#include "ZylaMaxColPickClassDesc.h"
#include "ZylaMainWidgetBridge.h"


#include <QPointer>

#include <algorithm>
#include <cstring>

DWORD colorRefOf(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return DWORD(rgb.red()) | (DWORD(rgb.green()) << 8) | (DWORD(rgb.blue()) << 16);
}

std::vector<WORD> pickerDialogTemplate(bool modal, IPoint2 position)
{
    DLGTEMPLATEEX_HEADER header{};
    header.dlgVer = 1;
    header.signature = 0xFFFF;
    header.helpID = 0;
    header.exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
    header.style = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
    if (modal)
        header.style |= WS_VISIBLE;
    header.cDlgItems = 0;
    // A modal dialog takes the host's position as it stands, screen pixels as dialog units.
    header.x = short(modal ? position.x : 128);
    header.y = short(modal ? position.y : 128);
    const LONG baseUnits = GetDialogBaseUnits();
    header.cx = short(MulDiv(800, 4, LOWORD(baseUnits)));
    header.cy = short(MulDiv(600, 8, HIWORD(baseUnits)));

    // The header, then an empty menu, the default class and an empty title.
    std::vector<WORD> words(sizeof(header) / sizeof(WORD) + 3, 0);
    std::memcpy(words.data(), &header, sizeof(header));
    return words;
}

PickerRecord *pickerRecordOf(HWND dialog)
{
    return reinterpret_cast<PickerRecord *>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

namespace {

// WM_INITDIALOG: the record kept with the window, the bridge made and shown, the Cancel
// button the dialog manager maps Escape to, a modal picker placed in screen pixels.
void initialisePickerDialog(HWND dialog, LPARAM lParam)
{
    const PickerFrame frame;
    auto *record = reinterpret_cast<PickerRecord *>(lParam);
    // The host destroyed the picker while its window was being made (from an event
    // filter on its own window, say): the window goes at once, nothing is built.
    if (record && record->closed) {
        DestroyWindow(dialog);
        return;
    }
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    // Modal records know their window too, so that whatever removes the record
    // can close the window first.
    if (record)
        record->dialog = dialog;
    const QPointer<ZylaMainWidgetBridge> bridge = new ZylaMainWidgetBridge(dialog, nullptr, Qt::WindowFlags());
    if (!bridge)
        return;
    if (!IsWindow(dialog) || (record && record->closed)) {
        bridge->dispose();
        return;
    }
    RECT client;
    GetClientRect(dialog, &client);
    bridge->setGeometry(client.left, client.top, client.right - client.left, client.bottom - client.top);
    if (record && !record->name.isEmpty()) {
        bridge->setUseDefaultTaskText(false);
        bridge->setTaskButtonText(record->name);
    }
    QObject::connect(bridge, &ZylaMainWidgetBridge::colourPicked, bridge,
                     [dialog](const QColor &colour) { deliverPickedColour(dialog, colorRefOf(colour)); });
    if (record)
        record->bridge = bridge;
    bridge->show();
    if (!IsWindow(dialog))
        return;
    // Lets the dialog manager map Escape to IDCANCEL; placed outside the client area.
    CreateWindowExW(0, u"Button", u"Cancel", WS_CHILD | WS_VISIBLE, 0, -64, 128, 32, dialog,
                    reinterpret_cast<HMENU>(std::intptr_t(IDCANCEL)),
                    ZylaMaxColPickClassDesc::instance().HInstance(), nullptr);
    // The template holds the position in dialog units, and only 16 bits of it: a
    // modal picker is placed again in screen pixels, where the host asked.
    if (record && record->modal) {
        const IPoint2 at = reachablePickerPosition(dialog, record->position);
        SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    }
}

} // namespace

INT_PTR pickerDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        initialisePickerDialog(dialog, lParam);
        return 1;
    case WM_CLOSE: {
        const PickerFrame frame;
        if (PickerRecord *record = pickerRecordOf(dialog)) {
            // The host may destroy the picker from either callback: the record is then
            // closed and the window gone, and nothing more is done with them.
            auto pickerStillOpen = [dialog, record] {
                return !record->closed && IsWindow(dialog) && pickerRecordOf(dialog) == record;
            };
            if (HSVCallback *callback = record->callback) {
                RECT frame;
                GetWindowRect(dialog, &frame);
                callback->BeingDestroyed(IPoint2(frame.left, frame.top));
                if (!pickerStillOpen())
                    return 1;
                callback->OnOK();
                if (!pickerStillOpen())
                    return 1;
            }
            if (!record->modal) {
                ShowWindow(dialog, SW_HIDE);
                return 1;
            }
        }
        EndDialog(dialog, 0);
        return 1;
    }
    case WM_DESTROY: {
        PickerRecord *record = pickerRecordOf(dialog);
        if (record && record->bridge) {
            ZylaMainWidgetBridge *bridge = record->bridge;
            record->bridge = nullptr;
            bridge->dispose();
        }
        return 0;
    }
    default:
        return 0;
    }
}

void deliverPickedColour(HWND dialog, DWORD value)
{
    const PickerFrame frame;
    PickerRecord *record = pickerRecordOf(dialog);
    if (!record || record->disabled || record->closed)
        return;
    if (record->modal) {
        record->color = value;
        EndDialog(dialog, 1);
    } else if (record->isObjectColor) {
        SendMessageW(record->owner, ObjectColorMessage, WPARAM(value), 0);
    } else if (record->callback) {
        record->callback->ColorChanged(value, TRUE);
    }
}

IPoint2 reachablePickerPosition(HWND dialog, IPoint2 requested)
{
    RECT frame;
    if (!GetWindowRect(dialog, &frame))
        return requested;
    const long long width = frame.right - frame.left;
    const long long height = frame.bottom - frame.top;
    // Far beyond every screen, but still a rectangle that Win32 can hold.
    static constexpr long long Far = 1 << 28;
    auto bounded = [](long long value) { return LONG(std::clamp(value, -Far, Far)); };
    const long long x = requested.x;
    const long long y = requested.y;
    const RECT wanted{bounded(x), bounded(y), bounded(x + width), bounded(y + height)};
    MONITORINFO monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor))
        return requested;
    const RECT &work = monitor.rcWork;
    // Reachable when enough of its title bar lies on that screen to take it with the
    // pointer: the user can move it from there.
    constexpr long long TitleHeight = 24;
    const long long grabWidth = std::min(x + width, (long long)work.right) - std::max(x, (long long)work.left);
    const long long grabHeight = std::min(y + TitleHeight, (long long)work.bottom) - std::max(y, (long long)work.top);
    if (grabWidth >= std::min(64LL, width) && grabHeight >= std::min(TitleHeight / 2, height))
        return requested;
    // Brought onto the nearest screen, as much of it on the screen as fits.
    const long long left = std::max((long long)work.left, std::min(x, work.right - width));
    const long long top = std::max((long long)work.top, std::min(y, work.bottom - height));
    return IPoint2(int(left), int(top));
}
