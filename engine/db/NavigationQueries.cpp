#include "NavigationQueries.h"

#include "CollectionRegistry.h"
#include "SqlSupport.h"

#include <QSqlQuery>

namespace Vantor::DB {

namespace {

const char *const CountExteriorPagesWithMood =
    " SELECT COUNT(*)  FROM PAGE P       JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
    " WHERE CMAP.COLLECTION_ID = :COLLECTION_ID AND        P.EXTERIOR = 1 AND        P.MOOD = :MOOD ";

} // namespace

bool hasExteriorPagesWithMood(const QUuid &uuid, int mood)
{
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(uuid) < 0)
        return true;
    QSqlQuery query(registry.connection(uuid));
    query.prepare(QLatin1String(CountExteriorPagesWithMood));
    query.bindValue(QStringLiteral(":COLLECTION_ID"), registry.collectionId(uuid));
    query.bindValue(QStringLiteral(":MOOD"), mood);
    if (!query.exec() || !query.next())
        return false;
    return query.value(0).toLongLong() != 0;
}

} // namespace Vantor::DB
