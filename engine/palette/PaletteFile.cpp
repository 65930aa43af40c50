#include "PaletteFile.h"

#include "MyPaletteModel.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/NavigationQueries.h"
#include "engine/colour/UntrustedXml.h"
#include "engine/db/SearchQueries.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringList>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlwriter.h>
#include <libxml/xpath.h>

#include <memory>
#include <optional>

namespace Vantor {

namespace {

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

// A chip as a file records it: its place and where its colour lies in the collection.
struct WrittenChip
{
    QPoint position;
    QUuid collection;
    DB::ColorEntry row;
    DB::ColorPage page;
};

// The occupied cells whose row and page can still be read, in grid order.
QVector<WrittenChip> writableChips(const MyPaletteModel &palette)
{
    QVector<WrittenChip> chips;
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        const PaletteCell &cell = palette.cell(position);
        if (!cell.isOccupied())
            continue;
        WrittenChip chip;
        chip.position = position;
        chip.collection = cell.index.collection;
        if (DB::loadColorById(chip.collection, cell.index.rowId, chip.row) != DB::StatusOk
            || DB::loadPageById(chip.collection, cell.index.pageId, false, chip.page) != DB::StatusOk
            || chip.row.pageId != chip.page.id)
            continue;
        chips << chip;
    }
    return chips;
}

const xmlChar *x(const char *text)
{
    return xmlText(text);
}

QByteArray xmlBytes(const MyPaletteModel &palette)
{
    xmlDocPtr document = nullptr;
    xmlTextWriterPtr writer = xmlNewTextWriterDoc(&document, 0);
    if (!writer)
        return QByteArray();
    auto text = [writer](const char *content) { xmlTextWriterWriteString(writer, x(content)); };
    auto attribute = [writer](const char *name, const QByteArray &value) {
        xmlTextWriterWriteAttribute(writer, x(name), x(value.constData()));
    };

    xmlTextWriterStartDocument(writer, nullptr, "UTF-8", nullptr);
    xmlTextWriterStartElement(writer, x("orva-palette"));
    attribute("version", "3.0");
    attribute("system", "multi-collection");
    text("\n\t");
    xmlTextWriterStartElement(writer, x("description"));
    const QByteArray description = xmlWritableText(palette.description());
    if (!description.isEmpty())
        xmlTextWriterWriteString(writer, x(description.constData()));
    xmlTextWriterEndElement(writer);
    text("\n\t");
    xmlTextWriterStartElement(writer, x("chips"));
    for (const WrittenChip &chip : writableChips(palette)) {
        text("\n\t\t");
        xmlTextWriterStartElement(writer, x("chip"));
        attribute("row", QByteArray::number(chip.position.y()));
        attribute("col", QByteArray::number(chip.position.x()));
        text("\n\t\t\t");
        xmlTextWriterStartElement(writer, x("entry"));
        attribute("uuid-of-collection", chip.collection.toString().toUtf8());
        attribute("page-index", QByteArray::number(chip.page.pageIndex));
        attribute("row-index", QByteArray::number(chip.row.rowIndex));
        attribute("color-code", xmlWritableText(chip.row.code));
        xmlTextWriterEndElement(writer);
        text("\n\t\t");
        xmlTextWriterEndElement(writer);
    }
    text("\n\t");
    xmlTextWriterEndElement(writer);
    text("\n");
    xmlTextWriterEndElement(writer);
    xmlTextWriterEndDocument(writer);
    xmlFreeTextWriter(writer);

    xmlChar *buffer = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(document, &buffer, &size, "UTF-8", 0);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), size);
    xmlFree(buffer);
    xmlFreeDoc(document);
    return ByteOrderMark + bytes;
}

QByteArray textBytes(const MyPaletteModel &palette)
{
    QByteArray lines;
    for (const WrittenChip &chip : writableChips(palette)) {
        auto &registry = DB::CollectionRegistry::instance();
        const QUuid owner = registry.collectionOwning(chip.row.collectionId, registry.collectionLocation(chip.collection).databasePath);
        QSharedPointer<DB::Collection> collection;
        if (!owner.isNull() && DB::loadCollection(owner, collection) == DB::StatusOk)
            lines += collection->name.toUtf8() + " : ";
        lines += chip.row.code.toUtf8() + '\n';
    }
    return lines.isEmpty() ? QByteArray() : ByteOrderMark + lines;
}

// --- Reading ---

// The text of the attribute an absolute path names; null when it has none.
QString attributeText(xmlDocPtr document, const char *path)
{
    const XPathNodes result(document, path);
    const QVector<xmlNodePtr> nodes = result.nodes();
    if (nodes.isEmpty() || nodes.first()->type != XML_ATTRIBUTE_NODE)
        return QString();
    return xmlNodeText(nodes.first());
}

