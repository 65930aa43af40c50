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
};

// What a lookup of an owner without a record yields: disabled, everything else empty.
PickerRecord &fallbackPickerRecord();
