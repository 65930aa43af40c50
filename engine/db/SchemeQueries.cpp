#include "SchemeQueries.h"

#include "CollectionRegistry.h"
#include "LogCategories.h"
#include "NavigationQueries.h"
#include "SharedTypes.h"
#include "SqlSupport.h"

#include <QSqlRecord>

namespace Vantor::DB {

namespace {

const char *const ComplementaryNeutralCountStatement =
    "SELECT     COUNT(*) FROM     PAGE_SCHEME PS WHERE     PS.PAGE_ID = (SELECT ID                   FROM PAGE P  "
    "                      JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID                   WHERE          "
    "             CMAP.COLLECTION_ID = ? AND P.PAGE_INDEX = ? )     AND PS.SCHEME_ID = ? ";

const char *const SchemePagesStatement =
    "SELECT     TP.PAGE_INDEX FROM     PAGE_SCHEME PS     JOIN PAGE SP ON PS.PAGE_ID = SP.ID     JOIN PAGE TP ON "
    "PS.SCHEME_PAGE_ID = TP.ID     JOIN COLLECTION_PAGE_MAP SCMAP ON SP.ID = SCMAP.PAGE_ID WHERE     "
    "(PS.SCHEME_ID = ?) AND     (SP.PAGE_INDEX = ? AND SCMAP.COLLECTION_ID = ?) ";

#define PALETTRA_SCHEME_COLOR_COLUMNS                                                                          \
    "SELECT     ? AS COLLECTION_ID,     R.ID,     R.PAGE_ID,     M.ROW_ORDER AS ROW_INDEX,     R.CODE,     "    \
    "R.SEGMENT,     R.RED,     R.GREEN,     R.BLUE,     R.L,     R.A,     R.B,     R.NEUTRAL,     R.WHITE,     " \
    "R.MOOD,     R.NAME0,     R.NAME1,     R.NAME2,     R.NAME3,     R.NAME4,     R.NAME5,     R.NAME6,     "     \
    "R.NAME7,     R.NAME8,     R.NAME9,     R.EXTRA0,     R.EXTRA1,     R.EXTRA2,     R.EXTRA3,     R.EXTRA4,     " \
    "R.EXTRA5,     R.EXTRA6,     R.EXTRA7,     R.EXTRA8,     R.EXTRA9"

const char *const RowSchemeColorsStatement =
    PALETTRA_SCHEME_COLOR_COLUMNS " FROM     ROW_SCHEME_MAP M     JOIN \"ROW\" R ON M.SCHEME_ROW_ID = R.ID WHERE     "
    "M.COLLECTION_ID = ?     AND M.ROW_ID = ?     AND M.SCHEME_ID = ? ORDER BY     M.PAGE_ORDER ASC,     "
    "M.ROW_ORDER ASC ";

const char *const ContrastSchemeColorsStatement =
    PALETTRA_SCHEME_COLOR_COLUMNS ",    (CASE WHEN M.SCHEME_ID = ? AND M.PAGE_ORDER = 0 THEN -1           WHEN "
    "M.SCHEME_ID = ? AND M.PAGE_ORDER = 0 THEN 0           WHEN M.SCHEME_ID = ? AND M.PAGE_ORDER = 1 THEN 1      "
    "     ELSE 100      END) AS MY_ORDER FROM     ROW_SCHEME_MAP M     JOIN \"ROW\" R ON M.SCHEME_ROW_ID = R.ID "
    "WHERE     M.COLLECTION_ID = ?     AND M.ROW_ID = ?     AND M.SCHEME_ID IN (?, ?) ORDER BY     MY_ORDER ASC ";

#undef PALETTRA_SCHEME_COLOR_COLUMNS

const char *const PageSchemeColorsStatement =
    "SELECT   ? AS COLLECTION_ID,   R.ID,   R.PAGE_ID,   SM.\"ORDER\" AS PAGE_ORDER,   R.ROW_INDEX,   R.CODE,   "
    "R.SEGMENT,   R.RED,   R.GREEN,   R.BLUE,   R.L,   R.A,   R.B,   R.NEUTRAL,   R.WHITE,   R.MOOD,   R.NAME0,   "
    "R.NAME1,   R.NAME2,   R.NAME3,   R.NAME4,   R.NAME5,   R.NAME6,   R.NAME7,   R.NAME8,   R.NAME9,   R.EXTRA0,   "
    "R.EXTRA1,   R.EXTRA2,   R.EXTRA3,   R.EXTRA4,   R.EXTRA5,   R.EXTRA6,   R.EXTRA7,   R.EXTRA8,   R.EXTRA9 FROM "
    "  ROW_TO_PAGE_SCHEME SM   JOIN \"ROW\" R ON SM.SCHEME_PAGE_ID = R.PAGE_ID WHERE       SM.COLLECTION_ID = ?   "
    "AND SM.ROW_ID = ?   AND SM.SCHEME_ID = ? ORDER BY   SM.\"ORDER\" ASC,    R.ROW_INDEX ASC ";

const int ComplementaryNeutralScheme = 8;
const int DramaticScheme = 5;
const int ContrastScheme = 2;
const int WideContrastScheme = 3;
const int RichMood = 4;

// Loads the card and picks the colour at the position (1-based).
int colorAtPosition(const QUuid &uuid, int pageIndex, int rowPosition, ColorEntry &entry)
{
    ColorPage page;
    const int status = loadPageByIndex(uuid, pageIndex, page);
    if (status < 0)
        return status;
    if (rowPosition < 1 || rowPosition > page.rows.size())
        return StatusRowOutsideCard;
    entry = page.rows.at(rowPosition - 1);
    return StatusOk;
}

enum class OnFailure { Quiet, Log };

int runColorQuery(const QUuid &uuid, const char *statementText, const QVariantList &values, QVector<ColorEntry> &colors,
                  OnFailure onFailure = OnFailure::Quiet)
{
    auto &registry = CollectionRegistry::instance();
    PreparedStatement statement(registry.connection(uuid), QLatin1String(statementText));
    if (!statement.exec(values)) {
        if (onFailure == OnFailure::Log)
            logQueryError(statement.query());
        return StatusQueryFailed;
    }
    while (statement.query().next())
        colors.append(ColorEntry(statement.row()));
    return StatusOk;
}

} // namespace

bool hasComplementaryNeutralScheme(const QUuid &uuid, int pageIndex)
{
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(uuid) < 0)
        return true;
    PreparedStatement statement(registry.connection(uuid), QLatin1String(ComplementaryNeutralCountStatement));
    if (!statement.exec({registry.collectionId(uuid), pageIndex, ComplementaryNeutralScheme})) {
        logQueryError(statement.query());
        return false;
    }
    return statement.query().next() && statement.query().value(0).toLongLong() != 0;
}

