#include "PhraseSearch.h"

#include "ColourValueText.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/ForgivingSearch.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"

namespace Vantor {

namespace {

PhraseHit hitOnCard(const QUuid &collection, const DB::ColorPage &card, int rowIndex)
{
    PhraseHit hit;
    hit.found = true;
    hit.collection = collection;
    hit.pageIndex = card.pageIndex;
    hit.rowIndex = rowIndex;
    hit.segment = card.segment;
    hit.mood = card.mood;
    hit.exterior = card.exterior;
    return hit;
}

// The chip of `collection` nearest the colour; the collection's CIELAB table is read at
// the first such search and kept with the file's connection.
PhraseHit nearestChip(const QUuid &collection, const LabColour &lab)
{
    QVector<DB::LabCandidate> table;
    DB::loadLabColors(collection, table);
    const QVector<ColourMatch> nearest = nearestColours(lab, table, 1);
    DB::ColorEntry chip;
    DB::ColorPage card;
    if (nearest.isEmpty() || DB::loadColorById(collection, nearest.first().second, chip) != DB::StatusOk
        || DB::loadPageById(collection, chip.pageId, true, card) != DB::StatusOk)
        return PhraseHit();
    return hitOnCard(collection, card, chip.rowIndex);
}

PhraseHit forgivenHit(const DB::ForgivingHit &found)
{
    DB::ColorPage card;
    if (found.match == DB::ForgivingMatch::None || DB::loadPageByIndex(found.collection, found.pageIndex, card) != DB::StatusOk)
        return PhraseHit();
    return hitOnCard(found.collection, card, found.rowIndex);
}

} // namespace

PhraseHit findPhrase(const QUuid &collection, const QString &phrase)
{
    PhraseHit hit;
    if (DB::searchPhrase(collection, phrase, hit.pageIndex, hit.rowIndex, hit.segment, hit.mood, hit.exterior) == DB::StatusOk) {
        hit.found = true;
        hit.collection = collection;
        return hit;
    }
    if (phrase.trimmed().isEmpty())
        return PhraseHit();
    LabColour lab;
    if (parseColourValue(phrase, lab))
        return nearestChip(collection, lab);
    // A colour value that is wrong ("#12", "rgb(300, 0, 0)") is no name either.
    if (looksLikeColourValue(phrase))
        return PhraseHit();
    const QList<QUuid> collections = DB::CollectionRegistry::instance().orderedCollectionUuids();
    // Hex digits without their "#", as some tools copy them, unless a code or name is or
    // starts with them.
    if (parseBareHexColour(phrase, lab)) {
        const PhraseHit named = forgivenHit(DB::forgivingSearch(collections, phrase, DB::ForgivingMatch::Prefix));
        return named.found ? named : nearestChip(collection, lab);
    }
    if (const PhraseHit forgiven = forgivenHit(DB::forgivingSearch(collections, phrase)); forgiven.found)
        return forgiven;
    // Then spelling forgiven: accents, grey or gray, slips of the fingers.
    return forgivenHit(DB::spellingSearch(collections, phrase));
}

} // namespace Vantor
