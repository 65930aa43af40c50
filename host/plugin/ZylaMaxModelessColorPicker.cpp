#include "ZylaMaxModelessColorPicker.h"

#include "PickerDialog.h"
#include "ZylaMAXColPick.h"
#include "ZylaMaxColPickClassDesc.h"
#include "ZylaMainWidgetBridge.h"

ZylaMaxModelessColorPicker::ZylaMaxModelessColorPicker(HWND owner, ZylaMAXColPick *picker, std::uint64_t serial)
    : ownerWindow(owner)
    , picker(picker)
    , recordSerial(serial)
{
    if (!picker)
        return;
    const PickerFrame frame;
    picker->adoptModelessPicker(this);
    PickerRecord *record = picker->modelessRecord(owner, serial);
    if (!record)
        return;
    // A host that hears the window being made may ask for the same picker again: that
    // call shows the window this one is making, it does not make a second.
    if (!IsWindow(record->dialog) && !record->opening) {
        record->opening = true;
        const std::vector<WORD> dialogTemplate = pickerDialogTemplate(false, record->position);
        const HWND dialog = CreateDialogIndirectParamW(ZylaMaxColPickClassDesc::instance().HInstance(),
                                                       dialogTemplate.data(), owner, pickerDialogProc,
                                                       reinterpret_cast<LPARAM>(record));
        record->opening = false;
        if (record->closed) {
            // Destroyed while it was being made: whatever was made goes too.
            if (IsWindow(dialog))
                DestroyWindow(dialog);
            return;
        }
        record->dialog = dialog;
    }
    if (IsWindow(record->dialog)) {
        const IPoint2 at = reachablePickerPosition(record->dialog, record->position);
        SetWindowPos(record->dialog, nullptr, at.x, at.y, 0, 0, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOSIZE);
    }
}

ZylaMaxModelessColorPicker::~ZylaMaxModelessColorPicker()
{
    if (picker)
        picker->forgetModelessPicker(this);
}

PickerRecord &ZylaMaxModelessColorPicker::record() const
{
    PickerRecord *record = picker ? picker->modelessRecord(ownerWindow, recordSerial) : nullptr;
    return record ? *record : fallbackPickerRecord();
}

IPoint2 ZylaMaxModelessColorPicker::GetPosition()
{
    const PickerRecord &record = this->record();
    RECT frame;
    if (!IsWindow(record.dialog) || !GetWindowRect(record.dialog, &frame))
        return IPoint2(0, 0);
    return IPoint2(frame.left, frame.top);
}

void ZylaMaxModelessColorPicker::Destroy()
{
    const PickerFrame frame;
    PickerRecord &record = this->record();
    if (record.disabled)
        return;
    picker->removeRecord(ownerWindow);
}

void ZylaMaxModelessColorPicker::InstallNewCB(DWORD, HSVCallback *pcb, const MCHAR *st)
{
    const PickerFrame frame;
    PickerRecord &record = this->record();
    if (record.disabled)
        return;
    // A null callback keeps the one installed before: hosts rename a picker with
    // InstallNewCB(0, nullptr, name) and still expect to hear its picks.
    if (pcb)
        record.callback = pcb;
    if (record.bridge) {
        const QString name = st ? QString::fromUtf16(st) : QString();
        if (!name.isEmpty()) {
            record.name = name;
            record.bridge->setUseDefaultTaskText(false);
            record.bridge->setTaskButtonText(name);
        } else {
            record.bridge->setUseDefaultTaskText(true);
            record.bridge->setTaskButtonText();
        }
    }
}