int loadSchemePages(const QUuid &uuid, int pageIndex, int schemeId, QList<ColorPage> &pages)
{
    pages.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;

    QVector<int> pageIndexes;
    {
        PreparedStatement statement(registry.connection(uuid), QLatin1String(SchemePagesStatement));
        if (!statement.exec({schemeId, pageIndex, registry.collectionId(uuid)}))
            return StatusQueryFailed;
        while (statement.query().next())
            pageIndexes << statement.query().value(0).toInt();
    }
    for (int schemePageIndex : pageIndexes) {
        ColorPage page;
        if (loadPageByIndex(uuid, schemePageIndex, page) == StatusOk)
            pages.append(page);
    }
    return StatusOk;
}

int loadRowSchemeColors(const QUuid &uuid, int schemeId, int pageIndex, int rowPosition, QVector<ColorEntry> &colors)
{
    colors.clear();
    ColorEntry entry;
    const int status = colorAtPosition(uuid, pageIndex, rowPosition, entry);
    if (status < 0)
        return status;
    if (schemeId == DramaticScheme && !entry.neutral && !entry.white)
        return StatusOk;
    if (schemeId == ComplementaryNeutralScheme && entry.mood != RichMood)
        return StatusOk;

    const qint64 collectionId = CollectionRegistry::instance().collectionId(uuid);
    const QVariantList values{collectionId, collectionId, entry.id, schemeId};
    if (lcDatabase().isDebugEnabled())
        logStatement(QLatin1String(RowSchemeColorsStatement), values);
    return runColorQuery(uuid, RowSchemeColorsStatement, values, colors, OnFailure::Log);
}

int loadPageSchemeColors(const QUuid &uuid, int schemeId, int pageIndex, int rowPosition,
                         QVector<ColorEntry> &colors)
{
    colors.clear();
    ColorEntry entry;
    const int status = colorAtPosition(uuid, pageIndex, rowPosition, entry);
    if (status < 0)
        return status;
    if (schemeId == DramaticScheme && !entry.neutral && !entry.white)
        return StatusOk;
    const qint64 collectionId = CollectionRegistry::instance().collectionId(uuid);
    return runColorQuery(uuid, PageSchemeColorsStatement, {collectionId, collectionId, entry.id, schemeId}, colors,
                         OnFailure::Log);
}

int loadContrastSchemeColors(const QUuid &uuid, int pageIndex, int rowPosition, QVector<ColorEntry> &colors)
{
    colors.clear();
    ColorEntry entry;
    const int status = colorAtPosition(uuid, pageIndex, rowPosition, entry);
    if (status < 0)
        return status;
    const qint64 collectionId = CollectionRegistry::instance().collectionId(uuid);
    return runColorQuery(uuid, ContrastSchemeColorsStatement,
                         {collectionId, WideContrastScheme, ContrastScheme, WideContrastScheme, collectionId, entry.id,
                          ContrastScheme, WideContrastScheme},
                         colors);
}

} // namespace Vantor::DB
