#pragma once

#include "PickerRecord.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

class ZylaMaxModelessColorPicker;

// The colour picker 3ds Max asks for: a modal picker that returns the picked colour and
// modeless pickers, one window per owner, that report every pick.
class ZylaMAXColPick : public ColPick
{
public:
    ZylaMAXColPick() = default;
    ~ZylaMAXColPick() override;
    ZylaMAXColPick(const ZylaMAXColPick &) = delete;
    ZylaMAXColPick &operator=(const ZylaMAXColPick &) = delete;

    using ColPick::CreateColorPicker;
    using ColPick::ModalColorPicker;

    int ModalColorPicker(HWND hwndOwner, DWORD *lpc, IPoint2 *spos, HSVCallback *callBack, const MCHAR *name) override;
    ColorPicker *CreateColorPicker(HWND hwndOwner, DWORD initColor, IPoint2 *spos, HSVCallback *pcallback,
                                   const MCHAR *name, BOOL isObjectColor) override;
    const MCHAR *ClassName() override;
    Class_ID ClassID() override;
    void DeleteThis() override;
    INT_PTR Execute(int, ULONG_PTR, ULONG_PTR, ULONG_PTR) override { return 0; }

    // The modeless record of `owner`, else its innermost running modal record, else the
    // fallback record.
    PickerRecord &record(HWND owner) const;
    // The modeless record of `owner` alone: what a modeless picker object acts on.
    PickerRecord &modelessRecord(HWND owner) const;
    bool hasRecord(HWND owner) const;
    std::size_t recordCount() const { return records.size() + modalRecords.size(); }
    // Removes the modeless record of `owner`; a modal picker of the same owner keeps its own.
    void removeRecord(HWND owner);
    // Destroys the record's dialog window, if it has one.
    static void destroyRecordWindow(PickerRecord &record);

    // The modeless picker objects handed out; the host may keep them after this
    // object is gone, so they are told when it goes.
    void forgetModelessPicker(ZylaMaxModelessColorPicker *modeless) { modelessPickers.erase(modeless); }

private:
    PickerRecord *newRecord(HWND owner, DWORD color, const IPoint2 *spos, HSVCallback *callback, const MCHAR *name);
    static void deleteRecord(PickerRecord *record);

    // Modeless records, one per owner; modal records, one per running ModalColorPicker
    // call (innermost last). A modal picker never replaces or frees a modeless record
    // of the same owner, nor the other way round.
    std::map<HWND, PickerRecord *> records;
    std::vector<PickerRecord *> modalRecords;
    std::set<ZylaMaxModelessColorPicker *> modelessPickers;
    // Cleared when this object is deleted; a ModalColorPicker call whose loop the
    // deletion ended holds a copy and touches nothing of this object afterwards.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};
