#include "UntrustedXml.h"

#include <QFile>
#include <QFileInfo>

#include <libxml/parser.h>
#include <libxml/xpathInternals.h>

#include <climits>

namespace Vantor {

bool readBoundedFile(const QString &path, qint64 limit, QByteArray &bytes)
{
    bytes.clear();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.size() > limit)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read what the file holds, not a buffer of the limit's size for a small file; it may
    // grow between the look and the read: never more than the limit.
    bytes = file.read(qMin(limit, info.size()) + 1);
    while (bytes.size() <= limit && !file.atEnd()) {
        const QByteArray more = file.read(qMin<qint64>(1 << 16, limit + 1 - bytes.size()));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    if (bytes.size() > limit) {
        bytes.clear();
        return false;
    }
    return true;
}

XmlDocument parseUntrustedXml(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > INT_MAX)
        return nullptr;
    XmlDocument document(xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, "UTF-8",
                                       XML_PARSE_NOBLANKS | XML_PARSE_NONET | XML_PARSE_COMPACT | XML_PARSE_NOERROR
                                           | XML_PARSE_NOWARNING));
    if (document && (document->intSubset || document->extSubset))
        return nullptr;
    return document;
}

XPathNodes::XPathNodes(xmlDocPtr document, const char *path, const QVector<std::pair<const char *, const char *>> &namespaces)
{
    if (!document)
        return;
    m_context = xmlXPathNewContext(document);
    if (!m_context)
        return;
    for (const auto &[prefix, uri] : namespaces)
        xmlXPathRegisterNs(m_context, xmlText(prefix), xmlText(uri));
    m_object = xmlXPathEvalExpression(xmlText(path), m_context);
}

XPathNodes::~XPathNodes()
{
    if (m_object)
        xmlXPathFreeObject(m_object);
    if (m_context)
        xmlXPathFreeContext(m_context);
}

bool XPathNodes::isNodeSet() const
{
    return m_object && m_object->type == XPATH_NODESET;
}

QVector<xmlNodePtr> XPathNodes::nodes() const
{
    QVector<xmlNodePtr> list;
    if (isNodeSet() && m_object->nodesetval) {
        for (int i = 0; i < m_object->nodesetval->nodeNr; ++i)
            list << m_object->nodesetval->nodeTab[i];
    }
    return list;
}

QString xmlNodeText(xmlNodePtr node)
{
    xmlChar *content = xmlNodeGetContent(node);
    const QString text = content ? QString::fromUtf8(reinterpret_cast<const char *>(content)) : QString();
    xmlFree(content);
    return text;
}

QString xmlAttribute(xmlNodePtr element, const char *name)
{
    xmlChar *value = xmlGetProp(element, xmlText(name));
    const QString text = value ? QString::fromUtf8(reinterpret_cast<const char *>(value)) : QString();
    xmlFree(value);
    return text;
}

QString xmlName(xmlNodePtr node)
{
    return node && node->name ? QString::fromUtf8(reinterpret_cast<const char *>(node->name)) : QString();
}

QByteArray xmlWritableText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (QChar::isHighSurrogate(unit)) {
            if (i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                kept += text.at(i);
                kept += text.at(++i);
            }
            continue;
        }
        const bool allowed = unit == 0x9 || unit == 0xA || unit == 0xD || (unit >= 0x20 && unit <= 0xD7FF)
            || (unit >= 0xE000 && unit <= 0xFFFD);
        if (allowed)
            kept += text.at(i);
    }
    return kept.toUtf8();
}

} // namespace Vantor
