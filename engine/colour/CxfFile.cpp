#include "CxfFile.h"

#include "ChromaticAdaptation.h"
#include "UntrustedXml.h"

#include <QDateTime>
#include <QHash>

#include <libxml/xmlwriter.h>

#include <cmath>

namespace Vantor {

namespace {

const QVector<std::pair<const char *, const char *>> CxfNamespaces{{"cc", CxfCoreNamespace}};
// Our CIELab values are for daylight D65 and the 2° observer.
const char *const LabSpecification = "CSD65-2";

void element(xmlTextWriterPtr writer, const char *name, const QString &text)
{
    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText(name), nullptr);
    xmlTextWriterWriteString(writer, xmlText(xmlWritableText(text).constData()));
    xmlTextWriterEndElement(writer);
}

// The child element of that local name in the CxF3 namespace; null without one.
xmlNodePtr child(xmlNodePtr parent, const char *name)
{
    for (xmlNodePtr node = parent ? parent->children : nullptr; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && xmlName(node) == QLatin1String(name) && node->ns
            && xmlStrEqual(node->ns->href, xmlText(CxfCoreNamespace)))
            return node;
    }
    return nullptr;
}

// Three numbers of child elements, all present and finite.
bool triple(xmlNodePtr parent, const char *first, const char *second, const char *third, double values[3])
{
    const char *names[3] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        xmlNodePtr node = child(parent, names[i]);
        bool ok = false;
        values[i] = node ? xmlNodeText(node).trimmed().toDouble(&ok) : 0.0;
        if (!ok || !std::isfinite(values[i]))
            return false;
    }
    return true;
}

// The white point of each colour specification of the document, by its Id: from the
// illuminant's own X, Y, Z where it gives them, else from the illuminant's name and the
// observer. Specifications that give neither are left out.
QHash<QString, WhitePoint> specificationWhitePoints(xmlDocPtr document)
{
    QHash<QString, WhitePoint> whites;
    const XPathNodes result(document, "//cc:ColorSpecification", CxfNamespaces);
    for (xmlNodePtr node : result.nodes()) {
        const QString id = xmlAttribute(node, "Id");
        xmlNodePtr tristimulus = child(node, "TristimulusSpec");
        xmlNodePtr illuminant = child(tristimulus, "Illuminant");
        if (id.isEmpty() || !illuminant)
            continue;
        bool okX = false, okY = false, okZ = false;
        const double x = xmlAttribute(illuminant, "X").toDouble(&okX);
        const double y = xmlAttribute(illuminant, "Y").toDouble(&okY);
        const double z = xmlAttribute(illuminant, "Z").toDouble(&okZ);
        WhitePoint white;
        if (okX && okY && okZ && std::isfinite(x) && std::isfinite(z) && y > 0.0 && std::isfinite(y) && x > 0.0 && z > 0.0) {
            white = {x / y, 1.0, z / y};
        } else {
            const QString observer = xmlNodeText(child(tristimulus, "Observer")).trimmed();
            if (!illuminantWhitePoint(xmlNodeText(illuminant), observer == QLatin1String("10_Degree"), white))
                continue;
        }
        whites.insert(id, white);
    }
    return whites;
}

} // namespace

