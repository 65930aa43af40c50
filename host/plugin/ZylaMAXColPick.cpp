#include "ZylaMAXColPick.h"

#include "PickerDialog.h"
#include "ZylaMaxColPickClassDesc.h"
#include "ZylaMaxModelessColorPicker.h"


ZylaMAXColPick::~ZylaMAXColPick()
{
    // Picker objects the host still holds act as pickers without a record from now on.
    for (ZylaMaxModelessColorPicker *modeless : modelessPickers)
        modeless->pickerDeleted();
    modelessPickers.clear();
    // Open modeless windows keep a pointer to their record: they go with it.
    while (!records.empty()) {
        destroyRecordWindow(*records.begin()->second);
        removeRecord(records.begin()->first);
    }
}

PickerRecord *ZylaMAXColPick::createRecord(HWND owner, DWORD color, const IPoint2 *spos, HSVCallback *callback,
                                           const MCHAR *name)
{
    auto *record = new PickerRecord;
    record->picker = this;
    record->owner = owner;
    record->color = color;
    record->position = spos ? *spos : IPoint2(0, 0);
    record->callback = callback;
    record->name = name ? QString::fromUtf16(name) : QString();
    removeRecord(owner);
    records[owner] = record;
    return record;
}

int ZylaMAXColPick::ModalColorPicker(HWND hwndOwner, DWORD *lpc, IPoint2 *spos, HSVCallback *callBack,
                                     const MCHAR *name)
{
    PickerRecord *record = createRecord(hwndOwner, lpc ? *lpc : 0, spos, callBack, name);
    record->modal = 1;

    const std::vector<WORD> dialogTemplate = pickerDialogTemplate(true, record->position);
    const INT_PTR result = DialogBoxIndirectParamW(
        ZylaMaxColPickClassDesc::instance().HInstance(), dialogTemplate.data(), hwndOwner,
        pickerDialogProc, reinterpret_cast<LPARAM>(record));
    if (result != 0) {
        if (callBack)
            callBack->ColorChanged(record->color, TRUE);
        if (lpc)
            *lpc = record->color;
    }
    removeRecord(hwndOwner);
    return int(result);
}

ColorPicker *ZylaMAXColPick::CreateColorPicker(HWND hwndOwner, DWORD initColor, IPoint2 *spos, HSVCallback *pcallback,
                                               const MCHAR *name, BOOL isObjectColor)
{
    if (!hasRecord(hwndOwner)) {
        PickerRecord *record = createRecord(hwndOwner, initColor, spos, pcallback, name);
        record->isObjectColor = isObjectColor;
        record->modal = 0;
    }
    auto *modeless = new ZylaMaxModelessColorPicker(hwndOwner, this);
    modelessPickers.insert(modeless);
    return modeless;
}

const MCHAR *ZylaMAXColPick::ClassName()
{
    return ZylaMaxColPickClassDesc::instance().InternalName();
}

Class_ID ZylaMAXColPick::ClassID()
{
    return ZylaMaxColPickClassDesc::PickerClassId;
}

void ZylaMAXColPick::DeleteThis()
{
    delete this;
}

PickerRecord &ZylaMAXColPick::record(HWND owner) const
{
    const auto found = records.find(owner);
    return found != records.end() ? *found->second : fallbackPickerRecord();
}

void ZylaMAXColPick::removeRecord(HWND owner)
{
    const auto found = records.find(owner);
    if (found == records.end())
        return;
    PickerRecord *record = found->second;
    records.erase(found);
    // A window that outlives its record must not reach it any more.
    if (IsWindow(record->dialog) && pickerRecordOf(record->dialog) == record)
        SetWindowLongPtrW(record->dialog, GWLP_USERDATA, 0);
    delete record;
}

void ZylaMAXColPick::destroyRecordWindow(PickerRecord &record)
{
    if (IsWindow(record.dialog))
        DestroyWindow(record.dialog);
    record.dialog = nullptr;
}
