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
    LabColour lab; // D65, 2° observer (read: carried over from the white point the file gives)
    // Read: whether the file says under which white point its CIELab is; without it the
    // values are taken as D65.
    bool labWhiteKnown = true;
    bool hasRgb = false;
    QColor rgb; // sRGB
};

// A CxF3 document of the objects, in order, valid under the CxF3 core schema 3.0; its
// description names the whole set. CIELab is written for D65 and the 2° observer, and
// the document's colour specification says so.
QByteArray cxfDocument(const QString &description, const QVector<CxfObject> &objects);

// The value of every Name attribute of every CxF3 Object, anywhere in the document, in
// document order ("//cc:Object/@Name"); attributes without text, or with an empty one,
// are left out.
QStringList cxfObjectNames(xmlDocPtr document);

// Every CxF3 Object with its name and its CIELab and sRGB values where it has them. The
// CIELab is adapted (Bradford) to D65 from the illuminant and observer of the colour
// specification it names.
QVector<CxfObject> cxfObjects(xmlDocPtr document);

} // namespace Vantor
