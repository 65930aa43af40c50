#include "NavigationQueries.h"

#include "CollectionRegistry.h"
#include "SharedTypes.h"
#include "SqlSupport.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>

namespace Vantor::DB {

namespace {

const char *const ColorByIdStatement =
    "SELECT    R.*,    ? AS COLLECTION_ID FROM    \"ROW\" R WHERE     R.ID = ? ";

const char *const ColorAtStatement =
    "SELECT *  FROM \"ROW\" R       JOIN PAGE P ON R.PAGE_ID = P.ID       JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
    " WHERE CMAP.COLLECTION_ID = ? AND        P.PAGE_INDEX = ? AND        R.ROW_INDEX = ? ";

const char *const PageByIndexStatement =
    "SELECT * FROM     PAGE P     LEFT JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE     "
    "CMAP.COLLECTION_ID = ? AND P.PAGE_INDEX = ? ";

// The colours of a card, tagged with the collection they are shown in.
const char *const PageColorsStatement =
    "SELECT     R.*,     ? AS COLLECTION_ID FROM     \"ROW\" R WHERE     R.PAGE_ID = ? ";

const char *const PageByIdStatement =
    " SELECT *  FROM PAGE P       JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID  WHERE CMAP.COLLECTION_ID = ? "
    "       AND P.ID = ? ";

const char *const PageByIdColorsStatement =
    "SELECT * FROM \"ROW\" R  JOIN PAGE P ON R.PAGE_ID = P.ID  JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
    " WHERE CMAP.COLLECTION_ID = ? AND        R.PAGE_ID = ? ";

const char *const FirstPageOfSegmentColorsStatement = "SELECT * FROM \"ROW\" R  WHERE        R.PAGE_ID = ? ";

const char *const SegmentsStatement =
    "SELECT DISTINCT     P.SEGMENT FROM     PAGE P     LEFT JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
    "WHERE     CMAP.COLLECTION_ID = ? ";

const char *const CountExteriorPagesWithMoodStatement =
    " SELECT COUNT(*)  FROM PAGE P       JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
    " WHERE CMAP.COLLECTION_ID = ? AND        P.EXTERIOR = 1 AND        P.MOOD = ? ";

// Colours of every enabled collection of the file.
#define PALETTRA_ENABLED_COLLECTION_COLORS \
    "SELECT * FROM \"ROW\" R      JOIN PAGE P ON R.PAGE_ID = P.ID      JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = " \
    "CMAP.PAGE_ID  WHERE CMAP.COLLECTION_ID IN (SELECT     C.ID FROM     COLLECTION C     JOIN SETTING S ON "     \
    "S.COLLECTION_ID = C.ID WHERE     S.NAME = 'collection.enabled' COLLATE NOCASE AND     S.VALUE != 0 ORDER BY " \
    "    C.\"ORDER\" ASC)"

const char *const ColorByRgbStatement =
    PALETTRA_ENABLED_COLLECTION_COLORS "    AND RED = ?     AND GREEN = ?     AND BLUE = ? ";
const char *const ColorByCodeStatement = PALETTRA_ENABLED_COLLECTION_COLORS "    AND R.CODE = ? COLLATE NOCASE";
#undef PALETTRA_ENABLED_COLLECTION_COLORS

const int AllMoods = 7;
const int OffWhiteMood = 5;
const int NeutralMood = 6;

// Segment stepping: one statement for a select list, a comparison and the filters.
QString segmentSteppingStatement(const char *selectList, const char *comparison, int mood, bool exteriorOnly)
{
    QString statement = QStringLiteral(" SELECT %1 ").arg(QLatin1String(selectList))
        + QStringLiteral(" FROM PAGE P       LEFT JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
                         " WHERE CMAP.COLLECTION_ID = ? AND ")
        + QStringLiteral(" P.SEGMENT %1 ? ").arg(QLatin1String(comparison));
    if (mood == AllMoods)
        statement += QStringLiteral(" AND P.MOOD != %1 AND P.MOOD != %2 ").arg(OffWhiteMood).arg(NeutralMood);
    else
        statement += QStringLiteral(" AND P.MOOD = ? ");
    if (exteriorOnly)
        statement += QStringLiteral(" AND P.EXTERIOR = 1 ");
    statement += QStringLiteral(" ORDER BY P.SEGMENT ASC, P.PAGE_INDEX ASC LIMIT 1 ");
    return statement;
}

// Page stepping. Unlike segment stepping, the exterior filter under all moods does not
// leave out the off-white and neutral cards.
QString pageSteppingStatement(const char *comparison, bool backward, int mood, bool exteriorOnly)
{
    QString statement = QStringLiteral(" SELECT * ")
        + QStringLiteral(" FROM PAGE P       LEFT JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
                         " WHERE CMAP.COLLECTION_ID = ? ")
        + QStringLiteral(" AND P.PAGE_INDEX %1 ? ").arg(QLatin1String(comparison));
    if (mood != AllMoods) {
        statement += QStringLiteral(" AND P.MOOD = ? ");
        if (exteriorOnly)
            statement += QStringLiteral(" AND P.EXTERIOR = 1 ");
    } else if (exteriorOnly) {
        statement += QStringLiteral(" AND P.EXTERIOR = 1 ");
    } else {
        statement += QStringLiteral(" AND P.MOOD != %1 AND P.MOOD != %2 ").arg(OffWhiteMood).arg(NeutralMood);
    }
    statement += backward ? QStringLiteral(" ORDER BY P.PAGE_INDEX DESC LIMIT 1 ")
                          : QStringLiteral(" ORDER BY P.PAGE_INDEX ASC LIMIT 1 ");
    return statement;
}

QVariantList steppingValues(qint64 collectionId, int bound, int mood)
{
    QVariantList values{collectionId, bound};
    if (mood != AllMoods)
        values << mood;
    return values;
}

// Runs the statement and hands back the first row; false when it fails or is empty.
bool firstRow(PreparedStatement &statement, const QVariantList &values, QSqlRecord &record)
{
    if (!statement.exec(values) || !statement.query().next())
        return false;
    record = statement.query().record();
    return true;
}

// The same, read straight into a card.
bool firstPage(PreparedStatement &statement, const QVariantList &values, ColorPage &page)
{
    if (!statement.exec(values) || !statement.query().next())
        return false;
    page.load(statement.row());
    return true;
}

// Appends the colours of a card, then puts them in position order.
void loadRows(const QSqlDatabase &db, const char *statementText, const QVariantList &values, ColorPage &page)
{
    PreparedStatement statement(db, QLatin1String(statementText));
    if (statement.exec(values)) {
        while (statement.query().next())
            page.rows.append(ColorEntry(statement.row()));
    }
    std::sort(page.rows.begin(), page.rows.end(),
              [](const ColorEntry &a, const ColorEntry &b) { return a.rowIndex < b.rowIndex; });
}

// Segment stepping with wrap-around: at or after the segment, else below it.
bool stepToSegment(const QUuid &uuid, const char *selectList, int segment, int mood, bool exteriorOnly,
                   QSqlRecord &record)
{
    auto &registry = CollectionRegistry::instance();
    const QSqlDatabase db = registry.connection(uuid);
    const QVariantList values = steppingValues(registry.collectionId(uuid), segment, mood);
    for (const char *comparison : {">=", "<"}) {
        PreparedStatement statement(db, segmentSteppingStatement(selectList, comparison, mood, exteriorOnly));
        if (firstRow(statement, values, record))
            return true;
    }
    return false;
}

int loadSingleColor(const QSqlDatabase &db, const char *statementText, const QVariantList &values,
                    ColorEntry &entry)
{
    PreparedStatement statement(db, QLatin1String(statementText));
    QSqlRecord record;
    if (!firstRow(statement, values, record))
        return StatusQueryFailed;
    entry.load(record);
    return StatusOk;
}

} // namespace

int loadColorById(const QUuid &uuid, qint64 rowId, ColorEntry &entry)
{
    entry.reset();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    return loadSingleColor(registry.connection(uuid), ColorByIdStatement, {registry.collectionId(uuid), rowId}, entry);
}

int loadColorAt(const QUuid &uuid, int pageIndex, int rowIndex, ColorEntry &entry)
{
    entry.reset();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    return loadSingleColor(registry.connection(uuid), ColorAtStatement,
                           {registry.collectionId(uuid), pageIndex, rowIndex}, entry);
}

int loadPageByIndex(const QUuid &uuid, int pageIndex, ColorPage &page)
{
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    const QSqlDatabase db = registry.connection(uuid);
    const qint64 collectionId = registry.collectionId(uuid);

    ColorPage loaded;
    {
        PreparedStatement statement(db, QLatin1String(PageByIndexStatement));
        if (!statement.exec({collectionId, pageIndex})) {
            const QSqlError error = statement.query().lastError();
            qDebug().noquote() << error.driverText() << error.databaseText();
            return StatusQueryFailed;
        }
        if (!statement.query().next())
            return StatusQueryFailed;
        loaded.load(statement.row());
    }
    loadRows(db, PageColorsStatement, {collectionId, loaded.id}, loaded);
    page = loaded;
    return StatusOk;
}

int loadPageById(const QUuid &uuid, qint64 pageId, bool withoutRows, ColorPage &page)
{
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    const QSqlDatabase db = registry.connection(uuid);
    const qint64 collectionId = registry.collectionId(uuid);

    ColorPage loaded;
    {
        PreparedStatement statement(db, QLatin1String(PageByIdStatement));
        if (!firstPage(statement, {collectionId, pageId}, loaded))
            return StatusQueryFailed;
    }
    if (!withoutRows)
        loadRows(db, PageByIdColorsStatement, {collectionId, pageId}, loaded);
    page = loaded;
    return StatusOk;
}

int loadFirstPageOfSegment(const QUuid &uuid, int segment, int mood, bool exteriorOnly, ColorPage &page)
{
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    QSqlRecord record;
    if (!stepToSegment(uuid, "*", segment, mood, exteriorOnly, record))
        return StatusNothingMatches;
    ColorPage loaded(record);
    loadRows(registry.connection(uuid), FirstPageOfSegmentColorsStatement, {loaded.id}, loaded);
    page = loaded;
    return StatusOk;
}

int loadAdjacentPage(const QUuid &uuid, int pageIndex, bool backward, int mood, bool exteriorOnly, ColorPage &page)
{
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    const QSqlDatabase db = registry.connection(uuid);
    const qint64 collectionId = registry.collectionId(uuid);
    const QVariantList values = steppingValues(collectionId, pageIndex, mood);

    // The nearest card in the direction of travel; else wrap around: the same ordering
    // with the opposite comparison gives the last card going backward and the first
    // going forward. The wrap includes the current card, so that a deck with a single
    // matching card steps onto that same card.
    const char *const comparisons[] = {backward ? "<" : ">", backward ? ">=" : "<="};
    ColorPage loaded;
    bool found = false;
    for (const char *comparison : comparisons) {
        PreparedStatement statement(db, pageSteppingStatement(comparison, backward, mood, exteriorOnly));
        if ((found = firstPage(statement, values, loaded)))
            break;
    }
    if (!found)
        return StatusNothingMatches;
    loadRows(db, PageColorsStatement, {collectionId, loaded.id}, loaded);
    page = loaded;
    return StatusOk;
}

int findSegmentFrom(const QUuid &uuid, int segment, int mood, bool exteriorOnly, int &foundSegment)
{
    foundSegment = segment;
    const int status = CollectionRegistry::instance().openCollection(uuid);
    if (status < 0)
        return status;
    QSqlRecord record;
    if (!stepToSegment(uuid, "SEGMENT", segment, mood, exteriorOnly, record))
        return StatusNothingMatches;
    foundSegment = record.value(0).toInt();
    return StatusOk;
}

int findFirstPageIndexFrom(const QUuid &uuid, int segment, int mood, bool exteriorOnly, int &pageIndex)
{
    pageIndex = -1;
    const int status = CollectionRegistry::instance().openCollection(uuid);
    if (status < 0)
        return status;
    QSqlRecord record;
    if (!stepToSegment(uuid, "PAGE_INDEX", segment, mood, exteriorOnly, record))
        return StatusNothingMatches;
    pageIndex = record.value(0).toInt();
    return StatusOk;
}

int loadSegments(const QUuid &uuid, QVector<int> &segments)
{
    segments.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    PreparedStatement statement(registry.connection(uuid), QLatin1String(SegmentsStatement));
    if (statement.exec({registry.collectionId(uuid)})) {
        while (statement.query().next())
            segments << statement.query().value(0).toInt();
    }
    std::sort(segments.begin(), segments.end());
    return segments.isEmpty() ? StatusQueryFailed : StatusOk;
}

bool hasExteriorPagesWithMood(const QUuid &uuid, int mood)
{
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(uuid) < 0)
        return true;
    PreparedStatement statement(registry.connection(uuid), QLatin1String(CountExteriorPagesWithMoodStatement));
    if (!statement.exec({registry.collectionId(uuid), mood}) || !statement.query().next())
        return false;
    return statement.query().value(0).toLongLong() != 0;
}

int findColorByRgb(const QColor &color, ColorEntry &entry)
{
    entry.reset();
    auto &registry = CollectionRegistry::instance();
    // The file's connection may not be open yet when only collections of other files
    // were shown so far.
    if (registry.openCollection(SystemWideCollectionUuid) < 0)
        return StatusQueryFailed;
    return loadSingleColor(registry.connection(SystemWideCollectionUuid), ColorByRgbStatement,
                           {color.red(), color.green(), color.blue()}, entry);
}

int findColorByCode(const QString &code, ColorEntry &entry)
{
    entry.reset();
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(SystemWideCollectionUuid) < 0)
        return StatusQueryFailed;
    return loadSingleColor(registry.connection(SystemWideCollectionUuid), ColorByCodeStatement, {code}, entry);
}

QStringList cardPaintStatements()
{
    QStringList statements{QLatin1String(PageByIndexStatement), QLatin1String(PageColorsStatement)};
    for (const bool backward : {false, true}) {
        statements << pageSteppingStatement(backward ? "<" : ">", backward, AllMoods, false)
                   << pageSteppingStatement(backward ? ">=" : "<=", backward, AllMoods, false);
    }
    return statements;
}

} // namespace Vantor::DB
