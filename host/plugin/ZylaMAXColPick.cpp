#include "ZylaMAXColPick.h"

#include "PickerDialog.h"
#include "ZylaMaxColPickClassDesc.h"
#include "ZylaMaxModelessColorPicker.h"

#include <algorithm>

ZylaMAXColPick::~ZylaMAXColPick()
{
    const PickerFrame frame;
    close();
}

void ZylaMAXColPick::close()
{
    if (closed)
        return;
    closed = true;
    // Picker objects the host still holds act as pickers without a record from now on.
    const std::set<ZylaMaxModelessColorPicker *> handedOut = std::move(modelessPickers);
    modelessPickers.clear();
    for (ZylaMaxModelessColorPicker *modeless : handedOut)
        modeless->pickerDeleted();
    // Destroying a modal picker's window ends its loop; its ModalColorPicker call then
    // returns as if the user had cancelled. Each close may bring the host back in, so
    // the maps are read anew every time.
    while (!modalRecords.empty())
        closeRecord(modalRecords.back());
    while (!records.empty())
        closeRecord(records.begin()->second);
}

PickerRecord *ZylaMAXColPick::newRecord(HWND owner, DWORD color, const IPoint2 *spos, HSVCallback *callback,
                                        const MCHAR *name)
{
    static std::uint64_t lastSerial = 0;
    auto *record = new PickerRecord;
    record->picker = this;
    record->owner = owner;
    record->color = color;
    record->position = spos ? *spos : IPoint2(0, 0);
    record->callback = callback;
    record->name = name ? QString::fromUtf16(name) : QString();
    record->serial = ++lastSerial;
    return record;
}

void ZylaMAXColPick::closeRecord(PickerRecord *record)
{
    if (!record || record->closed)
        return;
    record->closed = true;
    const auto modeless = records.find(record->owner);
    if (modeless != records.end() && modeless->second == record)
        records.erase(modeless);
    modalRecords.erase(std::remove(modalRecords.begin(), modalRecords.end(), record), modalRecords.end());
    const HWND dialog = record->dialog;
    record->dialog = nullptr;
    // WM_DESTROY still finds the record, to let its bridge go; then the window forgets it.
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    if (IsWindow(dialog) && pickerRecordOf(dialog) == record)
        SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
    PickerFrame::retire(record);
}

int ZylaMAXColPick::ModalColorPicker(HWND hwndOwner, DWORD *lpc, IPoint2 *spos, HSVCallback *callBack,
                                     const MCHAR *name)
{
    const PickerFrame frame;
    if (closed)
        return 0;
    PickerRecord *record = newRecord(hwndOwner, lpc ? *lpc : 0, spos, callBack, name);
    record->modal = 1;
    modalRecords.push_back(record);

    const std::vector<WORD> dialogTemplate = pickerDialogTemplate(true, record->position);
    const INT_PTR result = DialogBoxIndirectParamW(
        ZylaMaxColPickClassDesc::instance().HInstance(), dialogTemplate.data(), hwndOwner,
        pickerDialogProc, reinterpret_cast<LPARAM>(record));
    // The host deleted this object while the dialog ran (from a callback, a timer,
    // another window): the picker ended as if the user had cancelled.
    if (closed)
        return 0;
    // Closed from outside (the host re-entered while the window was made): nothing was
    // picked, whatever the dialog returned.
    const bool closedFromOutside = record->closed;
    const DWORD colour = record->color;
    closeRecord(record);
    if (closedFromOutside || result == 0)
        return 0;
    // The record is gone before the host hears of the colour: it may delete this object
    // from ColorChanged.
    if (callBack)
        callBack->ColorChanged(colour, TRUE);
    if (lpc)
        *lpc = colour;
    return int(result);
}

ColorPicker *ZylaMAXColPick::CreateColorPicker(HWND hwndOwner, DWORD initColor, IPoint2 *spos, HSVCallback *pcallback,
                                               const MCHAR *name, BOOL isObjectColor)
{
    const PickerFrame frame;
    if (closed)
        return new ZylaMaxModelessColorPicker(hwndOwner, nullptr, 0);
    PickerRecord *record = &modelessRecord(hwndOwner);
    if (record->disabled) {
        record = newRecord(hwndOwner, initColor, spos, pcallback, name);
        record->isObjectColor = isObjectColor;
        record->modal = 0;
        records[hwndOwner] = record;
    }
    return new ZylaMaxModelessColorPicker(hwndOwner, this, record->serial);
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
    const PickerFrame frame;
    if (closed)
        return;
    close();
    PickerFrame::retire(this);
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

PickerRecord *ZylaMAXColPick::modelessRecord(HWND owner, std::uint64_t serial) const
{
    const auto found = records.find(owner);
    return found != records.end() && found->second->serial == serial ? found->second : nullptr;
}

bool ZylaMAXColPick::hasRecord(HWND owner) const
{
    return !record(owner).disabled;
}

void ZylaMAXColPick::removeRecord(HWND owner)
{
    const PickerFrame frame;
    const auto found = records.find(owner);
    if (found != records.end())
        closeRecord(found->second);
}
