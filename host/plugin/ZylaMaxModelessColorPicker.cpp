#include "ZylaMaxModelessColorPicker.h"

#include "PickerDialog.h"
#include "ZylaMAXColPick.h"
#include "ZylaMaxColPickClassDesc.h"
#include "ZylaMainWidgetBridge.h"


ZylaMaxModelessColorPicker::ZylaMaxModelessColorPicker(HWND owner, ZylaMAXColPick *picker)
    : ownerWindow(owner)
    , picker(picker)
{
    PickerRecord &record = picker->modelessRecord(owner);
    if (record.disabled)
        return;
    if (!IsWindow(record.dialog)) {
        const std::vector<WORD> dialogTemplate = pickerDialogTemplate(false, record.position);
        record.dialog = CreateDialogIndirectParamW(
            ZylaMaxColPickClassDesc::instance().HInstance(), dialogTemplate.data(), owner,
            pickerDialogProc, reinterpret_cast<LPARAM>(&record));
    }
    if (record.dialog)
        SetWindowPos(record.dialog, nullptr, record.position.x, record.position.y, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOSIZE);
}

ZylaMaxModelessColorPicker::~ZylaMaxModelessColorPicker()
{
    if (picker)
        picker->forgetModelessPicker(this);
}

// Once the ZylaMAXColPick is gone there is no record any more: the fallback.
PickerRecord &ZylaMaxModelessColorPicker::record() const
{
    return picker ? picker->modelessRecord(ownerWindow) : fallbackPickerRecord();
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
    PickerRecord &record = this->record();
    if (record.disabled)
        return;
    ZylaMAXColPick::destroyRecordWindow(record);
    picker->removeRecord(ownerWindow);
}

void ZylaMaxModelessColorPicker::InstallNewCB(DWORD, HSVCallback *pcb, const MCHAR *st)
{
    PickerRecord &record = this->record();
    if (record.disabled)
        return;
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
