#pragma once

#include "ColorEntry.h"

#include <QString>
#include <QUuid>
#include <QVector>

namespace Vantor::DB {

// One colour of a collection as the nearest-colour search sees it.
struct LabCandidate
{
    double l = 0.0;
    double a = 0.0;
    double b = 0.0;
    qint64 rowId = 0;
};

// The collections that take part in Capsure matching, lowest priority number first
// (across the collections of the first database file).
int loadCapsureCollectionIds(QVector<qint64> &collectionIds);

// Every colour of a Capsure collection whose searched name or code equals the text
// (both sides upper-cased by the database), in the collections' priority order.
int findCapsureMatches(const QString &text, QVector<ColorEntry> &matches);

// The stored CIELAB values of every colour of a collection.
int loadLabColors(const QUuid &uuid, QVector<LabCandidate> &candidates);
// Drops the kept CIELAB values read through the named connection (its file changed).
void forgetLabColorsOf(const QString &connectionName);

} // namespace Vantor::DB
