#pragma once

#include "ColorEntry.h"
#include "ColorPage.h"

#include <QList>
#include <QUuid>
#include <QVector>

namespace Vantor::DB {

// The precomputed colour schemes of a colour or a card. A colour is addressed by its
// card's page index and its 1-based position on the card; a position outside the card
// gives -10. Every operation clears its output first.

// Whether the card has complementary-neutral scheme cards. True when the collection
// cannot be opened, false when the query fails.
bool hasComplementaryNeutralScheme(const QUuid &uuid, int pageIndex);

// The cards that form the scheme with a card, each with its colours; cards that no
// longer load are skipped.
int loadSchemePages(const QUuid &uuid, int pageIndex, int schemeId, QList<ColorPage> &pages);

// The colours that form the scheme with a colour, in scheme order.
int loadRowSchemeColors(const QUuid &uuid, int schemeId, int pageIndex, int rowPosition, QVector<ColorEntry> &colors);

// All colours of the cards that form the scheme with a colour, card by card.
int loadPageSchemeColors(const QUuid &uuid, int schemeId, int pageIndex, int rowPosition,
                         QVector<ColorEntry> &colors);

// The contrast and wide-contrast partners of a colour, merged: wide contrast of the
// first scheme card, contrast of the first, wide contrast of the second, then the rest.
int loadContrastSchemeColors(const QUuid &uuid, int pageIndex, int rowPosition, QVector<ColorEntry> &colors);

} // namespace Vantor::DB
