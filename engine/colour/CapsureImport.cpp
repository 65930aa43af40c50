#include "CapsureImport.h"

#include "CxfFile.h"
#include "UntrustedXml.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/StatusCodes.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace Vantor {

bool capsureFileAvailable(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    // Reading is all the import does: a measurement on a read-only share still counts.
    QFile file(path);
    const bool readable = file.open(QIODevice::ReadOnly);
    file.close();
    return readable;
}

QStringList capsureMeasurementNames(const QString &path)
{
    QByteArray bytes;
    if (!readBoundedFile(path, MaximumCxfFileSize, bytes))
        return {};
    const XmlDocument document = parseUntrustedXml(bytes);
    return document ? cxfObjectNames(document.get()) : QStringList();
}

QVector<DB::ColorEntry> capsureMatches(const QStringList &names)
{
    QVector<qint64> priority;
    if (names.isEmpty() || DB::loadCapsureCollectionIds(priority) != DB::StatusOk || priority.isEmpty())
        return {};
    QHash<qint64, QVector<DB::ColorEntry>> groups;
    // A device's file may repeat one name thousands of times: each is looked up once, in
    // the order of its first appearance, which gives the same matches in the same order.
    QSet<QString> seen;
    for (const QString &name : names) {
        if (seen.contains(name))
            continue;
        seen.insert(name);
        QVector<DB::ColorEntry> found;
        if (DB::findCapsureMatches(name, found) != DB::StatusOk)
            continue;
        for (const DB::ColorEntry &colour : std::as_const(found)) {
            QVector<DB::ColorEntry> &group = groups[colour.collectionId];
            const bool known = std::any_of(group.cbegin(), group.cend(),
                                           [&colour](const DB::ColorEntry &other) { return other.id == colour.id; });
            if (!known)
                group << colour;
        }
    }
    QVector<DB::ColorEntry> matches;
    for (qint64 collection : std::as_const(priority)) {
        matches << groups.value(collection);
        groups.remove(collection); // a collection listed twice gives its colours once
    }
    return matches;
}

} // namespace Vantor
