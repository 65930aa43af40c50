// The main widget's search: the exact search of a name or code, and where it finds
// nothing, a colour value's nearest chip, then the forgiving search across the
// collections, then the one that forgives spelling; the search field shows a phrase
// that led nowhere.

#include "MainWidget.h"

#include "engine/PersistentState.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/ForgivingSearch.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"
#include "engine/palette/ColourValueText.h"
#include "engine/widgets/ColorWheelWidget.h"
#include "engine/widgets/MoodSelectWidget.h"
#include "engine/widgets/SearchWidget.h"

namespace Vantor {

void MainWidget::searchForPhrase(QString phrase)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    int page = -1, row = -1, segment = -1, mood = 0;
    bool exterior = false;
    if (DB::searchPhrase(collection, phrase, page, row, segment, mood, exterior) == DB::StatusOk) {
        showSearchHit(page, row, segment, mood, exterior);
        return;
    }
    if (phrase.trimmed().isEmpty())
        return;
    // Nothing carries exactly that name or code: a colour value goes to the nearest chip
    // of this collection; anything else to the best forgiving match in any collection.
    LabColour lab;
    if (parseColourValue(phrase, lab)) {
        // The collection's CIELAB table is read at the first such search and kept with
        // the file's connection.
        QVector<DB::LabCandidate> table;
        DB::loadLabColors(collection, table);
        const QVector<ColourMatch> nearest = nearestColours(lab, table, 1);
        DB::ColorEntry chip;
        DB::ColorPage card;
        if (!nearest.isEmpty() && DB::loadColorById(collection, nearest.first().second, chip) == DB::StatusOk
            && DB::loadPageById(collection, chip.pageId, true, card) == DB::StatusOk) {
            showSearchHit(card.pageIndex, chip.rowIndex, card.segment, card.mood, card.exterior);
            return;
        }
    }
    // A colour value that is wrong ("#12", "rgb(300, 0, 0)") is no name either.
    const QList<QUuid> collections = DB::CollectionRegistry::instance().orderedCollectionUuids();
    DB::ForgivingHit hit = looksLikeColourValue(phrase) ? DB::ForgivingHit() : DB::forgivingSearch(collections, phrase);
    // Then spelling forgiven: accents, grey or gray, slips of the fingers.
    if (hit.match == DB::ForgivingMatch::None && !looksLikeColourValue(phrase))
        hit = DB::spellingSearch(collections, phrase);
    if (hit.match == DB::ForgivingMatch::None) {
        search->showNotFound(phrase);
        emit searchFoundNothing(phrase);
        return;
    }
    if (hit.collection != collection)
        collectionChangedInteractively(hit.collection);
    if (lastUsedCollection() != hit.collection)
        return;
    DB::ColorPage card;
    if (DB::loadPageByIndex(hit.collection, hit.pageIndex, card) != DB::StatusOk)
        return;
    showSearchHit(card.pageIndex, hit.rowIndex, card.segment, card.mood, card.exterior);
}

void MainWidget::showSearchHit(int page, int row, int segment, int mood, bool exterior)
{
    const QUuid collection = lastUsedCollection();
    bool wheelChanged = false;
    bool moodChanged = false;
    bool cardChanged = false;
    if (segment > 0 && segment != segmentIndex(collection)) {
        setSegmentIndex(collection, segment);
        wheelChanged = true;
    }
    if (!exterior && exteriorColors(collection)) {
        setExteriorColors(collection, false);
        moodChanged = true;
    }
    const int storedMood = moodFilter(collection);
    if (mood == MoodOffWhite || mood == MoodNeutral) {
        if (mood != storedMood) {
            setMoodFilter(collection, mood);
            moodChanged = true;
        }
    } else if (storedMood != MoodAll && mood != storedMood) {
        setMoodFilter(collection, MoodAll);
        moodChanged = true;
    }
    if (page > 0 && page != pageIndex(collection)) {
        setPageIndex(collection, page);
        cardChanged = true;
    }
    if (row > 0 && row != rowIndex(collection)) {
        setRowIndex(collection, row);
        cardChanged = true;
    }
    if (wheelChanged)
        colorWheel->update();
    if (moodChanged)
        moodSelect->update();
    if (cardChanged)
        refreshCardDependants(TexturesSlot::PageChanged);
}

} // namespace Vantor
