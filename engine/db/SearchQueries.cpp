#include "SearchQueries.h"

#include "CollectionRegistry.h"
#include "CollectionSettings.h"
#include "ForgivingSearch.h"
#include "SqlSupport.h"
#include "TextSort.h"

#include <QMutex>
#include <QSqlError>
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

// The texts the completion statement unites, read column by column: the card names of
// the collection, then the colour names and codes. Empty texts come over as NULL, as
// they never complete anything.
// (The joins are written as the inner joins that the statement's WHERE makes of its
// LEFT JOINs, starting from the collection's cards.)
const char *const PageNameTexts =
    "SELECT %1 FROM COLLECTION_PAGE_MAP CMAP JOIN PAGE P ON P.ID = CMAP.PAGE_ID WHERE CMAP.COLLECTION_ID = ?";
const char *const RowNameTexts =
    "SELECT %1 FROM COLLECTION_PAGE_MAP CMAP JOIN PAGE P ON P.ID = CMAP.PAGE_ID JOIN \"ROW\" R ON R.PAGE_ID = P.ID "
    "WHERE CMAP.COLLECTION_ID = ?";

const char *const SearchStatementWithPages =
    "SELECT     P.SEGMENT AS PAGE_SEGMENT,     P.PAGE_INDEX,     R.ROW_INDEX,     P.MOOD AS PAGE_MOOD,     "
    "P.EXTERIOR AS PAGE_EXTERIOR,     (? IN (%1)) AS IS_PAGE FROM     \"ROW\" R     JOIN PAGE P ON R.PAGE_ID = "
    "P.ID     JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE     CMAP.COLLECTION_ID = ?     AND ? IN "
    "(%2)%3 LIMIT     1 ";
const char *const SearchStatementColorsOnly =
    "SELECT     P.SEGMENT AS PAGE_SEGMENT,     P.PAGE_INDEX,     R.ROW_INDEX,     P.MOOD AS PAGE_MOOD,     "
    "P.EXTERIOR AS PAGE_EXTERIOR,     0 AS IS_PAGE FROM     \"ROW\" R     JOIN PAGE P ON R.PAGE_ID = P.ID     "
    "JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE     CMAP.COLLECTION_ID = ?     AND ? IN (%1)%2 "
    "LIMIT     1 ";

// Beyond this many cards the statement reads the collection as it is.
constexpr int MaximumCardsNamed = 200;

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

// The list the completion statement gives, built from plain reads of the columns: the
// statement's UNION and DISTINCT sort several hundred thousand texts in temporary
// B-trees on a large deck. Its first sub-select is a name column, so texts are compared
// byte for byte (as QString equality does for UTF-8), and an entry counts when it has a
// character other than the blank that SQL's TRIM removes. False, with nothing decided,
// when a read fails or meets a value that is not text; the statement then decides.
bool collectCompletionTexts(const QSqlDatabase &db, qint64 collectionId, const QVector<int> &pagePositions,
                            const QVector<int> &rowPositions, QStringList &completions)
{
    const auto columnList = [](const char *table, const QVector<int> &positions, bool withCode) {
        QStringList columns;
        for (int position : positions)
            columns << QStringLiteral("CASE WHEN %1.NAME%2 <> '' THEN %1.NAME%2 END")
                           .arg(QLatin1String(table))
                           .arg(position);
        if (withCode)
            columns << QStringLiteral("CASE WHEN R.CODE <> '' THEN R.CODE END");
        columns.removeDuplicates();
        return columns.join(QStringLiteral(", "));
    };
    const auto hasText = [](const QString &text) {
        for (const QChar c : text) {
            if (c != QLatin1Char(' '))
                return true;
        }
        return false;
    };

    UniqueTextCollector texts;
    const auto readAll = [&](const QString &statementText) {
        PreparedStatement statement(db, statementText);
        if (!statement.exec({collectionId}))
            return false;
        QSqlQuery &query = statement.query();
        const int columns = query.record().count();
        while (query.next()) {
            for (int column = 0; column < columns; ++column) {
                const QVariant value = query.value(column);
                if (value.isNull())
                    continue;
                if (value.typeId() != QMetaType::QString)
                    return false;
                QString text = value.toString();
                if (hasText(text))
                    texts.add(std::move(text));
            }
        }
        return !query.lastError().isValid();
    };
    if (!pagePositions.isEmpty()
        && !readAll(QString::fromLatin1(PageNameTexts).arg(columnList("P", pagePositions, false))))
        return false;
    if (!readAll(QString::fromLatin1(RowNameTexts).arg(columnList("R", rowPositions, true))))
        return false;

    completions = texts.finish();
    return true;
}

} // namespace

