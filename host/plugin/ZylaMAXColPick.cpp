#include "ZylaMAXColPick.h"

#include "PickerDialog.h"
#include "ZylaMaxColPickClassDesc.h"
#include "ZylaMaxModelessColorPicker.h"

#include <algorithm>

ZylaMAXColPick::~ZylaMAXColPick()
{
    *alive = false;
    // Picker objects the host still holds act as pickers without a record from now on.
    for (ZylaMaxModelessColorPicker *modeless : modelessPickers)
        modeless->pickerDeleted();
    modelessPickers.clear();
    // Open windows keep a pointer to their record: they go first. Destroying a modal
    // picker's window ends its loop; its ModalColorPicker call then returns as if the
    // user had cancelled.
    while (!modalRecords.empty()) {
        PickerRecord *record = modalRecords.back();
        modalRecords.pop_back();
        destroyRecordWindow(*record);
        deleteRecord(record);
    }
    while (!records.empty()) {
        destroyRecordWindow(*records.begin()->second);
        removeRecord(records.begin()->first);
    }
}

PickerRecord *ZylaMAXColPick::newRecord(HWND owner, DWORD color, const IPoint2 *spos, HSVCallback *callback,
                                        const MCHAR *name)
{
    auto *record = new PickerRecord;
    record->picker = this;
    record->owner = owner;
    record->color = color;
    record->position = spos ? *spos : IPoint2(0, 0);
    record->callback = callback;
    record->name = name ? QString::fromUtf16(name) : QString();
    return record;
}

int ZylaMAXColPick::ModalColorPicker(HWND hwndOwner, DWORD *lpc, IPoint2 *spos, HSVCallback *callBack,
                                     const MCHAR *name)
{
    PickerRecord *record = newRecord(hwndOwner, lpc ? *lpc : 0, spos, callBack, name);
    record->modal = 1;
    modalRecords.push_back(record);
    // The host may delete this object while the dialog runs (from a callback, a timer,
    // another window): the loop then ends, and nothing of this object is touched again.
    const std::shared_ptr<bool> stillAlive = alive;

    const std::vector<WORD> dialogTemplate = pickerDialogTemplate(true, record->position);
    const INT_PTR result = DialogBoxIndirectParamW(
        ZylaMaxColPickClassDesc::instance().HInstance(), dialogTemplate.data(), hwndOwner,
        pickerDialogProc, reinterpret_cast<LPARAM>(record));
    if (!*stillAlive)
        return 0;
    const DWORD picked = record->color;
    modalRecords.erase(std::find(modalRecords.begin(), modalRecords.end(), record));
    deleteRecord(record);
    // The record is gone before the host hears of the colour: it may delete this object
    // from ColorChanged.
    if (result != 0) {
        if (callBack)
            callBack->ColorChanged(picked, TRUE);
        if (lpc)
            *lpc = picked;
    }
    return int(result);
}

ColorPicker *ZylaMAXColPick::CreateColorPicker(HWND hwndOwner, DWORD initColor, IPoint2 *spos, HSVCallback *pcallback,
                                               const MCHAR *name, BOOL isObjectColor)
{
    if (records.count(hwndOwner) == 0) {
        PickerRecord *record = newRecord(hwndOwner, initColor, spos, pcallback, name);
        record->isObjectColor = isObjectColor;
        record->modal = 0;
        records[hwndOwner] = record;
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
    if (records.count(owner) != 0)
        return modelessRecord(owner);
    const auto modal = std::find_if(modalRecords.rbegin(), modalRecords.rend(),
                                    [owner](const PickerRecord *record) { return record->owner == owner; });
    return modal != modalRecords.rend() ? **modal : fallbackPickerRecord();
}

PickerRecord &ZylaMAXColPick::modelessRecord(HWND owner) const
{
    const auto found = records.find(owner);
    return found != records.end() ? *found->second : fallbackPickerRecord();
}

bool ZylaMAXColPick::hasRecord(HWND owner) const
{
    return !record(owner).disabled;
}

void ZylaMAXColPick::removeRecord(HWND owner)
{
    const auto found = records.find(owner);
    if (found == records.end())
        return;
    PickerRecord *record = found->second;
    records.erase(found);
    deleteRecord(record);
}

void ZylaMAXColPick::deleteRecord(PickerRecord *record)
{
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
