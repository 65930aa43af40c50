#include "CollectionLookups.h"

#include "CollectionRegistry.h"
#include "SettingValues.h"
#include "SharedTypes.h"
#include "SqlSupport.h"
#include "TextSort.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlQuery>

#include <limits>

namespace Vantor::DB {

namespace {

const char *const LocalizedStringStatement =
    "SELECT L.STRING FROM LOCALE L WHERE L.COLLECTION_ID = :COLLECTION_ID AND       "
    "L.KEY = :KEY COLLATE NOCASE";

const char *const SettingValueStatement =
    "SELECT S.VALUE FROM SETTING S WHERE S.COLLECTION_ID = :COLLECTION_ID AND       "
    "S.NAME = :NAME COLLATE NOCASE AND       S.VALUE_INDEX = 0 ";

const char *const SettingValuesStatement =
    "SELECT S.VALUE FROM SETTING S WHERE S.COLLECTION_ID = :COLLECTION_ID AND       "
    "S.NAME = :NAME COLLATE NOCASE ORDER BY S.VALUE_INDEX ASC ";

struct OrderLists
{
    QVector<int> pageNameDisplay;
    QVector<int> pageExtraDisplay;
    QVector<int> pageNameSearch;
    QVector<int> rowNameDisplay;
    QVector<int> rowExtraDisplay;
    QVector<int> rowNameSearch;
};

OrderLists &orderLists()
{
    static OrderLists lists;
    return lists;
}

// Runs one of the lookups above on the collection's connection with the name bound,
// and gives the first column of its rows, at most `limit` of them. The statements are
// prepared once: a collection switch looks up dozens of texts and settings. Returns
// false when the collection cannot be opened or the statement fails.
bool runLookup(const QUuid &uuid, const char *statement, const QString &value, int limit, QVariantList &values)
{
    values.clear();
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(uuid) != StatusOk)
        return false;
    PreparedStatement lookup(registry.connection(uuid), QLatin1String(statement));
    if (!lookup.exec({registry.collectionId(uuid), value})) {
        logQueryError(lookup.query());
        return false;
    }
    while (values.size() < limit && lookup.query().next())
        values << lookup.query().value(0);
    return true;
}

// A collection's texts and settings as a batch reads them: by folded key or name. A key
// met twice is left to its statement (which of the two it answers is the statement's).
struct LookupSnapshot
{
    bool usable = false;
    QHash<QString, QVariant> strings;
    QHash<QString, QMap<qint64, QVariant>> settings; // name → values by index
    QSet<QString> twice;                             // keys and names ("S:" + name) met twice
};

struct LookupBatches
{
    int depth = 0;
    QHash<QUuid, LookupSnapshot> snapshots;
};

LookupBatches &lookupBatches()
{
    static LookupBatches batches;
    return batches;
}

LookupSnapshot readSnapshot(const QUuid &uuid)
{
    LookupSnapshot snapshot;
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(uuid) != StatusOk)
        return snapshot;
    const QSqlDatabase db = registry.connection(uuid);
    {
        PreparedStatement texts(db, QStringLiteral("SELECT L.\"KEY\", L.STRING FROM LOCALE L WHERE L.COLLECTION_ID = ?"));
        if (!texts.exec({registry.collectionId(uuid)}))
            return snapshot;
        while (texts.query().next()) {
            const QVariant key = texts.query().value(0);
            if (key.typeId() != QMetaType::QString)
                return snapshot; // compared as the statement would compare it: not here
            const QString folded = sqliteAsciiUpper(key.toString());
            if (snapshot.strings.contains(folded))
                snapshot.twice.insert(folded);
            snapshot.strings.insert(folded, texts.query().value(1));
        }
    }
    PreparedStatement settings(db, QStringLiteral("SELECT S.NAME, S.VALUE, S.VALUE_INDEX FROM SETTING S WHERE S.COLLECTION_ID = ?"));
    if (!settings.exec({registry.collectionId(uuid)}))
        return snapshot;
    while (settings.query().next()) {
        const QVariant name = settings.query().value(0);
        const QVariant index = settings.query().value(2);
        if (name.typeId() != QMetaType::QString || index.typeId() != QMetaType::LongLong)
            return snapshot;
        const QString folded = sqliteAsciiUpper(name.toString());
        QMap<qint64, QVariant> &values = snapshot.settings[folded];
        if (values.contains(index.toLongLong()))
            snapshot.twice.insert(QStringLiteral("S:") + folded);
        values.insert(index.toLongLong(), settings.query().value(1));
    }
    snapshot.usable = true;
    return snapshot;
}

