#pragma once

// The search field's second chance, where the exact search finds nothing: codes and
// searchable names compared with letter case, blanks and punctuation ignored, then names
// that start with or contain what was typed, best first.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVector>

#include <utility>

namespace Vantor::DB {

// A text reduced to what the forgiving search compares: case folded, letters and digits
// only ("OT 1042" and "ot-1042" give "ot1042").
QString forgivingSearchKey(const QString &text);

enum class ForgivingMatch { Exact, Prefix, Contained, Words, Spelling, None };

struct ForgivingHit
{
    ForgivingMatch match = ForgivingMatch::None;
    QUuid collection;
    int pageIndex = -1;
    int rowIndex = -1; // -1: the text names the card itself
    QString text;      // the code or name that matched
};

// The best hit among the collections (in the order given): an exact match before one
// that starts with the phrase before one that contains it, before one that holds the
// typed words in another order (each the start of a word of its own); among equals the
// earlier collection, then the earlier card and chip of the deck. Codes and the card and colour
// names of the search orders take part. None when nothing matches or the phrase holds no
// letter or digit.
// `last`: the last kind of match tried (Exact, Prefix, Contained or Words).
ForgivingHit forgivingSearch(const QList<QUuid> &collections, const QString &phrase,
                             ForgivingMatch last = ForgivingMatch::Words);

// The last chance, where the forgiving search finds nothing: the entry whose words are
// nearest the typed ones with accents, ligatures and grey/gray, colour/color set aside
// and small slips forgiven (see SpellingSearch.h); lowest cost first, a text that ends
// where the typing does before a longer one, then collection and deck order. The
// picker's own copied line finds its chip. None when nothing is near enough.
ForgivingHit spellingSearch(const QList<QUuid> &collections, const QString &phrase);

// Up to `count` distinct texts of the collection in the same order, for the completion
// list.
QStringList forgivingCompletions(const QUuid &collection, const QString &phrase, int count);

// Of keys in deck order and their entry numbers sorted by key: the entries, in key order,
// whose key equals `key` or starts with it (a half-open range of `sorted`).
std::pair<int, int> keyRange(const QVector<QString> &keys, const QVector<int> &sorted, const QString &key);
// The first `count` entries in deck order whose key equals `key`, then the first `count`
// whose key is longer and starts with it: where the completion list begins.
QVector<int> leadingCompletionEntries(const QVector<QString> &keys, const QVector<int> &sorted, const QString &key, int count);

// The cards (by id, ascending) that hold a card name, colour name or code of the search
// orders equal to the phrase, compared as the exact search's statement compares them
// (`foldedPhrase` upper-cased, the stored text with its ASCII letters upper-cased).
// False when the index cannot tell: the statement must decide.
bool exactSearchCards(const QUuid &collection, const QString &foldedPhrase, QVector<qint64> &cards);

// Builds the collection's search index on a thread of its own, through a read-only
// connection of its own, so that the first search or completion after a collection is
// shown finds it ready (or waits only for the rest of it). The index is the one a search
// would build.
void prepareForgivingSearch(const QUuid &collection);

} // namespace Vantor::DB
