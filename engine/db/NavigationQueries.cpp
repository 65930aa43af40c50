#include "NavigationQueries.h"

#include "CollectionRegistry.h"
#include "SharedTypes.h"
#include "SqlSupport.h"

#include <QHash>
#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>
#include <memory>
#include <optional>

namespace Vantor::DB {

namespace {

const char *const ColorByIdStatement =
    "SELECT    R.*,    ? AS COLLECTION_ID FROM    \"ROW\" R WHERE     R.ID = ? ";

const char *const ColorAtStatement =
    "SELECT *  FROM \"ROW\" R       JOIN PAGE P ON R.PAGE_ID = P.ID       JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID "
    " WHERE CMAP.COLLECTION_ID = ? AND        P.PAGE_INDEX = ? AND        R.ROW_INDEX = ? ";

// The card roller runs the card and colour statements below at every paint, so they
// name only the columns the records read, and hand an empty text over as NULL: the
// driver turns every text into UTF-16, and most name and extra columns are empty. The
// records read NULL in a text column as the empty string, so they come out as with
// "SELECT *". A file whose tables lack one of the columns falls back to the plain
// statements (see cardStatement).
// Empty texts are tested with CASE rather than NULLIF, which SQLite runs as a function
// call for every value. Plain columns are named as expressions ("+P.ID AS ID", the
// unary plus is a no-op on any value): the driver looks up the table and declared type
// of every table column of a result at every run, and skips that for expressions.
// One text column, NULL when empty; one plain column as an expression.
#define PALETTRA_TEXT(T, C) "CASE WHEN " T "." C " <> '' THEN " T "." C " END AS " C
#define PALETTRA_PLAIN(T, C) "+" T "." C " AS " C
#define PALETTRA_NUMBERED_TEXTS(T)                                                                                 \
    PALETTRA_TEXT(T, "NAME0") ", " PALETTRA_TEXT(T, "NAME1") ", " PALETTRA_TEXT(T, "NAME2") ", "                   \
    PALETTRA_TEXT(T, "NAME3") ", " PALETTRA_TEXT(T, "NAME4") ", " PALETTRA_TEXT(T, "NAME5") ", "                   \
    PALETTRA_TEXT(T, "NAME6") ", " PALETTRA_TEXT(T, "NAME7") ", " PALETTRA_TEXT(T, "NAME8") ", "                   \
    PALETTRA_TEXT(T, "NAME9") ", " PALETTRA_TEXT(T, "EXTRA0") ", " PALETTRA_TEXT(T, "EXTRA1") ", "                 \
    PALETTRA_TEXT(T, "EXTRA2") ", " PALETTRA_TEXT(T, "EXTRA3") ", " PALETTRA_TEXT(T, "EXTRA4") ", "                \
    PALETTRA_TEXT(T, "EXTRA5") ", " PALETTRA_TEXT(T, "EXTRA6") ", " PALETTRA_TEXT(T, "EXTRA7") ", "                \
    PALETTRA_TEXT(T, "EXTRA8") ", " PALETTRA_TEXT(T, "EXTRA9")
#define PALETTRA_PAGE_COLUMNS                                                                                      \
    PALETTRA_PLAIN("P", "ID") ", " PALETTRA_PLAIN("P", "PAGE_INDEX") ", " PALETTRA_PLAIN("P", "SEGMENT") ", "      \
    PALETTRA_PLAIN("P", "EXTERIOR") ", " PALETTRA_PLAIN("P", "MOOD") ", " PALETTRA_NUMBERED_TEXTS("P")
#define PALETTRA_ROW_COLUMNS                                                                                       \
    PALETTRA_PLAIN("R", "ID") ", " PALETTRA_PLAIN("R", "COLLECTION_ID") ", " PALETTRA_PLAIN("R", "PAGE_ID") ", "   \
    PALETTRA_PLAIN("R", "CODE") ", " PALETTRA_PLAIN("R", "SEGMENT") ", " PALETTRA_PLAIN("R", "ROW_INDEX") ", "     \
    PALETTRA_PLAIN("R", "RED") ", " PALETTRA_PLAIN("R", "GREEN") ", " PALETTRA_PLAIN("R", "BLUE") ", "             \
    PALETTRA_PLAIN("R", "L") ", " PALETTRA_PLAIN("R", "A") ", " PALETTRA_PLAIN("R", "B") ", "                      \
    PALETTRA_PLAIN("R", "IS_MTO") ", " PALETTRA_PLAIN("R", "NEUTRAL") ", " PALETTRA_PLAIN("R", "WHITE") ", "       \
    PALETTRA_PLAIN("R", "MOOD") ", " PALETTRA_PLAIN("R", "SCHEME_POS") ", " PALETTRA_PLAIN("R", "NSCHEME_POS") ", " \
    PALETTRA_NUMBERED_TEXTS("R")

const char *const PageByIndexStatement =
    "SELECT * FROM     PAGE P     LEFT JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE     "
    "CMAP.COLLECTION_ID = ? AND P.PAGE_INDEX = ? ";
const char *const NarrowPageByIndexStatement =
    "SELECT " PALETTRA_PAGE_COLUMNS " FROM     PAGE P     LEFT JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = "
    "CMAP.PAGE_ID WHERE     CMAP.COLLECTION_ID = ? AND P.PAGE_INDEX = ? ";

// The colours of a card, tagged with the collection they are shown in.
const char *const PageColorsStatement =
    "SELECT     R.*,     ? AS COLLECTION_ID FROM     \"ROW\" R WHERE     R.PAGE_ID = ? ";
const char *const NarrowPageColorsStatement =
    "SELECT " PALETTRA_ROW_COLUMNS ",     ? AS COLLECTION_ID FROM     \"ROW\" R WHERE     R.PAGE_ID = ? ";

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
QString pageSteppingStatement(const char *selectList, const char *comparison, bool backward, int mood,
                              bool exteriorOnly)
{
    QString statement = QStringLiteral(" SELECT %1 ").arg(QLatin1String(selectList))
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

// What is kept of a collection is kept under its file and its number there: a UUID may
// name a collection of another file after the registry looks elsewhere.
QString keptKey(const QSqlDatabase &db, qint64 collectionId)
{
    return db.databaseName() + QLatin1Char('\n') + QString::number(collectionId);
}

// Where a step off the end of a collection's deck leads, as the file stood.
struct WrapKey
{
    QString collection; // the file and the collection's number in it
    int bound = 0;
    bool backward = false;
    int mood = 0;
    bool exteriorOnly = false;
    qint64 dataVersion = -1;
    bool operator==(const WrapKey &other) const
    {
        return collection == other.collection && bound == other.bound && backward == other.backward && mood == other.mood
            && exteriorOnly == other.exteriorOnly && dataVersion == other.dataVersion;
    }
};

size_t qHash(const WrapKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.collection, key.bound, key.backward, key.mood, key.exteriorOnly, key.dataVersion);
}

QHash<WrapKey, std::optional<ColorPage>> &keptWraps()
{
    static QHash<WrapKey, std::optional<ColorPage>> kept;
    return kept;
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

// The narrow form of a card statement, or its plain form where the file's tables lack
// a column the narrow one names.
std::unique_ptr<PreparedStatement> cardStatement(const QSqlDatabase &db, const QString &narrow, const QString &plain)
{
    auto statement = std::make_unique<PreparedStatement>(db, narrow);
    if (!statement->isPrepared())
        statement = std::make_unique<PreparedStatement>(db, plain);
    return statement;
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
void loadRows(PreparedStatement &statement, const QVariantList &values, ColorPage &page)
{
    if (statement.exec(values)) {
        while (statement.query().next())
            page.rows.append(ColorEntry(statement.row()));
    }
    std::sort(page.rows.begin(), page.rows.end(),
              [](const ColorEntry &a, const ColorEntry &b) { return a.rowIndex < b.rowIndex; });
}

void loadRows(const QSqlDatabase &db, const char *statementText, const QVariantList &values, ColorPage &page)
{
    PreparedStatement statement(db, QLatin1String(statementText));
    loadRows(statement, values, page);
}

// The colours of a card shown in a collection, by the card's id.
void loadCardColours(const QSqlDatabase &db, qint64 collectionId, ColorPage &page)
{
    const auto statement = cardStatement(db, QLatin1String(NarrowPageColorsStatement), QLatin1String(PageColorsStatement));
    loadRows(*statement, {collectionId, page.id}, page);
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
        const auto narrow = cardStatement(db, QLatin1String(NarrowPageByIndexStatement),
                                          QLatin1String(PageByIndexStatement));
        PreparedStatement &statement = *narrow;
        if (!statement.exec({collectionId, pageIndex})) {
            logQueryError(statement.query());
            return StatusQueryFailed;
        }
        if (!statement.query().next())
            return StatusQueryFailed;
        loaded.load(statement.row());
    }
    loadCardColours(db, collectionId, loaded);
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
        const bool wrapping = comparison == comparisons[1];
        // Wrapping walks the file's cards by index from the far end until one of this
        // collection's: past every card of a large collection that shares the file with
        // a small one. The panels paint the cards beside the current one at every
        // repaint, so the answer is kept while the file is unchanged.
        WrapKey key;
        if (wrapping) {
            key = {keptKey(db, collectionId), pageIndex, backward, mood, exteriorOnly, dataVersion(db)};
            if (const auto kept = keptWraps().constFind(key); kept != keptWraps().constEnd() && key.dataVersion >= 0) {
                found = kept->has_value();
                if (found)
                    loaded = **kept;
                break;
            }
        }
        const auto statement =
            cardStatement(db, pageSteppingStatement(PALETTRA_PAGE_COLUMNS, comparison, backward, mood, exteriorOnly),
                          pageSteppingStatement("*", comparison, backward, mood, exteriorOnly));
        found = firstPage(*statement, values, loaded);
        if (wrapping && key.dataVersion >= 0 && statement->query().lastError().type() == QSqlError::NoError) {
            if (keptWraps().size() >= 256)
                keptWraps().clear();
            keptWraps().insert(key, found ? std::optional<ColorPage>(loaded) : std::nullopt);
        }
        if (found)
            break;
    }
    if (!found)
        return StatusNothingMatches;
    loadCardColours(db, collectionId, loaded);
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
    // The statement visits every card of the collection (some 15,000 at 100,000 colours)
    // for two dozen numbers, and every collection switch asks: the answer is kept for
    // each collection while its file is unchanged.
    struct KeptSegments
    {
        qint64 dataVersion = -1;
        QVector<int> segments;
    };
    static QHash<QString, KeptSegments> kept;
    const QSqlDatabase db = registry.connection(uuid);
    const QString key = keptKey(db, registry.collectionId(uuid));
    const qint64 version = dataVersion(db);
    const auto found = kept.constFind(key);
    if (version >= 0 && found != kept.constEnd() && found->dataVersion == version) {
        segments = found->segments;
        return StatusOk;
    }
    PreparedStatement statement(db, QLatin1String(SegmentsStatement));
    if (statement.exec({registry.collectionId(uuid)})) {
        while (statement.query().next())
            segments << statement.query().value(0).toInt();
    }
    std::sort(segments.begin(), segments.end());
    if (segments.isEmpty()) {
        kept.remove(key);
        return StatusQueryFailed;
    }
    if (version >= 0)
        kept.insert(key, {version, segments});
    return StatusOk;
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

QStringList cardPaintStatements(CardStatementForm form)
{
    const bool narrow = form == CardStatementForm::Narrow;
    QStringList statements{QLatin1String(narrow ? NarrowPageByIndexStatement : PageByIndexStatement),
                           QLatin1String(narrow ? NarrowPageColorsStatement : PageColorsStatement)};
    const char *const selectList = narrow ? PALETTRA_PAGE_COLUMNS : "*";
    for (const bool backward : {false, true}) {
        statements << pageSteppingStatement(selectList, backward ? "<" : ">", backward, AllMoods, false)
                   << pageSteppingStatement(selectList, backward ? ">=" : "<=", backward, AllMoods, false);
    }
    return statements;
}

} // namespace Vantor::DB
