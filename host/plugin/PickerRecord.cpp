#include "PickerRecord.h"

#include "ZylaMAXColPick.h"

#include <vector>

PickerRecord &fallbackPickerRecord()
{
    static PickerRecord fallback;
    // Nothing may leave a value behind in the shared fallback.
    fallback = PickerRecord();
    fallback.disabled = 1;
    return fallback;
}

namespace {

int framesRunning = 0;
std::vector<PickerRecord *> retiredRecords;
std::vector<ZylaMAXColPick *> retiredPickers;

void freeRetired()
{
    // Freeing may run code of ours again (a picker's destructor): it takes what is
    // retired now and leaves the lists to whatever that code retires.
    while (!retiredRecords.empty() || !retiredPickers.empty()) {
        std::vector<PickerRecord *> records;
        std::vector<ZylaMAXColPick *> pickers;
        records.swap(retiredRecords);
        pickers.swap(retiredPickers);
        for (PickerRecord *record : records)
            delete record;
        for (ZylaMAXColPick *picker : pickers)
            delete picker;
    }
}

} // namespace

PickerFrame::PickerFrame()
{
    ++framesRunning;
}

PickerFrame::~PickerFrame()
{
    // The outermost frame frees while it still counts as running, so that whatever the
    // frees call back into retires into the lists that this loop empties.
    if (framesRunning == 1)
        freeRetired();
    --framesRunning;
}

namespace {

template <typename Retired>
void freeNowOrLater(Retired *retired, std::vector<Retired *> &later)
{
    if (!retired)
        return;
    if (framesRunning == 0)
        delete retired;
    else
        later.push_back(retired);
}

} // namespace

void PickerFrame::retire(PickerRecord *record)
{
    freeNowOrLater(record, retiredRecords);
}

void PickerFrame::retire(ZylaMAXColPick *picker)
{
    freeNowOrLater(picker, retiredPickers);
}
