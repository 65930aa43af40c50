#include "CapsureQueries.h"

#include "CollectionRegistry.h"
#include "CollectionSettings.h"
#include "SharedTypes.h"
#include "SqlSupport.h"

#include <QHash>
#include <QPair>
#include <QSqlError>
#include <QSqlRecord>
#include <QStringList>

#include <iterator>

namespace Vantor::DB {

namespace {

const char *const CapsureCollectionIdsStatement = "SELECT     * FROM     CAPSURE_COLLECTION_IDS_BY_PRIORITY ";
const char *const CapsureMatchesStatement =
    "SELECT     R.*,     CMAP.COLLECTION_ID FROM     \"ROW\" R     JOIN PAGE P ON R.PAGE_ID = P.ID     JOIN "
    "COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID     INNER JOIN CAPSURE_COLLECTION_IDS_BY_PRIORITY T1 ON "
    "CMAP.COLLECTION_ID = T1.COLLECTION_ID WHERE     UPPER(?) IN (%1) ORDER BY     T1.PRIORITY ASC";
const char *const LabColorsStatement =
    "SELECT R.ID,R.RED,R.GREEN,R.BLUE,R.L,R.A,R.B  FROM \"ROW\" R       JOIN PAGE P ON R.PAGE_ID = P.ID       "
    "JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID  WHERE CMAP.COLLECTION_ID = ? ";

// The Lab candidates of each collection, by connection and collection id, kept until
// the registry finds the file changed; callers share one copy of them.
QHash<QPair<QString, qint64>, QVector<LabCandidate>> &labColorCache()
{
    static auto *cache = new QHash<QPair<QString, qint64>, QVector<LabCandidate>>;
    return *cache;
}

} // namespace

int loadCapsureCollectionIds(QVector<qint64> &collectionIds)
{
    collectionIds.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(SystemWideCollectionUuid);
    if (status < 0)
        return status;
    PreparedStatement statement(registry.connection(SystemWideCollectionUuid),
                                QLatin1String(CapsureCollectionIdsStatement));
    if (!statement.exec({}))
        return StatusQueryFailed;
    while (statement.query().next())
        collectionIds << statement.query().value(0).toLongLong();
    return StatusOk;
}

int findCapsureMatches(const QString &text, QVector<ColorEntry> &matches)
{
    matches.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(SystemWideCollectionUuid);
    if (status < 0)
        return status;

    // The search order of the collection that is shown applies to every collection.
    QStringList expressions;
    for (int position : rowNameSearchOrder()) {
        if (position >= 0 && position <= 9)
            expressions << QStringLiteral("UPPER(R.NAME%1)").arg(position);
    }
    expressions << QStringLiteral("UPPER(R.CODE)");

    PreparedStatement statement(registry.connection(SystemWideCollectionUuid),
                                QString::fromLatin1(CapsureMatchesStatement).arg(expressions.join(QStringLiteral(", "))));
    if (!statement.exec({text}))
        return StatusQueryFailed;
    while (statement.query().next())
        matches << ColorEntry(statement.row());
    return StatusOk;
}

int loadLabColors(const QUuid &uuid, QVector<LabCandidate> &candidates)
{
    candidates.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    const QSqlDatabase db = registry.connection(uuid);
    const QPair<QString, qint64> key(db.connectionName(), registry.collectionId(uuid));
    const auto known = labColorCache().constFind(key);
    if (known != labColorCache().cend()) {
        candidates = *known;
        return StatusOk;
    }
    PreparedStatement statement(db, QLatin1String(LabColorsStatement));
    // A failed read is not kept: the next lookup tries again.
    if (!statement.exec({key.second}))
        return StatusOk;
    QSqlQuery &query = statement.query();
    const QSqlRecord record = query.record();
    const int idColumn = record.indexOf(QStringLiteral("ID"));
    const int lColumn = record.indexOf(QStringLiteral("L"));
    const int aColumn = record.indexOf(QStringLiteral("A"));
    const int bColumn = record.indexOf(QStringLiteral("B"));
    while (query.next())
        candidates.append({query.value(lColumn).toDouble(), query.value(aColumn).toDouble(),
                           query.value(bColumn).toDouble(), query.value(idColumn).toLongLong()});
    // Nor is one broken off by a damaged file.
    if (!query.lastError().isValid())
        labColorCache().insert(key, candidates);
    return StatusOk;
}

void forgetLabColorsOf(const QString &connectionName)
{
    auto &cache = labColorCache();
    for (auto it = cache.begin(); it != cache.end();)
        it = it.key().first == connectionName ? cache.erase(it) : std::next(it);
}

} // namespace Vantor::DB
