// Palette files from colleagues (versions 2.0 and 3.0), loaded into My Palette beside a
// collection their chips can resolve in.

#include "FuzzSupport.h"

#include "engine/PersistentState.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/palette/PaletteFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    // The settings store stays open for the whole run: every input writes its cells
    // through the same code as a user's load, into memory rather than the disk.
    static const Vantor::PersistentStateBatch batch;
    Vantor::MyPaletteModel palette;
    // The bytes as a load reads them from the file, without the file: writing one per
    // input would cost more than the load.
    Vantor::loadPaletteBytes(palette, QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    // Whatever loaded is a palette that saves.
    Vantor::paletteFileBytes(palette, Vantor::PaletteFileXml);
    return 0;
}
