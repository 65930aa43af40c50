#pragma once

#include "PickerRecord.h"

#include <map>
#include <set>
#include <vector>

class ZylaMaxModelessColorPicker;

// The colour picker 3ds Max asks for: a modal picker that returns the picked colour and
// modeless pickers, one window per owner, that report every pick.
//
// The host may call any entry point again from inside another (from a callback, or from
// an event filter or slot of its own that runs while a window of ours is made, shown or
// destroyed). One rule holds for all of them: a record is taken out of its map before
// its window goes, so that nothing reached from there finds it again; a call for a
// record or object that is going away does nothing; and memory is freed only once no
// frame of ours is on the stack (PickerFrame).
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
    // Closes every window of this object at once; the object itself is freed when no
    // call of ours is running any more.
    void DeleteThis() override;
    INT_PTR Execute(int, ULONG_PTR, ULONG_PTR, ULONG_PTR) override { return 0; }

    // The modeless record of `owner`, else its innermost running modal record, else the
    // fallback record.
    PickerRecord &record(HWND owner) const;
    // The modeless record of `owner` alone, else the fallback record.
    PickerRecord &modelessRecord(HWND owner) const;
    // The modeless record of `owner` if it is still the one numbered `serial`.
    PickerRecord *modelessRecord(HWND owner, std::uint64_t serial) const;
    bool hasRecord(HWND owner) const;
    std::size_t recordCount() const { return records.size() + modalRecords.size(); }
    // Takes the modeless record of `owner` out, destroys its window and retires it; a
    // modal picker of the same owner keeps its own.
    void removeRecord(HWND owner);
    // Whether DeleteThis was called: every later call does nothing.
    bool isClosed() const { return closed; }

    // The modeless picker objects handed out; the host may keep them after this
    // object is gone, so they are told when it goes.
    void adoptModelessPicker(ZylaMaxModelessColorPicker *modeless) { modelessPickers.insert(modeless); }
    void forgetModelessPicker(ZylaMaxModelessColorPicker *modeless) { modelessPickers.erase(modeless); }

private:
    PickerRecord *newRecord(HWND owner, DWORD color, const IPoint2 *spos, HSVCallback *callback, const MCHAR *name);
    // Takes `record` out of the maps, destroys its window and retires it.
    void closeRecord(PickerRecord *record);
    void close();

    // Modeless records, one per owner; modal records, one per running ModalColorPicker
    // call (innermost last). A modal picker never replaces or frees a modeless record
    // of the same owner, nor the other way round.
    std::map<HWND, PickerRecord *> records;
    std::vector<PickerRecord *> modalRecords;
    std::set<ZylaMaxModelessColorPicker *> modelessPickers;
    bool closed = false;
};
