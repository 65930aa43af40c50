#include "TextSort.h"

#include <algorithm>
#include <iterator>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace Vantor::DB {

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

// Sorts the keys, by radix or, when a text holds the unit 0, by whole-text comparison.
void sortKeys(TextKey *keys, qsizetype count, bool holdsZeroUnit)
{
    if (holdsZeroUnit)
        std::sort(keys, keys + count, [](const TextKey &a, const TextKey &b) { return *a.text < *b.text; });
    else
        radixQuicksort(keys, count, 0);
}

// Below this many texts a second thread costs more than it saves.
constexpr qsizetype ParallelSortThreshold = 32768;

// Appends the text unless it equals the last one appended.
inline void appendUnique(QStringList &sorted, QString &text)
{
    if (sorted.isEmpty() || sorted.constLast() != text)
        sorted.append(std::move(text));
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

    // A large list is sorted in two halves at once, on two processor cores, and the
    // halves are merged as the repeats are dropped. The halves only read the texts and
    // each moves keys of its own.
    const qsizetype count = qsizetype(keys.size());
    qsizetype half = count;
    if (count >= ParallelSortThreshold && std::thread::hardware_concurrency() > 1) {
        half = count / 2;
        try {
            std::thread second(sortKeys, keys.data() + half, count - half, holdsZeroUnit);
            sortKeys(keys.data(), half, holdsZeroUnit);
            second.join();
        } catch (const std::system_error &) {
            // No thread to be had: the whole list in this one.
            half = count;
        }
    }
    if (half == count)
        sortKeys(keys.data(), count, holdsZeroUnit);

    QStringList sorted;
    sorted.reserve(texts.size());
    const TextKey *a = keys.data(), *const aEnd = keys.data() + half;
    const TextKey *b = aEnd, *const bEnd = keys.data() + count;
    while (a != aEnd && b != bEnd)
        appendUnique(sorted, *(*b->text < *a->text ? b++ : a++)->text);
    for (; a != aEnd; ++a)
        appendUnique(sorted, *a->text);
    for (; b != bEnd; ++b)
        appendUnique(sorted, *b->text);
    texts.clear();
    return sorted;
}

} // namespace Vantor::DB
