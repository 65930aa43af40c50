// Palettes of other design tools: the same bytes read as a GIMP palette, a swatch
// exchange file and a CxF3 document, as an import would, and recognised by their content.

#include "FuzzSupport.h"

#include "engine/palette/PaletteExchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Vantor::ExchangeFormat recognised = Vantor::exchangeFormatOfContent(bytes);
    if (recognised == Vantor::ExchangeFormat::Css)
        Palettra::Fuzz::broken("CSS recognised as a palette to read");
    for (const Vantor::ExchangeFormat format :
         {Vantor::ExchangeFormat::Gpl, Vantor::ExchangeFormat::Ase, Vantor::ExchangeFormat::Cxf}) {
        Vantor::ImportedPalette palette;
        if (!Vantor::readExchangeBytes(bytes, format, palette))
            continue;
        for (const Vantor::ImportedColour &colour : palette.colours) {
            if (colour.hasRgb && !colour.rgb.isValid())
                Palettra::Fuzz::broken("an imported colour that is no colour");
        }
        Vantor::matchImportedColours(palette, Palettra::Fuzz::Collection);
    }
    return 0;
}
