#include "PickerDialog.h"

#include "PickerRecord.h"
#include "ZylaMaxColPickClassDesc.h"
#include "ZylaMainWidgetBridge.h"


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

INT_PTR pickerDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        auto *record = reinterpret_cast<PickerRecord *>(lParam);
        // Modal records know their window too, so that whatever removes the record
        // can close the window first.
        if (record)
            record->dialog = dialog;
        auto *bridge = new ZylaMainWidgetBridge(dialog, nullptr, Qt::WindowFlags());
        RECT client;
        GetClientRect(dialog, &client);
        bridge->setGeometry(client.left, client.top, client.right - client.left, client.bottom - client.top);
        if (record && !record->name.isEmpty()) {
            bridge->setUseDefaultTaskText(false);
            bridge->setTaskButtonText(record->name);
        }
        bridge->show();
        if (record)
            record->bridge = bridge;
        // Lets the dialog manager map Escape to IDCANCEL; placed outside the client area.
        CreateWindowExW(0, u"Button", u"Cancel", WS_CHILD | WS_VISIBLE, 0, -64, 128, 32, dialog,
                        reinterpret_cast<HMENU>(std::intptr_t(IDCANCEL)),
                        ZylaMaxColPickClassDesc::instance().HInstance(), nullptr);
        return 1;
    }
    case WM_CLOSE: {
        if (PickerRecord *record = pickerRecordOf(dialog)) {
            // The host may destroy the picker from either callback: the record and the
            // window are then gone, and nothing more is done with them.
            auto pickerStillOpen = [dialog, record] { return IsWindow(dialog) && pickerRecordOf(dialog) == record; };
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
    PickerRecord *record = pickerRecordOf(dialog);
    if (!record || record->disabled)
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
