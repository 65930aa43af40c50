#include "Collection.h"

#include "CollectionRegistry.h"
#include "RecordFields.h"
#include "SqlSupport.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace Vantor::DB {

namespace {
const char *const CollectionByUuidStatement = " SELECT *  FROM COLLECTION C  WHERE C.UUID = :UUID COLLATE NOCASE";
}

Collection::Collection(const RowView &row)
{
    AbstractBase::load(row);
    RecordFields::read(row, QStringLiteral("SYSTEMID"), systemId);
    RecordFields::read(row, QStringLiteral("VERSION"), version);
    QString uuidText;
    if (RecordFields::read(row, QStringLiteral("UUID"), uuidText)) {
        const QUuid parsed(uuidText);
        if (!parsed.isNull())
            uuid = parsed;
    }
    RecordFields::read(row, QStringLiteral("NAME"), name);
    RecordFields::read(row, QStringLiteral("ORDER"), order);
}

Collection::~Collection() = default;

int loadCollection(const QUuid &uuid, QSharedPointer<Collection> &collection)
{
    collection.reset();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;

    QSqlQuery query(registry.connection(uuid));
    query.prepare(QLatin1String(CollectionByUuidStatement));
    query.bindValue(QStringLiteral(":UUID"), uuid.toString());
    if (!query.exec()) {
        logQueryError(query);
        return StatusQueryFailed;
    }
    if (!query.next())
        return StatusQueryFailed;
    auto loaded = QSharedPointer<Collection>::create(query.record());
    if (!loaded->isValid())
        return StatusQueryFailed;
    collection = loaded;
    return StatusOk;
}

} // namespace Vantor::DB
