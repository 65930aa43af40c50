#include "TextSort.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace Vantor::DB {

QString sqliteAsciiUpper(const QString &text)
{
    QString folded = text;
    for (QChar &c : folded) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return folded;
}

namespace {

// Code units per chunk, 16 bits each, 0 past the end of the text, so that a text sorts
// before every longer text it begins. Texts holding the unit 0 itself are sorted by
// whole-text comparison instead (see sortedUniqueTexts).
constexpr qsizetype UnitsPerChunk = 4;
constexpr int BitsPerUnit = 16;

// Kept small, as the partitions stream the keys through memory again at every level.
struct TextKey
{
    quint64 chunk; // the units from the current depth on
    QString *text;
};

inline quint64 chunkAt(const TextKey &key, qsizetype depth)
{
    const QChar *units = key.text->constData();
    const qsizetype size = key.text->size();
    quint64 chunk = 0;
    for (qsizetype i = depth; i < depth + UnitsPerChunk; ++i)
        chunk = (chunk << BitsPerUnit) | (i < size ? quint64(units[i].unicode()) : 0);
    return chunk;
}

// True when the chunk reaches past the end of its text.
inline bool chunkEndsText(quint64 chunk)
{
    return (chunk & ((quint64(1) << BitsPerUnit) - 1)) == 0;
}

// Whole-text comparison from a depth on, for the short runs the radix pass leaves.
inline bool lessFrom(const TextKey &a, const TextKey &b, qsizetype depth)
{
    const QStringView first = QStringView(*a.text).mid(std::min(depth, a.text->size()));
    const QStringView second = QStringView(*b.text).mid(std::min(depth, b.text->size()));
    return first.compare(second) < 0;
}

void insertionSort(TextKey *keys, qsizetype count, qsizetype depth)
{
    for (qsizetype i = 1; i < count; ++i) {
        TextKey moving = keys[i];
        qsizetype j = i;
        while (j > 0 && lessFrom(moving, keys[j - 1], depth)) {
            keys[j] = keys[j - 1];
            --j;
        }
        keys[j] = moving;
    }
}

// Beyond this many units of common beginning, a run is sorted by whole-text comparison:
// it keeps the recursion shallow for texts that share very long beginnings.
constexpr qsizetype MaxRadixDepth = 48;

// Sorts keys whose chunks hold the units from `depth` on.
void radixQuicksort(TextKey *keys, qsizetype count, qsizetype depth)
{
    // Each pass splits the run in three; the largest part is sorted by the loop and the
    // other two by recursion, so the recursion stays logarithmic in the count (plus at
    // most MaxRadixDepth / UnitsPerChunk levels of common beginnings).
    while (count > 1) {
        if (count < 16) {
            insertionSort(keys, count, depth);
            return;
        }
        if (depth > MaxRadixDepth) {
            std::sort(keys, keys + count,
                      [depth](const TextKey &a, const TextKey &b) { return lessFrom(a, b, depth); });
            return;
        }
        const quint64 first = keys[0].chunk;
        const quint64 middle = keys[count / 2].chunk;
        const quint64 last = keys[count - 1].chunk;
        const quint64 pivot = std::max(std::min(first, middle), std::min(std::max(first, middle), last));

        // Dutch-flag partition: [0, lower) below, [lower, upper) equal, [upper, count) above.
        qsizetype lower = 0, i = 0, upper = count;
        while (i < upper) {
            const quint64 chunk = keys[i].chunk;
            if (chunk < pivot)
                std::swap(keys[lower++], keys[i++]);
            else if (chunk > pivot)
                std::swap(keys[i], keys[--upper]);
            else
                ++i;
        }

        // Texts that end within the pivot's chunk are all equal: that part is done.
        // The others go on with their next units.
        qsizetype equalCount = upper - lower;
        if (chunkEndsText(pivot)) {
            equalCount = 0;
        } else {
            for (qsizetype k = lower; k < upper; ++k)
                keys[k].chunk = chunkAt(keys[k], depth + UnitsPerChunk);
        }

        struct Part
        {
            TextKey *keys;
            qsizetype count;
            qsizetype depth;
        };
        Part parts[3] = {{keys, lower, depth},
                         {keys + lower, equalCount, depth + UnitsPerChunk},
                         {keys + upper, count - upper, depth}};
        std::sort(std::begin(parts), std::end(parts), [](const Part &a, const Part &b) { return a.count < b.count; });
        radixQuicksort(parts[0].keys, parts[0].count, parts[0].depth);
        radixQuicksort(parts[1].keys, parts[1].count, parts[1].depth);
        keys = parts[2].keys;
        count = parts[2].count;
        depth = parts[2].depth;
    }
}

// Merges two lists that are each sorted and hold each text once into one such list.
QStringList mergedUnique(QStringList &first, QStringList &second)
{
    QStringList merged;
    merged.reserve(first.size() + second.size());
    QString *a = first.data(), *const aEnd = a + first.size();
    QString *b = second.data(), *const bEnd = b + second.size();
    while (a != aEnd && b != bEnd) {
        const int order = a->compare(*b, Qt::CaseSensitive);
        if (order <= 0) {
            merged.append(std::move(*a++));
            b += order == 0; // the same text in both: kept once
        } else {
            merged.append(std::move(*b++));
        }
    }
    for (; a != aEnd; ++a)
        merged.append(std::move(*a));
    for (; b != bEnd; ++b)
        merged.append(std::move(*b));
    first.clear();
    second.clear();
    return merged;
}

} // namespace

