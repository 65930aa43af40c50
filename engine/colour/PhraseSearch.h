#pragma once

// The whole search behind the search field, for the window and for palettra-db alike:
// first the exact name or code of the shown collection; where that finds nothing, a
// colour value's nearest chip of that collection, then the forgiving search across the
// collections (letter case and punctuation set aside, beginnings, inner parts, words in
// any order), a bare hex value, and last the search that forgives spelling.

#include <QString>
#include <QUuid>

namespace Vantor {

struct PhraseHit
{
    bool found = false;
    QUuid collection; // where it leads: the shown collection, or another
    int pageIndex = -1;
    int rowIndex = -1; // -1: the card itself
    int segment = -1;
    int mood = 0;
    bool exterior = false;
};

// Where `phrase` leads from `collection`, the collection shown. An empty phrase leads
// nowhere.
PhraseHit findPhrase(const QUuid &collection, const QString &phrase);

} // namespace Vantor
