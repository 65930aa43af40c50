// The main widget's search: where the phrase leads (PhraseSearch), the deck shown there,
// and the chip found named in the search field; a phrase that led nowhere stays in the
// field.

#include "MainWidget.h"

#include "engine/PersistentState.h"
#include "engine/colour/ColourValueText.h"
#include "engine/db/NavigationQueries.h"
#include "engine/colour/PhraseSearch.h"
#include "engine/widgets/ColorWheelWidget.h"
#include "engine/widgets/MoodSelectWidget.h"
#include "engine/widgets/SearchWidget.h"

namespace Vantor {

void MainWidget::searchForPhrase(QString phrase)
{
    const PersistentStateBatch batch;
    const PhraseHit hit = findPhrase(lastUsedCollection(), phrase);
    if (!hit.found) {
        if (!phrase.trimmed().isEmpty()) {
            search->showNotFound(phrase);
            emit searchFoundNothing(phrase);
        }
        return;
    }
    if (hit.collection != lastUsedCollection())
        collectionChangedInteractively(hit.collection);
    if (lastUsedCollection() != hit.collection)
        return;
    showSearchHit(hit.pageIndex, hit.rowIndex, hit.segment, hit.mood, hit.exterior);
    // The chip found is named under the deck, where the keyboard now is: Return or
    // Insert collect it, Ctrl+C copies it.
    DB::ColorEntry chip;
    if (hit.rowIndex > 0 && currentDeckChip(chip) && search->hasFocus()) {
        searchFoundChip = chip.id;
        search->showFoundChip(chipCodeAndName(chip));
    }
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
