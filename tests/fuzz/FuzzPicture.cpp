// Pictures as a palette import reads them: decoded at most to the counted size, their
// dominant colours found and matched to the chips of a collection.

#include "FuzzSupport.h"

#include "engine/colour/ImagePalette.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImage picture;
    if (Vantor::readPalettePicture(&device, picture) != Vantor::PictureRead::Read)
        return 0;
    if (qint64(picture.width()) * picture.height() > Vantor::MaximumPalettePixels)
        Palettra::Fuzz::broken("a picture larger than the counted size");
    const QVector<Vantor::DominantColour> colours = Vantor::dominantColours(picture);
    double total = 0.0;
    for (const Vantor::DominantColour &colour : colours) {
        if (!(colour.share > 0.0) || colour.share > 1.0 + 1e-9)
            Palettra::Fuzz::broken("a share outside the counted range");
        total += colour.share;
    }
    if (colours.size() > Vantor::MaximumDominantColours || total > 1.0 + 1e-9)
        Palettra::Fuzz::broken("more colours or more picture than there is");
    const QVector<Vantor::PictureChip> chips = Vantor::nearestChipsOf(colours, Palettra::Fuzz::Collection);
    double chipsTotal = 0.0;
    for (int i = 0; i < chips.size(); ++i) {
        if (i > 0 && chips.at(i - 1).share < chips.at(i).share)
            Palettra::Fuzz::broken("chips out of the order of their shares");
        // Small parts are folded into a kept chip, never listed on their own.
        if (chips.size() > 1 && chips.at(i).share < Vantor::MinimumDominantShare)
            Palettra::Fuzz::broken("a chip under the smallest share listed");
        chipsTotal += chips.at(i).share;
    }
    if (chipsTotal > total + 1e-9)
        Palettra::Fuzz::broken("chips standing for more picture than the colours");
    return 0;
}
