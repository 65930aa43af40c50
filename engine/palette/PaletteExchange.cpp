#include "PaletteExchange.h"

#include "AseFile.h"
#include "CapsureImport.h"
#include "CssFile.h"
#include "CxfFile.h"
#include "GplFile.h"
#include "MyPaletteModel.h"
#include "UntrustedXml.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"

#include <QFileInfo>

namespace Vantor {

ExchangeFormat exchangeFormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gpl"))
        return ExchangeFormat::Gpl;
    if (suffix == QLatin1String("ase"))
        return ExchangeFormat::Ase;
    if (suffix == QLatin1String("cxf"))
        return ExchangeFormat::Cxf;
    if (suffix == QLatin1String("css"))
        return ExchangeFormat::Css;
    return ExchangeFormat::None;
}

PaletteFileFormat paletteFileFormatOf(ExchangeFormat format)
{
    switch (format) {
    case ExchangeFormat::Gpl: return PaletteFileGpl;
    case ExchangeFormat::Ase: return PaletteFileAse;
    case ExchangeFormat::Cxf: return PaletteFileCxf;
    case ExchangeFormat::Css: return PaletteFileCss;
    default: return PaletteFileXml;
    }
}

ExchangeFormat exchangeFormatOf(PaletteFileFormat format)
{
    switch (format) {
    case PaletteFileGpl: return ExchangeFormat::Gpl;
    case PaletteFileAse: return ExchangeFormat::Ase;
    case PaletteFileCxf: return ExchangeFormat::Cxf;
    case PaletteFileCss: return ExchangeFormat::Css;
    default: return ExchangeFormat::None;
    }
}

QVector<ExchangeChip> exchangeChips(const MyPaletteModel &palette)
{
    QVector<ExchangeChip> chips;
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        const PaletteCell &cell = palette.cell(position);
        DB::ColorEntry entry;
        if (!cell.isOccupied() || DB::loadColorById(cell.index.collection, cell.index.rowId, entry) != DB::StatusOk)
            continue;
        ExchangeChip chip;
        chip.code = entry.code;
        chip.rgb = QColor(entry.red, entry.green, entry.blue);
        const QVector<int> &order = DB::rowNameDisplayOrder();
        for (int index : order)
            chip.names << entry.name(index);
        // The database's own CIELab; a row without one (all zero for a colour that is
        // not black) gets the RGB's.
        const bool storedLab = entry.l != 0.0 || entry.a != 0.0 || entry.b != 0.0 || chip.rgb == QColor(Qt::black);
        chip.lab = storedLab ? LabColour{entry.l, entry.a, entry.b} : labFromColour(chip.rgb);
        chips << chip;
    }
    return chips;
}

QByteArray exchangeBytes(const MyPaletteModel &palette, ExchangeFormat format, const QString &fallbackName)
{
    const QString name = palette.description().isEmpty() ? fallbackName : palette.description();
    const QVector<ExchangeChip> chips = exchangeChips(palette);
    switch (format) {
    case ExchangeFormat::Gpl: return gplBytes(name, chips);
    case ExchangeFormat::Ase: return aseBytes(name, chips);
    case ExchangeFormat::Css: return cssBytes(name, chips);
    case ExchangeFormat::Cxf: {
        QVector<CxfObject> objects;
        for (const ExchangeChip &chip : chips) {
            CxfObject object;
            object.name = exchangeLabel(chip);
            object.hasLab = true;
            object.lab = chip.lab;
            object.hasRgb = true;
            object.rgb = chip.rgb;
            objects << object;
        }
        return cxfDocument(name, objects);
    }
    default: return QByteArray();
    }
}

bool readExchangeBytes(const QByteArray &bytes, ExchangeFormat format, ImportedPalette &palette)
{
    switch (format) {
    case ExchangeFormat::Gpl: return readGpl(bytes, palette);
    case ExchangeFormat::Ase: return readAse(bytes, palette);
    case ExchangeFormat::Cxf: {
        const XmlDocument document = parseUntrustedXml(bytes);
        if (!document)
            return false;
        palette = ImportedPalette();
        const XPathNodes description(document.get(), "//cc:FileInformation/cc:Description", {{"cc", CxfCoreNamespace}});
        if (!description.nodes().isEmpty())
            palette.description = xmlNodeText(description.nodes().first());
        for (const CxfObject &object : cxfObjects(document.get())) {
            ImportedColour colour;
            colour.name = object.name;
            colour.hasLab = object.hasLab;
            colour.lab = object.lab;
            colour.hasRgb = object.hasRgb;
            colour.rgb = object.rgb;
            palette.colours << colour;
        }
        return true;
    }
    default: return false;
    }
}

bool readExchangeFile(const QString &path, ImportedPalette &palette)
{
    const ExchangeFormat format = exchangeFormatOf(path);
    if (format == ExchangeFormat::None || format == ExchangeFormat::Css)
        return false;
    QByteArray bytes;
    if (!readBoundedFile(path, MaximumExchangeFileSize, bytes))
        return false;
    return readExchangeBytes(bytes, format, palette);
}

QVector<ExchangeMatch> matchImportedColours(const ImportedPalette &palette, const QUuid &collection)
{
    QVector<ExchangeMatch> matches;
    QVector<DB::LabCandidate> candidates;
    DB::loadLabColors(collection, candidates);
    for (const ImportedColour &colour : palette.colours) {
        ExchangeMatch match;
        match.colour = colour;
        LabColour target;
        bool known = true;
        if (colour.hasLab) {
            target = colour.lab;
        } else if (colour.hasRgb) {
            target = labFromColour(colour.rgb);
        } else {
            // Only a name, as a measuring device's software gives it.
            const QVector<DB::ColorEntry> named = capsureMatches({colour.name});
            known = !named.isEmpty();
            if (known)
                target = LabColour{named.first().l, named.first().a, named.first().b};
        }
        if (known) {
            const QVector<ColourMatch> nearest = nearestColours(target, candidates, 1);
            if (!nearest.isEmpty() && DB::loadColorById(collection, nearest.first().second, match.chip) == DB::StatusOk) {
                match.found = true;
                match.difference = nearest.first().first;
            }
        }
        matches << match;
    }
    return matches;
}

bool importExchangeFile(MyPaletteModel &palette, const QString &path, const QUuid &collection)
{
    ImportedPalette imported;
    if (!readExchangeFile(path, imported))
        return false;
    QVector<DB::ColorEntry> chips;
    for (const ExchangeMatch &match : matchImportedColours(imported, collection)) {
        if (match.found && chips.size() < MyPaletteModel::Rows * MyPaletteModel::Columns)
            chips << match.chip;
    }
    if (chips.isEmpty())
        return false;
    palette.clearAll(true);
    palette.setDescription(imported.description);
    const QVector<QPoint> order = MyPaletteModel::gridOrder();
    for (int i = 0; i < chips.size(); ++i)
        palette.setCell(order.at(i), collection, chips.at(i));
    return true;
}

} // namespace Vantor
