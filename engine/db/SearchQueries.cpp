#include "SearchQueries.h"

#include "CollectionRegistry.h"
#include "CollectionSettings.h"
#include "SqlSupport.h"

#include <QSqlRecord>

namespace Vantor::DB {

namespace {

const char *const PageNameEntries =
    "SELECT DISTINCT P.NAME%1 AS ENTRY FROM PAGE P LEFT JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
    "WHERE CMAP.COLLECTION_ID = ?";
const char *const RowNameEntries =
    "SELECT DISTINCT R.NAME%1 AS ENTRY FROM \"ROW\" R LEFT JOIN PAGE P ON R.PAGE_ID = P.ID LEFT JOIN "
    "COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE CMAP.COLLECTION_ID = ?";
const char *const CodeEntries =
    "SELECT DISTINCT R.CODE AS ENTRY FROM \"ROW\" R LEFT JOIN PAGE P ON R.PAGE_ID = P.ID LEFT JOIN "
    "COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE CMAP.COLLECTION_ID = ?";
const char *const CompletionsStatement =
    "SELECT DISTINCT ENTRY FROM (%1) WHERE TRIM(ENTRY) != ''";

const char *const SearchStatementWithPages =
    "SELECT     P.SEGMENT AS PAGE_SEGMENT,     P.PAGE_INDEX,     R.ROW_INDEX,     P.MOOD AS PAGE_MOOD,     "
    "P.EXTERIOR AS PAGE_EXTERIOR,     (? IN (%1)) AS IS_PAGE FROM     \"ROW\" R     JOIN PAGE P ON R.PAGE_ID = "
    "P.ID     JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE     CMAP.COLLECTION_ID = ?     AND ? IN "
    "(%2) LIMIT     1 ";
const char *const SearchStatementColorsOnly =
    "SELECT     P.SEGMENT AS PAGE_SEGMENT,     P.PAGE_INDEX,     R.ROW_INDEX,     P.MOOD AS PAGE_MOOD,     "
    "P.EXTERIOR AS PAGE_EXTERIOR,     0 AS IS_PAGE FROM     \"ROW\" R     JOIN PAGE P ON R.PAGE_ID = P.ID     "
    "JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE     CMAP.COLLECTION_ID = ?     AND ? IN (%1) "
    "LIMIT     1 ";

// Only positions 0 to 9 name a column; anything else in an order list is skipped.
QVector<int> columnPositions(const QVector<int> &order)
{
    QVector<int> positions;
    for (int position : order) {
        if (position >= 0 && position <= 9)
            positions << position;
    }
    return positions;
}

} // namespace

int loadCompletions(const QUuid &uuid, QStringList &completions)
{
    completions.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    const qint64 collectionId = registry.collectionId(uuid);

    QStringList parts;
    QVariantList values;
    for (int position : columnPositions(pageNameSearchOrder())) {
        parts << QString::fromLatin1(PageNameEntries).arg(position);
        values << collectionId;
    }
    for (int position : columnPositions(rowNameSearchOrder())) {
        parts << QString::fromLatin1(RowNameEntries).arg(position);
        values << collectionId;
    }
    parts << QString::fromLatin1(CodeEntries);
    values << collectionId;

    PreparedStatement statement(registry.connection(uuid),
                                QString::fromLatin1(CompletionsStatement).arg(parts.join(QStringLiteral(" UNION "))));
    if (statement.exec(values)) {
        while (statement.query().next())
            completions << statement.query().value(0).toString();
    }
    completions.sort(Qt::CaseSensitive);
    return completions.isEmpty() ? StatusQueryFailed : StatusOk;
}

int searchPhrase(const QUuid &uuid, const QString &phrase, int &pageIndex, int &rowIndex, int &segment, int &mood,
                 bool &exterior)
{
    pageIndex = -1;
    rowIndex = -1;
    segment = -1;
    mood = 0;
    exterior = false;

    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    const qint64 collectionId = registry.collectionId(uuid);

    QStringList pageExpressions;
    for (int position : columnPositions(pageNameSearchOrder()))
        pageExpressions << QStringLiteral("UPPER(P.NAME%1)").arg(position);
    QStringList allExpressions = pageExpressions;
    for (int position : columnPositions(rowNameSearchOrder()))
        allExpressions << QStringLiteral("UPPER(R.NAME%1)").arg(position);
    allExpressions << QStringLiteral("UPPER(R.CODE)");

    // The stored texts are folded by the database (ASCII letters only), the phrase fully.
    const QString folded = phrase.toUpper();
    QString text;
    QVariantList values;
    if (!pageExpressions.isEmpty()) {
        text = QString::fromLatin1(SearchStatementWithPages)
                   .arg(pageExpressions.join(QStringLiteral(", ")), allExpressions.join(QStringLiteral(", ")));
        values = {folded, collectionId, folded};
    } else {
        text = QString::fromLatin1(SearchStatementColorsOnly).arg(allExpressions.join(QStringLiteral(", ")));
        values = {collectionId, folded};
    }

    PreparedStatement statement(registry.connection(uuid), text);
    if (!statement.exec(values))
        return StatusQueryFailed;
    if (!statement.query().next())
        return StatusNothingMatches;
    const RowView record = statement.row();
    pageIndex = record.value(QStringLiteral("PAGE_INDEX")).toInt();
    segment = record.value(QStringLiteral("PAGE_SEGMENT")).toInt();
    mood = record.value(QStringLiteral("PAGE_MOOD")).toInt();
    exterior = record.value(QStringLiteral("PAGE_EXTERIOR")).toLongLong() != 0;
    if (record.value(QStringLiteral("IS_PAGE")).toLongLong() == 0)
        rowIndex = record.value(QStringLiteral("ROW_INDEX")).toInt();
    return StatusOk;
}

} // namespace Vantor::DB
