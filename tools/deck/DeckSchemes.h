#pragma once

// Precomputed colour schemes of a laid-out collection, chosen by hue relations on the
// colour wheel and CIEDE2000 nearness, in the forms the collection's "mode.card" uses.

#include "DeckLayout.h"

#include <QVector>

namespace Palettra::Deck {

// A colour's scheme colour (ROW_SCHEME_MAP); indices into the layout's colours.
struct RowSchemeEntry
{
    int colour = 0;
    int scheme = 0;
    int partner = 0;
    int pageOrder = 0;
    int rowOrder = 0;
};

// A colour's scheme card (ROW_TO_PAGE_SCHEME); `card` indexes the layout's cards.
struct RowToPageEntry
{
    int colour = 0;
    int scheme = 0;
    int card = 0;
    int order = 0;
};

// A card's scheme card (PAGE_SCHEME).
struct PageSchemeEntry
{
    int card = 0;
    int scheme = 0;
    int schemeCard = 0;
    int order = 0;
};

struct CollectionSchemes
{
    QVector<RowSchemeEntry> rowSchemes;
    QVector<RowToPageEntry> rowToPage;
    QVector<PageSchemeEntry> pageSchemes;
};

// The scheme ids (1 to 9) stored for the words of a "schemes" setting: the neutral
// button stands for its three forms.
QVector<int> schemeIdsForWords(const QStringList &words);

// cardMode: 1 colour to colour, 2 colour to card, 3 card to card.
CollectionSchemes deriveSchemes(const CollectionLayout &layout, const QVector<int> &schemeIds, int cardMode);

// The pulvex schemer's partners: per colour one wide-contrast partner on each side and
// one contrast partner (wide contrast at page orders 0 and 1, contrast at page order 0).
QVector<RowSchemeEntry> deriveContrastPartners(const CollectionLayout &layout);

} // namespace Palettra::Deck