int integerAttribute(xmlNodePtr element, const char *name)
{
    return xmlAttribute(element, name).toInt();
}

void loadDescription(MyPaletteModel &palette, xmlDocPtr document)
{
    QString description;
    const XPathNodes result(document, "/orva-palette/description");
    const QVector<xmlNodePtr> nodes = result.nodes();
    if (!nodes.isEmpty() && nodes.first()->type == XML_ELEMENT_NODE && nodes.first()->children)
        description = xmlNodeText(nodes.first()->children);
    palette.setDescription(description);
}

// A file may name the same cell many times; a later chip for a cell wins where it
// resolves. So the chips are taken from the last one backwards, and each cell is filled
// by the first chip that resolves for it, then passed over: the cell is stored once,
// however often the file repeats it. Lookups are remembered, so a repeated chip costs
// one query. Same result as filling the cells in file order.
class CellResolver
{
public:
    // Every chip element of the file, last first, with its position when in the grid.
    // `resolveChip(element, entry, collection, code, why)` finds the chip, or says which
    // code it named and why it found none.
    template<typename Resolve>
    void resolve(xmlDocPtr document, Resolve resolveChip)
    {
        const XPathNodes result(document, "/orva-palette/chips/chip");
        const QVector<xmlNodePtr> chips = result.nodes();
        for (auto chip = chips.crbegin(); chip != chips.crend() && m_open > 0; ++chip) {
            if ((*chip)->type != XML_ELEMENT_NODE)
                continue;
            const QPoint position(integerAttribute(*chip, "col"), integerAttribute(*chip, "row"));
            if (!MyPaletteModel::isInGrid(position) || m_filled[position.y()][position.x()])
                continue;
            QString code, why;
            if (resolveChip(*chip, m_entries[position.y()][position.x()], m_collections[position.y()][position.x()], code, why)) {
                m_filled[position.y()][position.x()] = true;
                --m_open;
            } else if (!code.isEmpty() && m_missing[position.y()][position.x()].what.isEmpty()) {
                m_missing[position.y()][position.x()] = {code, why};
            }
        }
    }

    // Fills the cells that a chip resolved, in grid order; names the others.
    void fill(MyPaletteModel &palette, QVector<LeftOutColour> *unresolved) const
    {
        for (int row = 0; row < MyPaletteModel::Rows; ++row) {
            for (int column = 0; column < MyPaletteModel::Columns; ++column) {
                if (m_filled[row][column])
                    palette.setCell(QPoint(column, row), m_collections[row][column], m_entries[row][column]);
                else if (unresolved && !m_missing[row][column].what.isEmpty())
                    unresolved->append(m_missing[row][column]);
            }
        }
    }

private:
    bool m_filled[MyPaletteModel::Rows][MyPaletteModel::Columns] = {};
    DB::ColorEntry m_entries[MyPaletteModel::Rows][MyPaletteModel::Columns];
    QUuid m_collections[MyPaletteModel::Rows][MyPaletteModel::Columns];
    LeftOutColour m_missing[MyPaletteModel::Rows][MyPaletteModel::Columns];
    int m_open = MyPaletteModel::Rows * MyPaletteModel::Columns;
};

// Why a chip of a collection was not found: the collection is not installed, or the
// chip is not in it (any more).
QString missingChipReason(const QUuid &collection)
{
    return DB::CollectionRegistry::instance().orderedCollectionUuids().contains(collection)
        ? QStringLiteral("not in its collection")
        : QStringLiteral("its collection %1 is not installed").arg(collection.toString());
}

void loadVersion2(MyPaletteModel &palette, xmlDocPtr document, const QUuid &collection, QVector<LeftOutColour> *unresolved)
{
    // Code → the colour it finds, or none.
    QHash<QString, std::optional<DB::ColorEntry>> known;
    CellResolver resolver;
    resolver.resolve(document, [&](xmlNodePtr chip, DB::ColorEntry &entry, QUuid &entryCollection, QString &code, QString &why) {
        xmlNodePtr first = chip->children;
        if (!first || first->type != XML_TEXT_NODE)
            return false;
        code = xmlNodeText(first);
        why = missingChipReason(collection);
        if (code.isEmpty())
            return false;
        auto found = known.constFind(code);
        if (found == known.cend()) {
            std::optional<DB::ColorEntry> resolved;
            int pageIndex = -1, rowIndex = -1, segment = -1, mood = 0;
            bool exterior = false;
            DB::ColorEntry candidate;
            if (DB::searchPhrase(collection, code, pageIndex, rowIndex, segment, mood, exterior) == DB::StatusOk
                && pageIndex > 0 && rowIndex > 0
                && DB::loadColorAt(collection, pageIndex, rowIndex, candidate) == DB::StatusOk)
                resolved = candidate;
            found = known.insert(code, resolved);
        }
        if (!found->has_value())
            return false;
        entry = **found;
        entryCollection = collection;
        return true;
    });
    resolver.fill(palette, unresolved);
}

