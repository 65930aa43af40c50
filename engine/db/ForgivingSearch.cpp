#include "ForgivingSearch.h"

#include "CollectionRegistry.h"
#include "CollectionSettings.h"
#include "SqlSupport.h"

#include <QHash>
#include <QMutex>
#include <QSqlQuery>

#include <algorithm>
#include <memory>

namespace Vantor::DB {

namespace {

const char *const EntriesStatement =
    "SELECT P.PAGE_INDEX, R.ROW_INDEX, R.CODE%1%2 FROM COLLECTION_PAGE_MAP CMAP JOIN PAGE P ON P.ID = CMAP.PAGE_ID "
    "JOIN \"ROW\" R ON R.PAGE_ID = P.ID WHERE CMAP.COLLECTION_ID = ? ORDER BY P.PAGE_INDEX, R.ROW_INDEX";

// Every searchable text of a collection in deck order: per card its own names, then its
// chips by position, each chip's code before its names. The keys are kept three ways:
// in order, sorted (for exact and prefix matches by binary search) and joined into one
// text (for "contains" by one pass).
struct SearchIndex
{
    struct Entry
    {
        int pageIndex;
        int rowIndex;
        QString text;
    };
    QVector<Entry> entries;
    QVector<QString> keys;
    QVector<int> sorted;   // entry numbers by key
    QString joined;        // the keys, each followed by a separator no key holds
    QVector<qsizetype> starts;

    // Entry numbers whose key equals the phrase, or starts with it.
    std::pair<int, int> range(const QString &key) const
    {
        const auto lower = std::lower_bound(sorted.begin(), sorted.end(), key,
                                            [this](int entry, const QString &value) { return keys.at(entry) < value; });
        auto upper = lower;
        while (upper != sorted.end() && keys.at(*upper).startsWith(key))
            ++upper;
        return {int(lower - sorted.begin()), int(upper - sorted.begin())};
    }
    int entryAt(qsizetype offset) const
    {
        return int(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
    }
};

const QChar Separator(0x0001);

QVector<int> searchPositions(const QVector<int> &order)
{
    QVector<int> positions;
    for (int position : order) {
        if (position >= 0 && position <= 9 && !positions.contains(position))
            positions << position;
    }
    return positions;
}

std::shared_ptr<const SearchIndex> buildIndex(const QUuid &uuid)
{
    auto index = std::make_shared<SearchIndex>();
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(uuid) < 0)
        return index;
    const QVector<int> rowNames = searchPositions(rowNameSearchOrder());
    const QVector<int> pageNames = searchPositions(pageNameSearchOrder());
    QString rowColumns, pageColumns;
    for (int position : rowNames)
        rowColumns += QStringLiteral(", R.NAME%1").arg(position);
    for (int position : pageNames)
        pageColumns += QStringLiteral(", P.NAME%1").arg(position);
    QSqlQuery query(registry.connection(uuid));
    query.setForwardOnly(true);
    if (!query.prepare(QString::fromLatin1(EntriesStatement).arg(rowColumns, pageColumns)))
        return index;
    query.addBindValue(registry.collectionId(uuid));
    if (!query.exec()) {
        logQueryError(query);
        return index;
    }
    auto add = [&index](int page, int row, const QString &text) {
        const QString key = forgivingSearchKey(text);
        if (key.isEmpty())
            return;
        index->entries.append({page, row, text.trimmed()});
        index->keys.append(key);
    };
    int lastPage = -1;
    const int firstRowName = 3;
    const int firstPageName = firstRowName + int(rowNames.size());
    while (query.next()) {
        const int page = query.value(0).toInt();
        const int row = query.value(1).toInt();
        if (page != lastPage) {
            for (int i = 0; i < pageNames.size(); ++i)
                add(page, -1, query.value(firstPageName + i).toString());
            lastPage = page;
        }
        add(page, row, query.value(2).toString());
        for (int i = 0; i < rowNames.size(); ++i)
            add(page, row, query.value(firstRowName + i).toString());
    }
    index->sorted.resize(index->keys.size());
    for (int i = 0; i < index->sorted.size(); ++i)
        index->sorted[i] = i;
    std::stable_sort(index->sorted.begin(), index->sorted.end(),
                     [&index](int a, int b) { return index->keys.at(a) < index->keys.at(b); });
    index->starts.reserve(index->keys.size());
    for (const QString &key : std::as_const(index->keys)) {
        index->starts.append(index->joined.size());
        index->joined += key;
        index->joined += Separator;
    }
    return index;
}

// Built at the first search in a collection and kept with its connection: the files
// are only read. A change of the search orders (another collection shown) builds anew.
std::shared_ptr<const SearchIndex> indexOf(const QUuid &uuid)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const SearchIndex>> indexes;
    const CollectionLocation location = CollectionRegistry::instance().collectionLocation(uuid);
    QString key = location.databasePath + QLatin1Char('\n') + QString::number(location.id);
    for (int position : rowNameSearchOrder())
        key += QLatin1Char(' ') + QString::number(position);
    key += QLatin1Char('/');
    for (int position : pageNameSearchOrder())
        key += QLatin1Char(' ') + QString::number(position);
    {
        const QMutexLocker locker(&mutex);
        const auto found = indexes.constFind(key);
        if (found != indexes.constEnd())
            return *found;
    }
    std::shared_ptr<const SearchIndex> built = buildIndex(uuid);
    const QMutexLocker locker(&mutex);
    if (!built->entries.isEmpty())
        indexes.insert(key, built);
    return built;
}

// The best entry of one kind in one index, -1 for none.
int bestEntry(const SearchIndex &index, const QString &key, ForgivingMatch kind)
{
    if (kind == ForgivingMatch::Contained) {
        const qsizetype at = QStringView(index.joined).indexOf(key);
        return at < 0 ? -1 : index.entryAt(at);
    }
    const auto [from, to] = index.range(key);
    int best = -1;
    for (int i = from; i < to; ++i) {
        const int entry = index.sorted.at(i);
        if (kind == ForgivingMatch::Exact && index.keys.at(entry) != key)
            break; // equal keys come first in the range
        if (best < 0 || entry < best)
            best = entry;
    }
    return best;
}

} // namespace

