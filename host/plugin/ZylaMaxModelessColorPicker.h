#pragma once

#include "PickerRecord.h"
#include "host/sdk/MaxSdk.h"

#include <cstdint>

class ZylaMAXColPick;

// A modeless picker beside one host control: everything but the owner and the picker
// that created it lives in the owner's record. It acts only on the record it was made
// for: once that record is destroyed, the object does nothing, even when the owner has
// a newer picker.
class ZylaMaxModelessColorPicker : public ColorPicker
{
public:
    // Opens (or shows again) the window of the owner's record numbered `serial`; an
    // object without a picker does nothing at all.
    ZylaMaxModelessColorPicker(HWND owner, ZylaMAXColPick *picker, std::uint64_t serial);
    ~ZylaMaxModelessColorPicker() override;
    ZylaMaxModelessColorPicker(const ZylaMaxModelessColorPicker &) = delete;
    ZylaMaxModelessColorPicker &operator=(const ZylaMaxModelessColorPicker &) = delete;

    using ColorPicker::InstallNewCB;
    using ColorPicker::ModifyColor;
    using ColorPicker::SetNewColor;

    void ModifyColor(DWORD) override {}
    void SetNewColor(DWORD, const MCHAR *) override {}
    DWORD GetColor() override { return 0; }
    IPoint2 GetPosition() override;
    void Destroy() override;
    // A null callback keeps the callback installed before; a name renames the task button.
    void InstallNewCB(DWORD col, HSVCallback *pcb, const MCHAR *st) override;

    HWND owner() const { return ownerWindow; }
    // The ZylaMAXColPick that made this object is being deleted.
    void pickerDeleted() { picker = nullptr; }

private:
    // The record this object was made for while it is open, else the fallback.
    PickerRecord &record() const;

    HWND ownerWindow = nullptr;
    ZylaMAXColPick *picker = nullptr;
    std::uint64_t recordSerial = 0;
};
