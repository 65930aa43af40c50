#include "PaletteFile.h"

#include "MyPaletteModel.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/NavigationQueries.h"
#include "UntrustedXml.h"
#include "engine/db/SearchQueries.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlwriter.h>
#include <libxml/xpath.h>

#include <memory>

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
    const QByteArray description = palette.description().toUtf8();
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
        attribute("color-code", chip.row.code.toUtf8());
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

void loadVersion2(MyPaletteModel &palette, xmlDocPtr document, const QUuid &collection)
{
    const XPathNodes result(document, "/orva-palette/chips/chip");
    for (xmlNodePtr chip : result.nodes()) {
        if (chip->type != XML_ELEMENT_NODE)
            continue;
        const QPoint position(integerAttribute(chip, "col"), integerAttribute(chip, "row"));
        if (!MyPaletteModel::isInGrid(position))
            continue;
        xmlNodePtr first = chip->children;
        if (!first || first->type != XML_TEXT_NODE)
            continue;
        const QString code = xmlNodeText(first);
        if (code.isEmpty())
            continue;
        int pageIndex = -1, rowIndex = -1, segment = -1, mood = 0;
        bool exterior = false;
        if (DB::searchPhrase(collection, code, pageIndex, rowIndex, segment, mood, exterior) != DB::StatusOk
            || pageIndex <= 0 || rowIndex <= 0)
            continue;
        DB::ColorEntry entry;
        if (DB::loadColorAt(collection, pageIndex, rowIndex, entry) == DB::StatusOk)
            palette.setCell(position, collection, entry);
    }
}

void loadVersion3(MyPaletteModel &palette, xmlDocPtr document)
{
    const XPathNodes result(document, "/orva-palette/chips/chip");
    for (xmlNodePtr chip : result.nodes()) {
        if (chip->type != XML_ELEMENT_NODE)
            continue;
        const QPoint position(integerAttribute(chip, "col"), integerAttribute(chip, "row"));
        if (!MyPaletteModel::isInGrid(position))
            continue;
        xmlNodePtr entryNode = chip->children;
        if (!entryNode || entryNode->type != XML_ELEMENT_NODE
            || xmlName(entryNode).compare(QLatin1String("entry"), Qt::CaseInsensitive) != 0)
            continue;
        const QUuid collection(xmlAttribute(entryNode, "uuid-of-collection"));
        const int pageIndex = integerAttribute(entryNode, "page-index");
        const int rowIndex = integerAttribute(entryNode, "row-index");
        const QString code = xmlAttribute(entryNode, "color-code");
        DB::ColorEntry entry;
        if (DB::loadColorAt(collection, pageIndex, rowIndex, entry) == DB::StatusOk
            && entry.code.compare(code, Qt::CaseInsensitive) == 0)
            palette.setCell(position, collection, entry);
    }
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

bool savePaletteFile(const MyPaletteModel &palette, PaletteFileFormat format, const QString &path)
{
    const QByteArray bytes = paletteFileBytes(palette, format);
    return !bytes.isEmpty() && writeFileAtomically(bytes, path);
}

bool writeFileAtomically(const QByteArray &bytes, const QString &path)
{
    // Only ordinary files are replaced: never a device or anything else at that path.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return false;
    QSaveFile file(path);
    // Saving over a file the user may write, in a folder where they may not create
    // files: the new content goes straight into it (the temporary file that keeps a
    // save atomic cannot be made there).
    const QFileInfo folder(target.absolutePath());
    file.setDirectWriteFallback(target.exists() && target.isWritable() && !folder.isWritable());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

PaletteLoad loadPaletteFile(MyPaletteModel &palette, const QString &path)
{
    QByteArray bytes;
    if (!readBoundedFile(path, MaximumPaletteFileSize, bytes))
        return PaletteLoad::NotOpened;
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
        loadVersion2(palette, document.get(), collection);
        return PaletteLoad::Loaded;
    }
    if (major == 3) {
        if (system.compare(QLatin1String("multi-collection"), Qt::CaseInsensitive) != 0)
            return PaletteLoad::NotAPalette;
        palette.clearAll(true);
        loadDescription(palette, document.get());
        loadVersion3(palette, document.get());
        return PaletteLoad::Loaded;
    }
    return PaletteLoad::NotAPalette;
}

} // namespace Vantor