QString forgivingSearchKey(const QString &text)
{
    QString key;
    key.reserve(text.size());
    const QString folded = text.toCaseFolded();
    for (qsizetype i = 0; i < folded.size(); ++i) {
        char32_t codePoint = folded.at(i).unicode();
        if (folded.at(i).isHighSurrogate() && i + 1 < folded.size() && folded.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(folded.at(i), folded.at(i + 1));
            ++i;
        }
        if (QChar::isLetterOrNumber(codePoint))
            key += QStringView(QChar::fromUcs4(codePoint));
    }
    return key;
}

ForgivingHit forgivingSearch(const QList<QUuid> &collections, const QString &phrase)
{
    ForgivingHit hit;
    const QString key = forgivingSearchKey(phrase);
    if (key.isEmpty())
        return hit;
    QVector<std::shared_ptr<const SearchIndex>> indexes;
    for (const QUuid &collection : collections)
        indexes << indexOf(collection);
    for (ForgivingMatch kind : {ForgivingMatch::Exact, ForgivingMatch::Prefix, ForgivingMatch::Contained}) {
        for (int c = 0; c < indexes.size(); ++c) {
            const int entry = bestEntry(*indexes.at(c), key, kind);
            if (entry < 0)
                continue;
            const SearchIndex::Entry &found = indexes.at(c)->entries.at(entry);
            hit.match = kind;
            hit.collection = collections.at(c);
            hit.pageIndex = found.pageIndex;
            hit.rowIndex = found.rowIndex;
            hit.text = found.text;
            return hit;
        }
    }
    return hit;
}

QStringList forgivingCompletions(const QUuid &collection, const QString &phrase, int count)
{
    QStringList texts;
    const QString key = forgivingSearchKey(phrase);
    if (key.isEmpty() || count <= 0)
        return texts;
    const std::shared_ptr<const SearchIndex> index = indexOf(collection);
    auto take = [&texts, count, &index](int entry) {
        const QString &text = index->entries.at(entry).text;
        if (!texts.contains(text))
            texts << text;
        return texts.size() >= count;
    };
    // Exact and prefix matches by deck order: the first entries of the sorted range.
    const auto [from, to] = index->range(key);
    QVector<int> exact, prefix;
    for (int i = from; i < to; ++i) {
        const int entry = index->sorted.at(i);
        (index->keys.at(entry) == key ? exact : prefix) << entry;
    }
    for (QVector<int> *group : {&exact, &prefix}) {
        const auto middle = group->begin() + std::min<qsizetype>(group->size(), count);
        std::partial_sort(group->begin(), middle, group->end());
        for (auto it = group->begin(); it != middle; ++it) {
            if (take(*it))
                return texts;
        }
    }
    // Then the keys that hold the phrase further in, in deck order.
    QStringView joined(index->joined);
    for (qsizetype at = joined.indexOf(key); at >= 0; at = joined.indexOf(key, at + 1)) {
        const int entry = index->entryAt(at);
        if (index->starts.at(entry) != at && take(entry))
            return texts;
        at = index->starts.value(entry + 1, joined.size()) - 1;
    }
    return texts;
}

} // namespace Vantor::DB