void loadVersion3(MyPaletteModel &palette, xmlDocPtr document, QVector<LeftOutColour> *unresolved)
{
    // (collection, page index, row index) → the colour there, or none.
    QHash<QString, std::optional<DB::ColorEntry>> known;
    CellResolver resolver;
    resolver.resolve(document, [&](xmlNodePtr chip, DB::ColorEntry &entry, QUuid &entryCollection, QString &code, QString &why) {
        xmlNodePtr entryNode = chip->children;
        if (!entryNode || entryNode->type != XML_ELEMENT_NODE
            || xmlName(entryNode).compare(QLatin1String("entry"), Qt::CaseInsensitive) != 0)
            return false;
        const QUuid collection(xmlAttribute(entryNode, "uuid-of-collection"));
        const int pageIndex = integerAttribute(entryNode, "page-index");
        const int rowIndex = integerAttribute(entryNode, "row-index");
        code = xmlAttribute(entryNode, "color-code");
        why = missingChipReason(collection);
        const QString key = QStringLiteral("%1 %2 %3").arg(collection.toString()).arg(pageIndex).arg(rowIndex);
        auto found = known.constFind(key);
        if (found == known.cend()) {
            std::optional<DB::ColorEntry> resolved;
            DB::ColorEntry candidate;
            if (DB::loadColorAt(collection, pageIndex, rowIndex, candidate) == DB::StatusOk)
                resolved = candidate;
            found = known.insert(key, resolved);
        }
        if (!found->has_value() || (*found)->code.compare(code, Qt::CaseInsensitive) != 0)
            return false;
        entry = **found;
        entryCollection = collection;
        return true;
    });
    resolver.fill(palette, unresolved);
}

} // namespace

QByteArray paletteFileBytes(const MyPaletteModel &palette, PaletteFileFormat format)
{
    switch (format) {
    case PaletteFileXml: return xmlBytes(palette);
    case PaletteFileText: return textBytes(palette);
    default: return QByteArray();
    }
}

bool savePaletteFile(const MyPaletteModel &palette, PaletteFileFormat format, const QString &path, QString *problem)
{
    const QByteArray bytes = paletteFileBytes(palette, format);
    if (bytes.isEmpty()) {
        if (problem)
            *problem = QStringLiteral("the palette has no chip to list");
        return false;
    }
    return writeFileAtomically(bytes, path, problem);
}

bool writeFileAtomically(const QByteArray &bytes, const QString &path, QString *problem)
{
    auto fail = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return false;
    };
    // Only ordinary files are replaced: never a device or anything else at that path.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return fail(QStringLiteral("not an ordinary file"));
    QSaveFile file(path);
    // Saving over a file the user may write, in a folder where they may not create
    // files: the new content goes straight into it (the temporary file that keeps a
    // save atomic cannot be made there).
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return fail(QStringLiteral("no such folder"));
    file.setDirectWriteFallback(target.exists() && target.isWritable() && !folder.isWritable());
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    return file.commit() || fail(file.errorString());
}

PaletteLoad loadPaletteBytes(MyPaletteModel &palette, const QByteArray &bytes, QVector<LeftOutColour> *unresolved)
{
    const XmlDocument document = parseUntrustedXml(bytes);
    if (!document)
        return PaletteLoad::NotAPalette;

    const QStringList version = attributeText(document.get(), "/orva-palette/@version").split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const QString system = attributeText(document.get(), "/orva-palette/@system");
    bool minorOk = false;
    bool majorOk = false;
    if (version.size() != 2 || version.at(1).toInt(&minorOk) != 0 || !minorOk || system.isNull())
        return PaletteLoad::NotAPalette;
    const int major = version.at(0).toInt(&majorOk);
    if (!majorOk)
        return PaletteLoad::NotAPalette;

    if (major == 2) {
        QUuid collection;
        if (DB::CollectionRegistry::instance().findCollectionBySystemId(system, collection) != DB::StatusOk)
            return PaletteLoad::NotAPalette;
        palette.clearAll(true);
        loadDescription(palette, document.get());
        loadVersion2(palette, document.get(), collection, unresolved);
        return PaletteLoad::Loaded;
    }
    if (major == 3) {
        if (system.compare(QLatin1String("multi-collection"), Qt::CaseInsensitive) != 0)
            return PaletteLoad::NotAPalette;
        palette.clearAll(true);
        loadDescription(palette, document.get());
        loadVersion3(palette, document.get(), unresolved);
        return PaletteLoad::Loaded;
    }
    return PaletteLoad::NotAPalette;
}

} // namespace Vantor