QByteArray cxfDocument(const QString &description, const QVector<CxfObject> &objects)
{
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlTextWriterPtr writer = xmlNewTextWriterMemory(buffer, 0);
    xmlTextWriterSetIndent(writer, 1);
    xmlTextWriterSetIndentString(writer, xmlText("  "));
    xmlTextWriterStartDocument(writer, nullptr, "UTF-8", nullptr);
    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("CxF"), xmlText(CxfCoreNamespace));
    const QString created = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);

    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("FileInformation"), nullptr);
    element(writer, "Creator", QStringLiteral("Palettra"));
    element(writer, "CreationDate", created);
    element(writer, "Description", description);
    xmlTextWriterEndElement(writer);

    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("Resources"), nullptr);
    // The schema wants at least one object in a collection: an empty palette has none.
    if (!objects.isEmpty()) {
        xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("ObjectCollection"), nullptr);
        for (int i = 0; i < objects.size(); ++i) {
            const CxfObject &object = objects.at(i);
            xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("Object"), nullptr);
            xmlTextWriterWriteAttribute(writer, xmlText("ObjectType"), xmlText("Standard"));
            xmlTextWriterWriteAttribute(writer, xmlText("Name"), xmlText(xmlWritableText(object.name).constData()));
            xmlTextWriterWriteAttribute(writer, xmlText("Id"), xmlText(QByteArray("o").append(QByteArray::number(i + 1)).constData()));
            element(writer, "CreationDate", created);
            // CIELab that is no number, or below black, is left out rather than written
            // where no reader can take it.
            const bool writesLab = object.hasLab && std::isfinite(object.lab.l) && std::isfinite(object.lab.a)
                && std::isfinite(object.lab.b) && object.lab.l >= 0.0;
            if (writesLab || object.hasRgb) {
                xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("ColorValues"), nullptr);
                if (writesLab) {
                    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("ColorCIELab"), nullptr);
                    xmlTextWriterWriteAttribute(writer, xmlText("ColorSpecification"), xmlText(LabSpecification));
                    element(writer, "L", QString::number(object.lab.l, 'f', 4));
                    element(writer, "A", QString::number(object.lab.a, 'f', 4));
                    element(writer, "B", QString::number(object.lab.b, 'f', 4));
                    xmlTextWriterEndElement(writer);
                }
                if (object.hasRgb) {
                    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("ColorSRGB"), nullptr);
                    xmlTextWriterWriteAttribute(writer, xmlText("ColorSpecification"), xmlText(LabSpecification));
                    element(writer, "R", QString::number(object.rgb.red()));
                    element(writer, "G", QString::number(object.rgb.green()));
                    element(writer, "B", QString::number(object.rgb.blue()));
                    xmlTextWriterEndElement(writer);
                }
                xmlTextWriterEndElement(writer);
            }
            xmlTextWriterEndElement(writer);
        }
        xmlTextWriterEndElement(writer); // ObjectCollection
    }

    // Values computed from the collection's colours, not measured: daylight D65 with the
    // 2° observer, neither a table of spectral weights nor a geometry.
    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("ColorSpecificationCollection"), nullptr);
    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("ColorSpecification"), nullptr);
    xmlTextWriterWriteAttribute(writer, xmlText("Id"), xmlText(LabSpecification));
    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("TristimulusSpec"), nullptr);
    element(writer, "Illuminant", QStringLiteral("D65"));
    element(writer, "Observer", QStringLiteral("2_Degree"));
    element(writer, "Method", QStringLiteral("unknown"));
    xmlTextWriterEndElement(writer);
    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("MeasurementSpec"), nullptr);
    element(writer, "MeasurementType", QStringLiteral("Colorimetric_Reflectance"));
    xmlTextWriterStartElementNS(writer, xmlText("cc"), xmlText("GeometryChoice"), nullptr);
    element(writer, "UnknownGeometry", QStringLiteral("Colour values of a paint collection, not a measurement"));
    xmlTextWriterEndElement(writer); // GeometryChoice
    xmlTextWriterEndElement(writer); // MeasurementSpec
    xmlTextWriterEndElement(writer); // ColorSpecification
    xmlTextWriterEndElement(writer); // ColorSpecificationCollection

    xmlTextWriterEndElement(writer); // Resources
    xmlTextWriterEndElement(writer); // CxF
    xmlTextWriterEndDocument(writer);
    xmlFreeTextWriter(writer);
    const QByteArray bytes(reinterpret_cast<const char *>(xmlBufferContent(buffer)), xmlBufferLength(buffer));
    xmlBufferFree(buffer);
    return bytes;
}

QStringList cxfObjectNames(xmlDocPtr document)
{
    QStringList names;
    const XPathNodes result(document, "//cc:Object/@Name", CxfNamespaces);
    for (xmlNodePtr node : result.nodes()) {
        if (node->type != XML_ATTRIBUTE_NODE || !node->children || node->children->type != XML_TEXT_NODE)
            continue;
        // An empty name names nothing (and would match every colour without a name).
        const QString name = xmlNodeText(node->children);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

QVector<CxfObject> cxfObjects(xmlDocPtr document)
{
    QVector<CxfObject> objects;
    const QHash<QString, WhitePoint> whites = specificationWhitePoints(document);
    const XPathNodes result(document, "//cc:Object", CxfNamespaces);
    for (xmlNodePtr node : result.nodes()) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        CxfObject object;
        object.name = xmlAttribute(node, "Name");
        xmlNodePtr values = child(node, "ColorValues");
        double numbers[3];
        xmlNodePtr lab = child(values, "ColorCIELab");
        if (triple(lab, "L", "A", "B", numbers)) {
            object.hasLab = true;
            object.lab = {numbers[0], numbers[1], numbers[2]};
            const auto white = whites.constFind(xmlAttribute(lab, "ColorSpecification"));
            object.labWhiteKnown = white != whites.constEnd();
            if (object.labWhiteKnown)
                object.lab = adaptLab(object.lab, *white);
        }
        if (triple(child(values, "ColorSRGB"), "R", "G", "B", numbers)) {
            bool inRange = true;
            for (double value : numbers)
                inRange = inRange && value >= 0.0 && value <= 255.0;
            if (inRange) {
                object.hasRgb = true;
                object.rgb = QColor(int(std::lround(numbers[0])), int(std::lround(numbers[1])), int(std::lround(numbers[2])));
            }
        }
        objects << object;
    }
    return objects;
}

} // namespace Vantor
