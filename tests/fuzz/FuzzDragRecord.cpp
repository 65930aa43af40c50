// Drag payloads from any program on the desktop, read as the panels read a drop.

#include "FuzzSupport.h"

#include "engine/db/ChipDragRecord.h"
#include "engine/db/ColorEntry.h"

#include <QColor>
#include <QMimeData>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    QMimeData mime;
    mime.setData(QLatin1String(Vantor::DB::ChipMimeType),
                 QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!Vantor::DB::hasChipRecord(&mime))
        Palettra::Fuzz::broken("a payload of the chip type is not seen");
    Vantor::DB::chipRecordSource(&mime);
    QUuid collection;
    Vantor::DB::ColorEntry entry;
    Vantor::DB::readChipRecord(&mime, collection, entry);
    QColor colour;
    Vantor::DB::readColourRecordRgb(&mime, colour);
    QString name1, name2;
    Vantor::DB::readColourRecordNames(&mime, name1, name2);
    return 0;
}
