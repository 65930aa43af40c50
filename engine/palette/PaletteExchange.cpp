#include "PaletteExchange.h"

#include "AseFile.h"
#include "engine/colour/CapsureImport.h"
#include "CssFile.h"
#include "engine/colour/CxfFile.h"
#include "GplFile.h"
#include "MyPaletteModel.h"
#include "engine/colour/UntrustedXml.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cmath>

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
        chip.lab = chipLab(entry);
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

ExchangeFormat exchangeFormatOfContent(const QByteArray &bytes)
{
    QByteArray start = bytes.left(4096);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    if (start.startsWith("ASEF"))
        return ExchangeFormat::Ase;
    if (start.trimmed().startsWith("GIMP Palette"))
        return ExchangeFormat::Gpl;
    // A CxF3 document names the format's namespace near its start.
    if (start.trimmed().startsWith("<") && start.contains(CxfCoreNamespace))
        return ExchangeFormat::Cxf;
    return ExchangeFormat::None;
}

bool readExchangeBytes(const QByteArray &bytes, ExchangeFormat format, ImportedPalette &palette, int maximumColours)
{
    bool read = false;
    switch (format) {
    case ExchangeFormat::Gpl:
        return readGpl(bytes, palette, maximumColours);
    case ExchangeFormat::Ase:
        read = readAse(bytes, palette);
        break;
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
            colour.labWhiteKnown = object.labWhiteKnown;
            colour.hasRgb = object.hasRgb;
            colour.rgb = object.rgb;
            palette.colours << colour;
        }
        read = true;
        break;
    }
    default:
        return false;
    }
    if (read && maximumColours >= 0 && palette.colours.size() > maximumColours)
        palette.colours.resize(maximumColours);
    return read;
}

namespace {

// Looks up what the colours of a file lead to, each distinct value once: a file of other
// tools may repeat a colour thousands of times.
class ColourMatcher
{
public:
    explicit ColourMatcher(const QUuid &collection)
        : m_collection(collection)
    {
        DB::loadLabColors(collection, m_candidates);
    }

    ExchangeMatch match(const ImportedColour &colour)
    {
        ExchangeMatch match;
        match.colour = colour;
        LabColour target;
        // Values far outside any colour (carried to another white point) are no target.
        if (!targetOf(colour, target) || !std::isfinite(target.l) || !std::isfinite(target.a) || !std::isfinite(target.b))
            return match;
        const QString key = QStringLiteral("%1 %2 %3").arg(target.l, 0, 'g', 17).arg(target.a, 0, 'g', 17).arg(target.b, 0, 'g', 17);
        auto known = m_nearest.constFind(key);
        if (known == m_nearest.constEnd()) {
            const QVector<ColourMatch> nearest = nearestColours(target, m_candidates, 1);
            ColourMatch best{0.0, -1};
            if (!nearest.isEmpty())
                best = nearest.first();
            known = m_nearest.insert(key, best);
        }
        if (known->second < 0 || !chip(known->second, match.chip))
            return match;
        match.found = true;
        match.difference = known->first;
        return match;
    }

private:
    bool targetOf(const ImportedColour &colour, LabColour &target)
    {
        if (colour.hasLab && (colour.labWhiteKnown || !colour.hasRgb)) {
            target = colour.lab;
            return true;
        }
        if (colour.hasRgb) {
            target = labFromColour(colour.rgb);
            return true;
        }
        if (colour.hasLab) {
            target = colour.lab;
            return true;
        }
        // Only a name, as a measuring device's software gives it: the collection's own
        // colour of that code or name first, then the Capsure collections'.
        auto known = m_named.constFind(colour.name);
        if (known == m_named.constEnd())
            known = m_named.insert(colour.name, lookUpName(colour.name));
        if (!known->first)
            return false;
        target = known->second;
        return true;
    }

    std::pair<bool, LabColour> lookUpName(const QString &name) const
    {
        int pageIndex = -1, rowIndex = -1, segment = -1, mood = 0;
        bool exterior = false;
        DB::ColorEntry entry;
        if (DB::searchPhrase(m_collection, name, pageIndex, rowIndex, segment, mood, exterior) == DB::StatusOk && rowIndex > 0
            && DB::loadColorAt(m_collection, pageIndex, rowIndex, entry) == DB::StatusOk)
            return {true, LabColour{entry.l, entry.a, entry.b}};
        const QVector<DB::ColorEntry> named = capsureMatches({name});
        if (named.isEmpty())
            return {false, LabColour()};
        return {true, LabColour{named.first().l, named.first().a, named.first().b}};
    }

    bool chip(qint64 rowId, DB::ColorEntry &entry)
    {
        auto known = m_chips.constFind(rowId);
        if (known == m_chips.constEnd()) {
            DB::ColorEntry loaded;
            if (DB::loadColorById(m_collection, rowId, loaded) != DB::StatusOk)
                loaded.id = -1;
            known = m_chips.insert(rowId, loaded);
        }
        entry = *known;
        return entry.id >= 0;
    }

    QUuid m_collection;
    QVector<DB::LabCandidate> m_candidates;
    QHash<QString, ColourMatch> m_nearest;
    QHash<QString, std::pair<bool, LabColour>> m_named;
    QHash<qint64, DB::ColorEntry> m_chips;
};

} // namespace

QVector<ExchangeMatch> matchImportedColours(const ImportedPalette &palette, const QUuid &collection, int maximumFound)
{
    QVector<ExchangeMatch> matches;
    ColourMatcher matcher(collection);
    int found = 0;
    for (const ImportedColour &colour : palette.colours) {
        if (maximumFound >= 0 && found >= maximumFound)
            break;
        matches << matcher.match(colour);
        found += matches.constLast().found ? 1 : 0;
    }
    return matches;
}

} // namespace Vantor
