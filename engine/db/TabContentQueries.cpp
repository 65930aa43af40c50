#include "TabContentQueries.h"

#include "CollectionRegistry.h"
#include "CollectionSettings.h"
#include "SqlSupport.h"

#include <QSqlRecord>

#include <algorithm>

namespace Vantor::DB {

namespace {

const char *const ProspectGroupsStatement = " SELECT *  FROM PROSPECT_GROUP FG  WHERE FG.COLLECTION_ID IN (0, ?) ";
const char *const ProspectEntriesStatement =
    "SELECT * FROM PROSPECT_ENTRY FE  WHERE        FE.PROSPECT_GROUP_ID = ?  ORDER BY FE.\"ORDER\" ";
const char *const ProductsStatement =
    "SELECT    PR.* FROM     ROW_PRODUCT_MAP M     JOIN PRODUCT PR ON PR.ID = M.PRODUCT_ID WHERE     M.ROW_ID = ?";
const char *const ProductGroupsStatement =
    "SELECT    PG.NAME FROM     ROW_PRODUCT_GROUP_MAP M     JOIN PRODUCT_GROUP PG ON PG.ID = M.PRODUCT_GROUP_ID "
    "WHERE     M.ROW_ID = ?";
const char *const TexturesStatement = "SELECT     * FROM     TEXTURE T WHERE     T.COLLECTION_ID in (0, ?)";
const char *const TextureMappingsStatement =
    "SELECT     TM.TEXTURE_ID,     TM.PAGE_ID,     TM.ALPHA,     TM.NAME FROM     TEXTURE_MAP TM     JOIN TEXTURE T "
    "ON T.ID = TM.TEXTURE_ID WHERE     TM.PAGE_ID = ?";

} // namespace

int loadProspectGroups(const QUuid &uuid, QMap<qint64, ProspectGroup> &groups)
{
    groups.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    const QSqlDatabase db = registry.connection(uuid);

    QList<ProspectGroup> loaded;
    {
        PreparedStatement statement(db, QLatin1String(ProspectGroupsStatement));
        if (!statement.exec({registry.collectionId(uuid)}))
            return StatusQueryFailed;
        while (statement.query().next())
            loaded << ProspectGroup(statement.row());
    }
    for (ProspectGroup &group : loaded) {
        PreparedStatement statement(db, QLatin1String(ProspectEntriesStatement));
        if (statement.exec({group.id})) {
            while (statement.query().next())
                group.entries << ProspectEntry(statement.row());
        }
        std::stable_sort(group.entries.begin(), group.entries.end(),
                         [](const ProspectEntry &a, const ProspectEntry &b) { return a.order < b.order; });
        groups.insert(group.id, group);
    }
    return StatusOk;
}

int loadProducts(const QUuid &uuid, qint64 rowId, QVector<QString> &products)
{
    products.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    PreparedStatement statement(registry.connection(uuid), QLatin1String(ProductsStatement));
    if (!statement.exec({rowId}))
        return StatusQueryFailed;

    QSqlQuery &query = statement.query();
    int nameColumn = -1;
    int codeColumn = -1;
    QString separator;
    bool first = true;
    while (query.next()) {
        if (first) {
            const QSqlRecord record = query.record();
            nameColumn = record.indexOf(QStringLiteral("NAME"));
            codeColumn = record.indexOf(QStringLiteral("PRODUCT_CODE"));
            first = false;
        }
        QString entry = nameColumn >= 0 ? query.value(nameColumn).toString() : QString();
        const QString code = codeColumn >= 0 ? query.value(codeColumn).toString() : QString();
        if (!code.isEmpty()) {
            if (separator.isNull())
                separator = CollectionSettings::productNameCodeSeparator(uuid);
            entry += separator + code;
        }
        products << entry;
    }
    return StatusOk;
}

int loadProductGroups(const QUuid &uuid, qint64 rowId, QVector<QString> &groups)
{
    groups.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    PreparedStatement statement(registry.connection(uuid), QLatin1String(ProductGroupsStatement));
    if (!statement.exec({rowId}))
        return StatusQueryFailed;
    while (statement.query().next())
        groups << statement.query().value(0).toString();
    return StatusOk;
}

int loadTextures(const QUuid &uuid, QMap<qint64, Texture> &textures)
{
    textures.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    PreparedStatement statement(registry.connection(uuid), QLatin1String(TexturesStatement));
    if (!statement.exec({registry.collectionId(uuid)}))
        return StatusQueryFailed;
    while (statement.query().next()) {
        const Texture texture(statement.row());
        textures.insert(texture.id, texture);
    }
    return StatusOk;
}

int loadTextureMappings(const QUuid &uuid, qint64 pageId, QVector<TextureMapping> &mappings)
{
    mappings.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    PreparedStatement statement(registry.connection(uuid), QLatin1String(TextureMappingsStatement));
    if (!statement.exec({pageId}))
        return StatusQueryFailed;
    while (statement.query().next())
        mappings << TextureMapping::fromRow(statement.row());
    return StatusOk;
}

} // namespace Vantor::DB
