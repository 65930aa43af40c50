#include "SpellingSearch.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace Vantor::DB {

namespace {

// Letters that no decomposition takes apart.
QString writtenOut(char32_t letter)
{
    switch (letter) {
    case U'æ': return QStringLiteral("ae");
    case U'œ': return QStringLiteral("oe");
    case U'ø': return QStringLiteral("o");
    case U'đ': return QStringLiteral("d");
    case U'ł': return QStringLiteral("l");
    case U'ð': return QStringLiteral("d");
    case U'þ': return QStringLiteral("th");
    case U'ı': return QStringLiteral("i");
    default: return QString();
    }
}

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 128; });
}

} // namespace

QString spellingText(const QString &text)
{
    // Ligatures and accented letters come apart (compatibility decomposition); the
    // accents then go with the other marks.
    const QString decomposed = isAscii(text) ? text.toLower() : text.normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString spelled;
    spelled.reserve(decomposed.size());
    QString word;
    auto endWord = [&] {
        if (word.isEmpty())
            return;
        if (word == QLatin1String("gray"))
            word = QStringLiteral("grey");
        else if (word == QLatin1String("color"))
            word = QStringLiteral("colour");
        if (!spelled.isEmpty())
            spelled += QLatin1Char(' ');
        spelled += word;
        word.clear();
    };
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        char32_t codePoint = decomposed.at(i).unicode();
        if (decomposed.at(i).isHighSurrogate() && i + 1 < decomposed.size() && decomposed.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(decomposed.at(i), decomposed.at(i + 1));
            ++i;
        }
        const QChar::Category category = QChar::category(codePoint);
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining || category == QChar::Mark_Enclosing)
            continue;
        if (!QChar::isLetterOrNumber(codePoint)) {
            endWord();
            continue;
        }
        const QString out = writtenOut(codePoint);
        if (out.isEmpty())
            word += QStringView(QChar::fromUcs4(codePoint));
        else
            word += out;
    }
    endWord();
    return spelled;
}

int spellingTolerance(qsizetype letters)
{
    return letters < 4 ? 0 : letters < 7 ? 1 : 2;
}

int spellingDistance(QStringView first, QStringView second, int limit)
{
    const qsizetype n = first.size();
    const qsizetype m = second.size();
    if (std::abs(n - m) > limit)
        return limit + 1;
    // Three rows of the table (the swap of neighbours looks two rows back), on the stack
    // for the words of names and codes: the search compares hundreds of thousands.
    constexpr qsizetype Short = 48;
    std::array<int, 3 * (Short + 1)> rows;
    std::vector<int> longRows;
    int *base = rows.data();
    if (m > Short) {
        longRows.resize(size_t(3 * (m + 1)));
        base = longRows.data();
    }
    int *older = base;
    int *previous = base + (m + 1);
    int *current = base + 2 * (m + 1);
    for (qsizetype j = 0; j <= m; ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = int(i);
        int rowBest = current[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = first[i - 1] == second[j - 1] ? 0 : 1;
            int value = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && first[i - 1] == second[j - 2] && first[i - 2] == second[j - 1])
                value = std::min(value, older[j - 2] + 1);
            current[j] = value;
            rowBest = std::min(rowBest, value);
        }
        if (rowBest > limit)
            return limit + 1;
        int *oldest = older;
        older = previous;
        previous = current;
        current = oldest;
    }
    return std::min(previous[m], limit + 1);
}

QVector<QStringView> spellingWords(QStringView text)
{
    QVector<QStringView> words;
    for (QStringView word : text.tokenize(QLatin1Char(' '), Qt::SkipEmptyParts))
        words << word;
    return words;
}

int spellingCost(const QVector<QStringView> &typed, QStringView entry, bool &whole)
{
    whole = false;
    int cost = 0;
    const QChar *at = entry.data();
    const QChar *const end = at + entry.size();
    for (const QStringView &word : typed) {
        if (at > end)
            return -1;
        // The entry's next word ends at a blank; the search weighs every entry of every
        // collection, so the words are found by hand.
        const QChar *wordEnd = at;
        while (wordEnd < end && *wordEnd != QLatin1Char(' '))
            ++wordEnd;
        const int tolerance = spellingTolerance(word.size());
        if (std::abs(qsizetype(wordEnd - at) - word.size()) > tolerance)
            return -1;
        const int distance = spellingDistance(word, QStringView(at, wordEnd - at), tolerance);
        if (distance > tolerance)
            return -1;
        cost += distance;
        at = wordEnd + 1;
    }
    whole = at >= end;
    return cost;
}

} // namespace Vantor::DB
