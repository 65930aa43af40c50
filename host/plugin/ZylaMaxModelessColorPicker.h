#pragma once

#include "PickerRecord.h"
#include "host/sdk/MaxSdk.h"

class ZylaMAXColPick;

// A modeless picker beside one host control: everything but the owner and the picker
// that created it lives in the owner's record.
class ZylaMaxModelessColorPicker : public ColorPicker
{
public:
    ZylaMaxModelessColorPicker(HWND owner, ZylaMAXColPick *picker);
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
    void InstallNewCB(DWORD col, HSVCallback *pcb, const MCHAR *st) override;

    HWND owner() const { return ownerWindow; }
    // The ZylaMAXColPick that made this object is being deleted.
    void pickerDeleted() { picker = nullptr; }

private:
    PickerRecord &record() const;

    HWND ownerWindow = nullptr;
    ZylaMAXColPick *picker = nullptr;
};
