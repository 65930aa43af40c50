// Theme items of a collection file: colours, the font list and images.

#include "FuzzSupport.h"

#include "engine/db/ThemeResources.h"

#include <QSize>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QColor colour = Vantor::DB::parseThemeColor(bytes, QColor(1, 2, 3));
    if (!colour.isValid())
        Palettra::Fuzz::broken("a theme colour is not a colour");
    for (const auto &[family, pointSize] : Vantor::DB::parseThemeFontList(QString::fromUtf8(bytes))) {
        if (family.isEmpty() || pointSize <= 0)
            Palettra::Fuzz::broken("a font list entry without a family or a size");
    }
    const QImage image = Vantor::DB::decodeThemeImage(bytes, QSize(7, 5));
    if (image.isNull())
        Palettra::Fuzz::broken("an image item gives no picture at all");
    return 0;
}
