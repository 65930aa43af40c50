#pragma once

#include "PickerRecord.h"

#include <map>
#include <set>

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

    // The record of `owner`, or the fallback record when it has none.
    PickerRecord &record(HWND owner) const;
    bool hasRecord(HWND owner) const { return records.count(owner) != 0; }
    std::size_t recordCount() const { return records.size(); }
    void removeRecord(HWND owner);
    // Destroys the record's dialog window, if it has one.
    static void destroyRecordWindow(PickerRecord &record);

    // The modeless picker objects handed out; the host may keep them after this
    // object is gone, so they are told when it goes.
    void forgetModelessPicker(ZylaMaxModelessColorPicker *modeless) { modelessPickers.erase(modeless); }

private:
    PickerRecord *createRecord(HWND owner, DWORD color, const IPoint2 *spos, HSVCallback *callback, const MCHAR *name);

    std::map<HWND, PickerRecord *> records;
    std::set<ZylaMaxModelessColorPicker *> modelessPickers;
};