// The batch's snapshot of the collection, or null outside a batch or where the batch
// cannot answer.
const LookupSnapshot *snapshotOf(const QUuid &uuid, const QString &keyOrName)
{
    LookupBatches &batches = lookupBatches();
    // A null text binds as NULL, which equals nothing, where the snapshot would take it
    // for an empty key.
    if (batches.depth == 0 || keyOrName.isNull())
        return nullptr;
    auto found = batches.snapshots.find(uuid);
    if (found == batches.snapshots.end())
        found = batches.snapshots.insert(uuid, readSnapshot(uuid));
    return found->usable ? &*found : nullptr;
}

} // namespace

CollectionLookupBatch::CollectionLookupBatch()
{
    ++lookupBatches().depth;
}

CollectionLookupBatch::~CollectionLookupBatch()
{
    if (--lookupBatches().depth == 0)
        lookupBatches().snapshots.clear();
}

QString localizedString(const QUuid &uuid, const QString &key)
{
    if (const LookupSnapshot *snapshot = snapshotOf(uuid, key)) {
        const QString folded = sqliteAsciiUpper(key);
        if (!snapshot->twice.contains(folded)) {
            const QVariant value = snapshot->strings.value(folded);
            return value.typeId() == QMetaType::QString ? value.toString() : key;
        }
    }
    QVariantList values;
    if (runLookup(uuid, LocalizedStringStatement, key, 1, values) && !values.isEmpty()
        && values.first().typeId() == QMetaType::QString)
        return values.first().toString();
    return key;
}

QString localizedString(const QUuid &uuid, LocaleKey key)
{
    return localizedString(uuid, localeKeyText(key));
}

QVariant settingValue(const QUuid &uuid, const QString &name, const QVariant &defaultValue)
{
    if (const LookupSnapshot *snapshot = snapshotOf(uuid, name)) {
        const QString folded = sqliteAsciiUpper(name);
        if (!snapshot->twice.contains(QStringLiteral("S:") + folded)) {
            const auto found = snapshot->settings.constFind(folded);
            return found != snapshot->settings.constEnd() && found->contains(0) ? found->value(0) : defaultValue;
        }
    }
    QVariantList values;
    if (runLookup(uuid, SettingValueStatement, name, 1, values) && !values.isEmpty())
        return values.first();
    return defaultValue;
}

QVariantList settingValues(const QUuid &uuid, const QString &name)
{
    if (const LookupSnapshot *snapshot = snapshotOf(uuid, name)) {
        const QString folded = sqliteAsciiUpper(name);
        if (!snapshot->twice.contains(QStringLiteral("S:") + folded))
            return snapshot->settings.value(folded).values();
    }
    QVariantList values;
    runLookup(uuid, SettingValuesStatement, name, std::numeric_limits<int>::max(), values);
    return values;
}

void loadOrderLists(const QUuid &uuid)
{
    OrderLists &lists = orderLists();
    lists = OrderLists();
    if (CollectionRegistry::instance().openCollection(uuid) != StatusOk)
        return;

    const std::pair<SettingKey, QVector<int> *> targets[] = {
        {SettingKey::PageNameSearchOrder, &lists.pageNameSearch},
        {SettingKey::PageNameDisplayOrder, &lists.pageNameDisplay},
        {SettingKey::PageExtraDisplayOrder, &lists.pageExtraDisplay},
        {SettingKey::RowNameSearchOrder, &lists.rowNameSearch},
        {SettingKey::RowNameDisplayOrder, &lists.rowNameDisplay},
        {SettingKey::RowExtraDisplayOrder, &lists.rowExtraDisplay},
    };
    for (const auto &[key, list] : targets) {
        *list = SettingValues::orderListOf(settingValues(uuid, settingKeyText(key)));
    }
}

const QVector<int> &pageNameDisplayOrder() { return orderLists().pageNameDisplay; }
const QVector<int> &pageExtraDisplayOrder() { return orderLists().pageExtraDisplay; }
const QVector<int> &pageNameSearchOrder() { return orderLists().pageNameSearch; }
const QVector<int> &rowNameDisplayOrder() { return orderLists().rowNameDisplay; }
const QVector<int> &rowExtraDisplayOrder() { return orderLists().rowExtraDisplay; }
const QVector<int> &rowNameSearchOrder() { return orderLists().rowNameSearch; }

} // namespace Vantor::DB
