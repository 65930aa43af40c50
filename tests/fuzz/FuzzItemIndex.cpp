// The text form of a palette cell's colour: any text reads without harm, and every
// index reads back from its own text form.

#include "FuzzSupport.h"

#include "engine/db/ItemIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const Vantor::DB::ItemIndex index = Vantor::DB::ItemIndex::fromString(text);
    if (Vantor::DB::ItemIndex::fromString(index.toString()) != index)
        Palettra::Fuzz::broken("an item index does not read back from its text form");
    return 0;
}
