#pragma once

#include "host/sdk/MaxSdk.h"

#include <QString>

#include <cstdint>

class ZylaMAXColPick;
class ZylaMainWidgetBridge;

// The state of one open picker, one per owner window. The dialog procedure, the bridge
// and both picker classes reach it through the dialog window's user data.
struct PickerRecord
{
    std::int32_t disabled = 0; // set only in the fallback record: picks do nothing
    std::int32_t modal = 0;
    ZylaMAXColPick *picker = nullptr;
    HWND owner = nullptr;
    DWORD color = 0; // COLORREF layout; a modal picker stores the picked colour here
    IPoint2 position;
    HSVCallback *callback = nullptr;
    QString name;
    std::int32_t isObjectColor = 0;
    HWND dialog = nullptr;
    ZylaMainWidgetBridge *bridge = nullptr;

    // Which picker this is: a picker object acts only on the record it was made for,
    // never on a later one of the same owner. Never used twice; 0 in the fallback.
    std::uint64_t serial = 0;
    // Taken out of its picker: the window is going or gone, and every call that still
    // holds the record does nothing more with it.
    bool closed = false;
    // Its dialog is being created: a call that arrives meanwhile for the same record
    // (from a host that hears the window being made) opens no second window.
    bool opening = false;
};

// What a lookup of an owner without a record yields: disabled, everything else empty.
PickerRecord &fallbackPickerRecord();

// A frame of the plug-in on the stack: an entry point called by the host, the dialog
// procedure, a colour being reported. The host may call back into the plug-in from
// anywhere below such a frame (a callback, an event filter on its own window, a slot on
// the focus), so records and picker objects that go away meanwhile are only retired:
// they are freed once the outermost frame has returned, and nothing a frame holds is
// ever freed under it.
class PickerFrame
{
public:
    PickerFrame();
    ~PickerFrame();
    PickerFrame(const PickerFrame &) = delete;
    PickerFrame &operator=(const PickerFrame &) = delete;

    // Frees `record` (or `picker`) now when no frame runs, else when the last one returns.
    static void retire(PickerRecord *record);
    static void retire(ZylaMAXColPick *picker);
};
