// CxF3 measurement files from a measuring device's software: the object names the
// Capsure import looks up, and the objects with their colours.

#include "FuzzSupport.h"

#include "engine/colour/CxfFile.h"
#include "engine/colour/UntrustedXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    const Vantor::XmlDocument document =
        Vantor::parseUntrustedXml(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!document)
        return 0;
    for (const QString &name : Vantor::cxfObjectNames(document.get())) {
        if (name.isEmpty())
            Palettra::Fuzz::broken("an empty object name is listed");
    }
    Vantor::cxfObjects(document.get());
    return 0;
}
