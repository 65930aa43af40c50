#include "ForgivingSearch.h"

#include "CollectionRegistry.h"
#include "CollectionSettings.h"
#include "SpellingSearch.h"
#include "SqlSupport.h"
#include "TextSort.h"

#include <QHash>
#include <QMutex>
#include <QSqlDatabase>
#include <QThreadPool>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <future>
#include <limits>
#include <memory>

namespace Vantor::DB {

namespace {

const char *const EntriesStatement =
    "SELECT P.PAGE_INDEX, R.ROW_INDEX, P.ID, R.CODE%1%2 FROM COLLECTION_PAGE_MAP CMAP JOIN PAGE P ON P.ID = CMAP.PAGE_ID "
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
    // Each entry's text as the spelling search reads it, all in one text (entry i from
    // spelledStarts[i] to spelledStarts[i + 1]): the search reads every one of them, and
    // reads them fastest one after another in memory.
    QString spelled;
    QVector<qsizetype> spelledStarts;
    QVector<int> sorted;   // entry numbers by key
    QString joined;        // the keys, each followed by a separator no key holds
    QVector<qsizetype> starts;
    // For the exact search: the searched texts as the database folds them (ASCII letters
    // only), each with the cards, by id, that hold it on a chip or as their name. Only
    // when every searched value is a well-formed text, which folds here as it does there.
    QHash<QString, QVector<qint64>> exactCards;
    bool exactUsable = true;
    qint64 dataVersion = -1; // of the file as the collection's connection saw it

