#include "PickerRecord.h"

PickerRecord &fallbackPickerRecord()
{
    static PickerRecord fallback;
    // Nothing may leave a value behind in the shared fallback.
    fallback = PickerRecord();
    fallback.disabled = 1;
    return fallback;
}
