#pragma once

// The search field's last chance, after the exact, colour-value and forgiving searches:
// names and codes read with accents, ligatures and the two spellings of "grey" and
// "colour" set aside, and small typing slips forgiven.

#include <QString>
#include <QStringView>
#include <QVector>

namespace Vantor::DB {

// A text as the spelling search reads it: case folded, accents dropped, ligatures
// written out, "gray" read as "grey" and "color" as "colour"; its words (letters and
// digits) joined by single spaces.
QString spellingText(const QString &text);

// The slips forgiven in a typed word of so many letters: none below 4, one up to 6, two
// from 7 (a moved letter, as in "fuschia", is two).
int spellingTolerance(qsizetype letters);

// The optimal string alignment distance of two words (insertions, deletions,
// substitutions and swaps of neighbours), or limit + 1 when it is above limit.
int spellingDistance(QStringView first, QStringView second, int limit);

// How far an entry's spelling text is from the typed words, word by word: the sum of
// the words' distances, or -1 where a word is beyond its tolerance or the entry has
// fewer words. `whole`: the entry has no more words than were typed.
int spellingCost(const QVector<QStringView> &typed, QStringView entry, bool &whole);

// The typed text's words, as views into it.
QVector<QStringView> spellingWords(QStringView text);

} // namespace Vantor::DB
