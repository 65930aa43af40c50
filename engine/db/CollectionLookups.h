#pragma once

#include "CollectionKeys.h"

#include <QString>
#include <QUuid>
#include <QVariant>
#include <QVector>

namespace Vantor::DB {

// The text stored under the key, or the key itself when there is none. Not cached
// (but see CollectionLookupBatch).
QString localizedString(const QUuid &uuid, const QString &key);
QString localizedString(const QUuid &uuid, LocaleKey key);

// The value at index 0 of a setting, or defaultValue. Not cached.
QVariant settingValue(const QUuid &uuid, const QString &name, const QVariant &defaultValue = QVariant());
// Every value of a list-valued setting in index order; empty when nothing is found.
QVariantList settingValues(const QUuid &uuid, const QString &name);

// While one exists (on the interface thread), the texts and settings above are read once
// per collection, all together, and answered from memory: a collection switch looks up
// about a hundred of them. The answers are the statements' own; a key or name the file
// holds twice (letter case aside) is looked up by its statement.
class CollectionLookupBatch
{
public:
    CollectionLookupBatch();
    ~CollectionLookupBatch();
    CollectionLookupBatch(const CollectionLookupBatch &) = delete;
    CollectionLookupBatch &operator=(const CollectionLookupBatch &) = delete;
};

// Replaces the six name-order lists with those of the collection (empty when it cannot
// be opened).
void loadOrderLists(const QUuid &uuid);

// The six order lists of the current collection: positions 0 to 9 of a record's names
// or auxiliary texts, in the order they are shown or searched.
const QVector<int> &pageNameDisplayOrder();
const QVector<int> &pageExtraDisplayOrder();
const QVector<int> &pageNameSearchOrder();
const QVector<int> &rowNameDisplayOrder();
const QVector<int> &rowExtraDisplayOrder();
const QVector<int> &rowNameSearchOrder();

} // namespace Vantor::DB
