#pragma once

// CxF3 colour exchange documents: written for a list of named colours, read for the
// names of their objects (the Capsure import) and for their colours.

#include "ColourDifference.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <libxml/tree.h>

namespace Vantor {

inline constexpr const char *CxfCoreNamespace = "http://colorexchangeformat.com/CxF3-core";

// The largest measurement or exchange file read: spectral data of a few hundred objects.
inline constexpr qint64 MaximumCxfFileSize = 16 * 1024 * 1024;

// One object of a document: its name and whichever colour values it carries.
struct CxfObject
{
    QString name;
    bool hasLab = false;
    LabColour lab; // D65, 2° observer
    bool hasRgb = false;
    QColor rgb; // sRGB
};

// A CxF3 document of the objects, in order; its description names the whole set.
QByteArray cxfDocument(const QString &description, const QVector<CxfObject> &objects);

// The value of every Name attribute of every CxF3 Object, anywhere in the document, in
// document order ("//cc:Object/@Name"); attributes without text, or with an empty one,
// are left out.
QStringList cxfObjectNames(xmlDocPtr document);

// Every CxF3 Object with its name and its CIELab and sRGB values where it has them.
QVector<CxfObject> cxfObjects(xmlDocPtr document);

} // namespace Vantor
