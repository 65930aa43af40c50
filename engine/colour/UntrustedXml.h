#pragma once

// Reading XML that other people and other programs made (palette files, measurement
// files): parsed from memory without network access, DTD loading or entity
// substitution; a document that carries a DTD is refused, since it could bring entities
// of its own.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <memory>
#include <utility>

namespace Vantor {

struct XmlDocumentDeleter
{
    void operator()(xmlDoc *document) const { xmlFreeDoc(document); }
};
using XmlDocument = std::unique_ptr<xmlDoc, XmlDocumentDeleter>;

// The bytes of a regular file no larger than `limit`, opened for reading only; false
// (and nothing read) for anything else.
bool readBoundedFile(const QString &path, qint64 limit, QByteArray &bytes);

// The parsed document (UTF-8, blank text nodes dropped); null when the bytes are no XML,
// or carry a DTD.
XmlDocument parseUntrustedXml(const QByteArray &bytes);

// The nodes an XPath expression selects; `namespaces` binds prefixes to namespace URIs.
// Empty when the expression fails or selects no node set.
class XPathNodes
{
public:
    XPathNodes(xmlDocPtr document, const char *path, const QVector<std::pair<const char *, const char *>> &namespaces = {});
    ~XPathNodes();
    XPathNodes(const XPathNodes &) = delete;
    XPathNodes &operator=(const XPathNodes &) = delete;

    bool isNodeSet() const;
    QVector<xmlNodePtr> nodes() const;

private:
    xmlXPathContextPtr m_context = nullptr;
    xmlXPathObjectPtr m_object = nullptr;
};

// The text content of a node (of an attribute: its value).
QString xmlNodeText(xmlNodePtr node);
// An attribute of an element; null when it has none.
QString xmlAttribute(xmlNodePtr element, const char *name);
// The element's local name.
QString xmlName(xmlNodePtr node);

// The text as UTF-8 for libxml2's writer, without the characters XML 1.0 cannot carry:
// control characters other than tab, line feed and carriage return, U+FFFE and U+FFFF,
// and halves of surrogate pairs that stand alone. A description pasted from elsewhere may
// hold them, and one of them would make the whole file unreadable.
QByteArray xmlWritableText(const QString &text);

inline const xmlChar *xmlText(const char *text)
{
    return reinterpret_cast<const xmlChar *>(text);
}

} // namespace Vantor