namespace {

int loadCompletionsThrough(const QSqlDatabase &db, qint64 collectionId, const QVector<int> &pagePositions,
                           const QVector<int> &rowPositions, QStringList &completions)
{
    // Without name columns the statement's only sub-select is the code column, whose
    // collation ignores letter case: only the statement itself gives that list.
    if (!pagePositions.isEmpty() || !rowPositions.isEmpty()) {
        if (collectCompletionTexts(db, collectionId, pagePositions, rowPositions, completions))
            return completions.isEmpty() ? StatusQueryFailed : StatusOk;
        completions.clear();
    }

    QStringList parts;
    QVariantList values;
    for (int position : pagePositions) {
        parts << QString::fromLatin1(PageNameEntries).arg(position);
        values << collectionId;
    }
    for (int position : rowPositions) {
        parts << QString::fromLatin1(RowNameEntries).arg(position);
        values << collectionId;
    }
    parts << QString::fromLatin1(CodeEntries);
    values << collectionId;

    PreparedStatement statement(db, QString::fromLatin1(CompletionsStatement).arg(parts.join(QStringLiteral(" UNION "))));
    if (statement.exec(values)) {
        while (statement.query().next())
            completions << statement.query().value(0).toString();
    }
    completions.sort(Qt::CaseSensitive);
    return completions.isEmpty() ? StatusQueryFailed : StatusOk;
}

} // namespace

int loadCompletions(const QUuid &uuid, QStringList &completions)
{
    completions.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    return loadCompletionsThrough(registry.connection(uuid), registry.collectionId(uuid),
                                  columnPositions(pageNameSearchOrder()), columnPositions(rowNameSearchOrder()), completions);
}

namespace {

QString keyOf(const CompletionSource &source)
{
    QString key = source.databasePath + QLatin1Char('\n') + QString::number(source.collectionId) + QLatin1Char('\n')
        + QString::number(source.dataVersion);
    for (int position : source.pagePositions)
        key += QLatin1Char(' ') + QString::number(position);
    key += QLatin1Char('/');
    for (int position : source.rowPositions)
        key += QLatin1Char(' ') + QString::number(position);
    return key;
}

// The lists of the last two collections read: a large deck's list is tens of megabytes.
struct KeptCompletions
{
    QMutex mutex;
    QList<std::pair<QString, QStringList>> lists; // the newest last
};

KeptCompletions &keptLists()
{
    static KeptCompletions kept;
    return kept;
}

} // namespace

bool keptCompletions(const CompletionSource &source, QStringList &completions)
{
    if (source.status < 0 || source.dataVersion < 0)
        return false;
    const QString key = keyOf(source);
    KeptCompletions &kept = keptLists();
    const QMutexLocker locker(&kept.mutex);
    for (const auto &[listKey, list] : std::as_const(kept.lists)) {
        if (listKey == key) {
            completions = list;
            return true;
        }
    }
    return false;
}

CompletionSource completionSource(const QUuid &uuid)
{
    CompletionSource source;
    auto &registry = CollectionRegistry::instance();
    source.status = registry.openCollection(uuid);
    if (source.status < 0)
        return source;
    source.databasePath = registry.collectionLocation(uuid).databasePath;
    source.collectionId = registry.collectionId(uuid);
    source.pagePositions = columnPositions(pageNameSearchOrder());
    source.rowPositions = columnPositions(rowNameSearchOrder());
    source.dataVersion = dataVersion(registry.connection(uuid));
    return source;
}

int loadCompletions(const CompletionSource &source, QStringList &completions)
{
    completions.clear();
    if (source.status < 0)
        return source.status;
    int status = StatusCannotOpen;
    withOwnConnection(source.databasePath, [&](const QSqlDatabase &db) {
        status = loadCompletionsThrough(db, source.collectionId, source.pagePositions, source.rowPositions, completions);
    });
    if (status == StatusOk && source.dataVersion >= 0) {
        KeptCompletions &kept = keptLists();
        const QMutexLocker locker(&kept.mutex);
        const QString key = keyOf(source);
        kept.lists.removeIf([&key](const std::pair<QString, QStringList> &entry) { return entry.first == key; });
        kept.lists.append({key, completions});
        while (kept.lists.size() > 2)
            kept.lists.removeFirst();
    }
    return status;
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

    // On a large deck the statement reads every chip up to the first that matches. The
    // search index knows which cards can match: none, and the answer is known; a few,
    // and the statement reads only those, in the same order (by card id, as it walks
    // the collection's cards), so that it finds the same first chip.
    QVector<qint64> cards;
    QString onlyCards;
    QVariantList cardValues;
    if (exactSearchCards(uuid, folded, cards)) {
        if (cards.isEmpty())
            return StatusNothingMatches;
        if (cards.size() <= MaximumCardsNamed) {
            onlyCards = QStringLiteral("     AND P.ID IN (%1)").arg(QStringList(cards.size(), QStringLiteral("?")).join(QLatin1Char(',')));
            for (qint64 card : std::as_const(cards))
                cardValues << card;
        }
    }

    QString text;
    QVariantList values;
    if (!pageExpressions.isEmpty()) {
        text = QString::fromLatin1(SearchStatementWithPages)
                   .arg(pageExpressions.join(QStringLiteral(", ")), allExpressions.join(QStringLiteral(", ")), onlyCards);
        values = QVariantList{folded, collectionId, folded} + cardValues;
    } else {
        text = QString::fromLatin1(SearchStatementColorsOnly).arg(allExpressions.join(QStringLiteral(", ")), onlyCards);
        values = QVariantList{collectionId, folded} + cardValues;
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
