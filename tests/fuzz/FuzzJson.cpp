// The JSON codec: any text parses without harm, and whatever the writer writes of a
// parsed value parses back to the same value.

#include "FuzzSupport.h"
#include "JsonValues.h"

#include "engine/db/JsonCodec.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    bool parsed = false;
    const QVariant value = Vantor::DB::parseJson(text, parsed);
    if (!parsed)
        return 0;
    bool written = false;
    const QByteArray bytes = Vantor::DB::serializeJson(value, written);
    if (!written)
        return 0;
    bool reparsed = false;
    const QVariant back = Vantor::DB::parseJson(QString::fromUtf8(bytes), reparsed);
    if (!reparsed || !Palettra::Test::sameJsonValue(value, back))
        Palettra::Fuzz::broken("the JSON writer wrote what its parser does not read back");
    return 0;
}