    // Entry numbers whose key equals the phrase, or starts with it.
    std::pair<int, int> range(const QString &key) const
    {
        return keyRange(keys, sorted, key);
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

// What building a collection's index takes, gathered where the registry lives.
struct IndexSource
{
    QString key; // the cache's: the file, the collection and the search orders
    QString databasePath;
    qint64 collectionId = -1;
    QVector<int> rowNames;
    QVector<int> pageNames;
    qint64 dataVersion = -1;
};

IndexSource indexSource(const QUuid &uuid)
{
    IndexSource source;
    const CollectionLocation location = CollectionRegistry::instance().collectionLocation(uuid);
    source.key = location.databasePath + QLatin1Char('\n') + QString::number(location.id);
    for (int position : rowNameSearchOrder())
        source.key += QLatin1Char(' ') + QString::number(position);
    source.key += QLatin1Char('/');
    for (int position : pageNameSearchOrder())
        source.key += QLatin1Char(' ') + QString::number(position);
    source.databasePath = location.databasePath;
    source.collectionId = location.id;
    source.rowNames = searchPositions(rowNameSearchOrder());
    source.pageNames = searchPositions(pageNameSearchOrder());
    source.dataVersion = dataVersion(CollectionRegistry::instance().connection(uuid));
    return source;
}

std::shared_ptr<const SearchIndex> buildIndex(const QSqlDatabase &db, const IndexSource &source)
{
    auto index = std::make_shared<SearchIndex>();
    index->dataVersion = source.dataVersion;
    const QVector<int> &rowNames = source.rowNames;
    const QVector<int> &pageNames = source.pageNames;
    QString rowColumns, pageColumns;
    for (int position : rowNames)
        rowColumns += QStringLiteral(", R.NAME%1").arg(position);
    for (int position : pageNames)
        pageColumns += QStringLiteral(", P.NAME%1").arg(position);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QString::fromLatin1(EntriesStatement).arg(rowColumns, pageColumns)))
        return index;
    query.addBindValue(source.collectionId);
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
        index->spelledStarts.append(index->spelled.size());
        index->spelled += spellingText(text);
    };
    auto addExact = [&index](qint64 card, const QVariant &value) {
        if (value.isNull())
            return;
        if (value.typeId() != QMetaType::QString) {
            index->exactUsable = false;
            return;
        }
        const QString text = value.toString();
        if (text.contains(QChar::ReplacementCharacter)) {
            index->exactUsable = false;
            return;
        }
        QVector<qint64> &cards = index->exactCards[sqliteAsciiUpper(text)];
        if (cards.isEmpty() || cards.constLast() != card)
            cards.append(card);
    };
    int lastPage = -1;
    const int firstRowName = 4;
    const int firstPageName = firstRowName + int(rowNames.size());
    while (query.next()) {
        const int page = query.value(0).toInt();
        const int row = query.value(1).toInt();
        const qint64 card = query.value(2).toLongLong();
        if (page != lastPage) {
            for (int i = 0; i < pageNames.size(); ++i)
                add(page, -1, query.value(firstPageName + i).toString());
            lastPage = page;
        }
        add(page, row, query.value(3).toString());
        for (int i = 0; i < rowNames.size(); ++i)
            add(page, row, query.value(firstRowName + i).toString());
        for (int i = 0; i < pageNames.size(); ++i)
            addExact(card, query.value(firstPageName + i));
        addExact(card, query.value(3));
        for (int i = 0; i < rowNames.size(); ++i)
            addExact(card, query.value(firstRowName + i));
    }
    if (!query.lastError().isValid()) {
        for (QVector<qint64> &cards : index->exactCards)
            std::sort(cards.begin(), cards.end());
    } else {
        index->exactUsable = false;
    }
    index->spelledStarts.append(index->spelled.size());
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

// Built at the first search in a collection, or ahead of it on a thread of its own, and
// kept: the files are only read. A change of the search orders (another collection
// shown) builds anew.
struct IndexCache
{
    QMutex mutex;
    QHash<QString, std::shared_ptr<const SearchIndex>> built;
    QHash<QString, std::shared_future<std::shared_ptr<const SearchIndex>>> building;
};

IndexCache &indexCache()
{
    static IndexCache cache;
    return cache;
}

std::shared_ptr<const SearchIndex> indexOf(const QUuid &uuid)
{
    if (CollectionRegistry::instance().openCollection(uuid) < 0)
        return std::make_shared<SearchIndex>();
    const IndexSource source = indexSource(uuid);
    IndexCache &cache = indexCache();
    std::shared_future<std::shared_ptr<const SearchIndex>> pending;
    {
        const QMutexLocker locker(&cache.mutex);
        const auto found = cache.built.constFind(source.key);
        if (found != cache.built.constEnd() && (*found)->dataVersion == source.dataVersion)
            return *found;
        pending = cache.building.value(source.key);
    }
    // Being built ahead: what is left of that is less than building it again.
    if (pending.valid()) {
        std::shared_ptr<const SearchIndex> ahead = pending.get();
        if (ahead->dataVersion == source.dataVersion)
            return ahead;
    }
    std::shared_ptr<const SearchIndex> built = buildIndex(CollectionRegistry::instance().connection(uuid), source);
    const QMutexLocker locker(&cache.mutex);
    if (!built->entries.isEmpty())
        cache.built.insert(source.key, built);
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

ForgivingHit hitOf(ForgivingMatch match, const QUuid &collection, const SearchIndex::Entry &found)
{
    return ForgivingHit{match, collection, found.pageIndex, found.rowIndex, found.text};
}

// The first entry (in deck order) of which every typed word starts a word of its own, in
// any order ("seafoam studio" finds "Studio Seafoam"); -1 for none. The entries are
// found where the rarest typed word occurs: a word every name holds ("colour") would
// have every entry weighed.
int entryWithWords(const SearchIndex &index, const QVector<QStringView> &typed)
{
    const QStringView spelled(index.spelled);
    // Where each word occurs, up to as often as the rarest so far: the rarest's places are
    // the candidates.
    QVector<qsizetype> candidates;
    QStringView rarest;
    for (QStringView word : typed) {
        QVector<qsizetype> places;
        for (qsizetype at = spelled.indexOf(word); at >= 0 && (rarest.isNull() || places.size() < candidates.size());
             at = spelled.indexOf(word, at + 1))
            places << at;
        if (rarest.isNull() || places.size() < candidates.size()) {
            candidates = places;
            rarest = word;
        }
    }
    for (qsizetype at : std::as_const(candidates)) {
        const int entry = int(std::upper_bound(index.spelledStarts.begin(), index.spelledStarts.end(), at)
                              - index.spelledStarts.begin()) - 1;
        if (entry < 0 || entry + 1 >= index.spelledStarts.size())
            break;
        const qsizetype from = index.spelledStarts.at(entry);
        const qsizetype to = index.spelledStarts.at(entry + 1);
        if ((at != from && spelled.at(at - 1) != QLatin1Char(' ')) || at + rarest.size() > to)
            continue;
        QVector<QStringView> words = spellingWords(spelled.mid(from, to - from));
        bool all = words.size() >= typed.size();
        for (qsizetype t = 0; all && t < typed.size(); ++t) {
            const auto match = std::find_if(words.begin(), words.end(), [&](QStringView word) { return word.startsWith(typed.at(t)); });
            all = match != words.end();
            if (all)
                words.erase(match);
        }
        if (all)
            return entry;
    }
    return -1;
}

} // namespace

std::pair<int, int> keyRange(const QVector<QString> &keys, const QVector<int> &sorted, const QString &key)
{
    const auto lower = std::lower_bound(sorted.begin(), sorted.end(), key,
                                        [&keys](int entry, const QString &value) { return keys.at(entry) < value; });
    // The keys that start with the phrase follow one another in key order.
    const auto upper = std::partition_point(lower, sorted.end(), [&](int entry) { return keys.at(entry).startsWith(key); });
    return {int(lower - sorted.begin()), int(upper - sorted.begin())};
}

QVector<int> leadingCompletionEntries(const QVector<QString> &keys, const QVector<int> &sorted, const QString &key, int count)
{
    QVector<int> leading;
    if (count <= 0)
        return leading;
    const auto [from, to] = keyRange(keys, sorted, key);
    // The phrase itself sorts first among the keys that start with it.
    const int exactEnd = int(std::partition_point(sorted.begin() + from, sorted.begin() + to,
                                                  [&](int entry) { return keys.at(entry).size() == key.size(); })
                             - sorted.begin());
    auto firstByDeckOrder = [&](int begin, int end) {
        QVector<int> group(sorted.begin() + begin, sorted.begin() + end);
        const auto middle = group.begin() + std::min<qsizetype>(group.size(), count);
        std::partial_sort(group.begin(), middle, group.end());
        leading.append(QVector<int>(group.begin(), middle));
    };
    firstByDeckOrder(from, exactEnd);
    // A short phrase starts most keys of a large deck ("g" every code "G 1234"): its first
    // entries in deck order are then found sooner by walking the deck than by sorting
    // them all, at every keystroke.
    const int longer = to - exactEnd;
    if (longer <= 4 * count + 64) {
        firstByDeckOrder(exactEnd, to);
        return leading;
    }
    int found = 0;
    for (int entry = 0; entry < keys.size() && found < count; ++entry) {
        const QString &candidate = keys.at(entry);
        if (candidate.size() > key.size() && candidate.startsWith(key)) {
            leading << entry;
            ++found;
        }
    }
    return leading;
}

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

ForgivingHit forgivingSearch(const QList<QUuid> &collections, const QString &phrase, ForgivingMatch last)
{
    const QString key = forgivingSearchKey(phrase);
    if (key.isEmpty())
        return {};
    QVector<std::shared_ptr<const SearchIndex>> indexes;
    for (const QUuid &collection : collections)
        indexes << indexOf(collection);
    for (ForgivingMatch kind : {ForgivingMatch::Exact, ForgivingMatch::Prefix, ForgivingMatch::Contained}) {
        if (int(kind) > int(last))
            return {};
        for (int c = 0; c < indexes.size(); ++c) {
            if (const int entry = bestEntry(*indexes.at(c), key, kind); entry >= 0)
                return hitOf(kind, collections.at(c), indexes.at(c)->entries.at(entry));
        }
    }
    // Then words typed in another order than the name's, each the start of one of its words.
    const QString typedText = spellingText(phrase);
    const QVector<QStringView> typed = spellingWords(typedText);
    if (typed.size() < 2 || int(last) < int(ForgivingMatch::Words))
        return {};
    for (int c = 0; c < indexes.size(); ++c) {
        if (const int entry = entryWithWords(*indexes.at(c), typed); entry >= 0)
            return hitOf(ForgivingMatch::Words, collections.at(c), indexes.at(c)->entries.at(entry));
    }
    return {};
}

ForgivingHit spellingSearch(const QList<QUuid> &collections, const QString &phrase)
{
    ForgivingHit hit;
    // The picker's own copied line ("OT 1042 Studio Seafoam — #56BDC6 — …") names the
    // chip before its first dash: its code, then its name.
    const qsizetype dash = phrase.indexOf(QChar(0x2014));
    const bool copiedLine = dash > 0;
    const QString typedText = spellingText(copiedLine ? phrase.left(dash) : phrase);
    const QVector<QStringView> allTyped = spellingWords(typedText);
    if (allTyped.isEmpty())
        return hit;
    QVector<std::shared_ptr<const SearchIndex>> indexes;
    for (const QUuid &collection : collections)
        indexes << indexOf(collection);
    // Of a copied line, the longest run of its first words that names something (the
    // code alone, where the name is another one's).
    for (qsizetype count = allTyped.size(); count >= (copiedLine ? 1 : allTyped.size()); --count) {
        const QVector<QStringView> typed = allTyped.mid(0, count);
        int bestCost = -1;
        bool bestWhole = false;
        for (int c = 0; c < indexes.size(); ++c) {
            const SearchIndex &index = *indexes.at(c);
            const QStringView spelled(index.spelled);
            for (int entry = 0; entry + 1 < index.spelledStarts.size(); ++entry) {
                const qsizetype from = index.spelledStarts.at(entry);
                bool whole = false;
                const int cost = spellingCost(typed, spelled.mid(from, index.spelledStarts.at(entry + 1) - from), whole);
                // Lower cost first, then a text that ends where the typing does; among
                // equals the earlier collection and the earlier card and chip.
                if (cost < 0 || (bestCost >= 0 && (cost > bestCost || (cost == bestCost && (bestWhole || !whole)))))
                    continue;
                bestCost = cost;
                bestWhole = whole;
                hit = hitOf(ForgivingMatch::Spelling, collections.at(c), index.entries.at(entry));
                if (cost == 0 && whole)
                    return hit;
            }
        }
        if (bestCost >= 0)
            return hit;
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
    for (int entry : leadingCompletionEntries(index->keys, index->sorted, key, count)) {
        if (take(entry))
            return texts;
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

bool exactSearchCards(const QUuid &collection, const QString &foldedPhrase, QVector<qint64> &cards)
{
    cards.clear();
    const std::shared_ptr<const SearchIndex> index = indexOf(collection);
    if (index->entries.isEmpty() || !index->exactUsable)
        return false;
    cards = index->exactCards.value(foldedPhrase);
    return true;
}

void prepareForgivingSearch(const QUuid &collection)
{
    if (CollectionRegistry::instance().openCollection(collection) < 0)
        return;
    const IndexSource source = indexSource(collection);
    IndexCache &cache = indexCache();
    auto promise = std::make_shared<std::promise<std::shared_ptr<const SearchIndex>>>();
    {
        const QMutexLocker locker(&cache.mutex);
        const auto found = cache.built.constFind(source.key);
        if ((found != cache.built.constEnd() && (*found)->dataVersion == source.dataVersion)
            || cache.building.contains(source.key))
            return;
        cache.building.insert(source.key, promise->get_future().share());
    }
    backgroundReads().start([source, promise] {
        std::shared_ptr<const SearchIndex> built = std::make_shared<SearchIndex>();
        withOwnConnection(source.databasePath, [&](const QSqlDatabase &db) { built = buildIndex(db, source); });
        IndexCache &cache = indexCache();
        {
            const QMutexLocker locker(&cache.mutex);
            if (!built->entries.isEmpty())
                cache.built.insert(source.key, built);
            cache.building.remove(source.key);
        }
        promise->set_value(built);
    });
}

} // namespace Vantor::DB