QStringList sortedUniqueTexts(QStringList &texts)
{
    std::vector<TextKey> keys;
    keys.reserve(std::size_t(texts.size()));
    bool holdsZeroUnit = false;
    QString *const first = texts.data();
    for (QString *text = first; text != first + texts.size(); ++text) {
        TextKey key{0, text};
        key.chunk = chunkAt(key, 0);
        keys.push_back(key);
        holdsZeroUnit = holdsZeroUnit || text->contains(QChar(0));
    }
    if (holdsZeroUnit)
        std::sort(keys.begin(), keys.end(), [](const TextKey &a, const TextKey &b) { return *a.text < *b.text; });
    else
        radixQuicksort(keys.data(), qsizetype(keys.size()), 0);

    QStringList sorted;
    sorted.reserve(texts.size());
    for (const TextKey &key : keys) {
        QString &text = *key.text;
        if (sorted.isEmpty() || sorted.constLast() != text)
            sorted.append(std::move(text));
    }
    texts.clear();
    return sorted;
}

// The runs sorted so far, each with its level: a run of level n holds the texts of 2^n
// batches. Two runs of one level are merged at once, so that every text is merged about
// log2(batches) times, as in a merge sort.
struct UniqueTextCollector::Runs
{
    std::vector<std::pair<int, QStringList>> runs;

    void add(QStringList sorted)
    {
        int level = 0;
        while (!runs.empty() && runs.back().first == level) {
            sorted = mergedUnique(runs.back().second, sorted);
            runs.pop_back();
            ++level;
        }
        runs.emplace_back(level, std::move(sorted));
    }

    // Everything in one run, the smaller runs merged first.
    QStringList all()
    {
        QStringList merged;
        while (!runs.empty()) {
            merged = mergedUnique(runs.back().second, merged);
            runs.pop_back();
        }
        return merged;
    }
};

// What the sorting thread and the collecting one share.
struct UniqueTextCollector::Worker
{
    std::mutex mutex;
    std::condition_variable batchReady;
    std::deque<QStringList> batches;
    bool noMoreBatches = false;
    Runs runs; // the sorting thread's alone until it has been joined
    std::thread thread;

    void sortBatches()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            batchReady.wait(lock, [this] { return !batches.empty() || noMoreBatches; });
            if (batches.empty())
                return;
            QStringList batch = std::move(batches.front());
            batches.pop_front();
            lock.unlock();
            runs.add(sortedUniqueTexts(batch));
            lock.lock();
        }
    }
};

UniqueTextCollector::UniqueTextCollector()
    : m_ownRuns(std::make_unique<Runs>())
{
}

UniqueTextCollector::~UniqueTextCollector()
{
    stopWorker();
}

void UniqueTextCollector::add(QString text)
{
    if (m_batch.isEmpty())
        m_batch.reserve(BatchSize);
    m_batch.append(std::move(text));
    if (m_batch.size() < BatchSize)
        return;
    if (!m_worker) {
        try {
            auto worker = std::make_unique<Worker>();
            worker->thread = std::thread(&Worker::sortBatches, worker.get());
            m_worker = std::move(worker);
        } catch (const std::system_error &) {
            // No thread to be had: the batches are sorted here.
            m_ownRuns->add(sortedUniqueTexts(m_batch));
            return;
        }
    }
    {
        const std::lock_guard<std::mutex> lock(m_worker->mutex);
        m_worker->batches.push_back(std::move(m_batch));
    }
    m_batch = QStringList();
    m_worker->batchReady.notify_one();
}

QStringList UniqueTextCollector::finish()
{
    // The last, partial batch is sorted here while the other thread finishes its own.
    QStringList last = sortedUniqueTexts(m_batch);
    m_batch = QStringList();
    stopWorker();
    m_ownRuns->add(std::move(last));
    return m_ownRuns->all();
}

void UniqueTextCollector::stopWorker()
{
    if (!m_worker)
        return;
    {
        const std::lock_guard<std::mutex> lock(m_worker->mutex);
        m_worker->noMoreBatches = true;
    }
    m_worker->batchReady.notify_one();
    m_worker->thread.join();
    // The other thread's runs join this one's.
    for (auto &run : m_worker->runs.runs)
        m_ownRuns->runs.push_back(std::move(run));
    m_worker.reset();
}

} // namespace Vantor::DB
