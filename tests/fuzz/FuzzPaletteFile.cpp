// Palette files from colleagues (versions 2.0 and 3.0), loaded into My Palette beside a
// collection their chips can resolve in.

#include "FuzzSupport.h"

#include "engine/PersistentState.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/palette/PaletteFile.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("input.palette"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            Palettra::Fuzz::broken("cannot write the input file");
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // The settings store stays open for the whole run: every input writes its cells
    // through the same code as a user's load, into memory rather than the disk.
    static const Vantor::PersistentStateBatch batch;
    Vantor::MyPaletteModel palette;
    Vantor::loadPaletteFile(palette, path);
    // Whatever loaded is a palette that saves.
    Vantor::paletteFileBytes(palette, Vantor::PaletteFileXml);
    return 0;
}
