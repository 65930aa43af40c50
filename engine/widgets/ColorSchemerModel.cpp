#include "ColorSchemerModel.h"

#include "engine/db/LogCategories.h"

#include "ColorSchemerLayout.h"
#include "SchemeKinds.h"
#include "engine/PersistentState.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SchemeQueries.h"
#include "engine/colour/ColourDifference.h"


#include <algorithm>

namespace Vantor {

QUuid ColorSchemerModel::schemeCollectionFor(const QUuid &collection)
{
    if (CollectionSettings::hasColorSchemesPage(collection))
        return collection;
    for (const QUuid &other : DB::CollectionRegistry::instance().orderedCollectionUuids()) {
        if (CollectionSettings::hasColorSchemesPage(other))
            return other;
    }
    return QUuid();
}

void ColorSchemerModel::setUp(const QUuid &collection)
{
    m_schemeCollection = schemeCollectionFor(collection);
    m_key = SchemeKey();
    m_built = false;
    m_cells.clear();
    m_complementaryAvailable = false;
    m_carriedOver.clear();
    // The buttons are the current collection's, also where it borrows another's schemes;
    // a collection without a list of its own shows none.
    m_kinds = CollectionSettings::schemes(collection);
}

SchemeKey ColorSchemerModel::storedKey()
{
    const QUuid current = lastUsedCollection();
    SchemeKey key;
    key.collection = current;
    key.kind = schemeKind(current);
    key.neutralSubKind = schemeNeutralSubKind(current);
    key.pageIndex = pageIndex(current);
    key.rowIndex = rowIndex(current);
    if (m_schemeCollection.isNull() || current == m_schemeCollection)
        return key;

    const QString source = QStringLiteral("%1/%2/%3").arg(current.toString()).arg(key.pageIndex).arg(key.rowIndex);
    auto known = m_carriedOver.constFind(source);
    if (known == m_carriedOver.constEnd()) {
        CarriedOver landing;
        DB::ColorEntry colour;
        QVector<DB::LabCandidate> candidates;
        DB::ColorEntry nearest;
        DB::ColorPage card;
        if (DB::loadColorAt(current, key.pageIndex, key.rowIndex, colour) == DB::StatusOk
            && DB::loadLabColors(m_schemeCollection, candidates) == DB::StatusOk) {
            const QVector<ColourMatch> matches = nearestColours(labFromColour(colour.color()), candidates, 1);
            if (!matches.isEmpty() && DB::loadColorById(m_schemeCollection, matches.first().second, nearest) == DB::StatusOk
                && DB::loadPageById(m_schemeCollection, nearest.pageId, true, card) == DB::StatusOk) {
                landing = {true, card.pageIndex, nearest.rowIndex};
            }
        }
        if (!landing.found)
            qCDebug(lcWidgets) << "fake";
        known = m_carriedOver.insert(source, landing);
    }
    if (known->found) {
        key.collection = m_schemeCollection;
        key.pageIndex = known->pageIndex;
        key.rowIndex = known->rowIndex;
    }
    return key;
}

bool ColorSchemerModel::sameScheme(const SchemeKey &key, int mode) const
{
    // The neutral button's form counts too: switching it changes the chips.
    return m_built && key.collection == m_key.collection
        && effectiveSchemeKind(key.kind, key.neutralSubKind) == effectiveSchemeKind(m_key.kind, m_key.neutralSubKind)
        && key.pageIndex == m_key.pageIndex && (mode == CollectionSettings::ModeCardToCard || key.rowIndex == m_key.rowIndex);
}

void ColorSchemerModel::refresh(const QRect &area)
{
    SchemeKey key = storedKey();
    const int mode = CollectionSettings::modeCard(key.collection);
    if (area == m_area && sameScheme(key, mode))
        return;
    m_area = area;
    rebuild(key, mode, area);
    m_key = key;
    m_built = true;
    const QUuid current = lastUsedCollection();
    if (key.neutralSubKind != schemeNeutralSubKind(current))
        setSchemeNeutralSubKind(current, key.neutralSubKind);
}

void ColorSchemerModel::rebuild(SchemeKey &key, int mode, const QRect &area)
{
    m_cells.clear();
    switch (mode) {
    case CollectionSettings::ModeColorToColor:
    case CollectionSettings::ModeColorToCard:
        rebuildColourMode(key, mode, area);
        break;
    case CollectionSettings::ModeCardToCard:
        rebuildCardMode(key, area);
        break;
    default:
        break; // no scheme is computed
    }
}

void ColorSchemerModel::rebuildColourMode(const SchemeKey &key, int mode, const QRect &area)
{
    const int scheme = effectiveSchemeKind(key.kind, key.neutralSubKind);
    QVector<DB::ColorEntry> colours;
    const int status = mode == CollectionSettings::ModeColorToColor
        ? DB::loadRowSchemeColors(key.collection, scheme, key.pageIndex, key.rowIndex, colours)
        : DB::loadPageSchemeColors(key.collection, scheme, key.pageIndex, key.rowIndex, colours);
    // A collection without a chip count has no grid: the colours are only laid out in
    // whole rows.
    const int perRow = CollectionSettings::maxChipsOnAPage(key.collection);
    if (status != DB::StatusOk || perRow <= 0 || colours.isEmpty() || colours.size() % perRow != 0)
        return;
    QVector<int> groups;
    for (const DB::ColorEntry &colour : colours)
        groups << (mode == CollectionSettings::ModeColorToColor ? colour.segment : colour.pageOrder);
    const QVector<QRect> rects = layoutSchemeGrid(area, groups, perRow, int(colours.size()) / perRow);
    for (int i = 0; i < rects.size(); ++i) {
        const DB::ColorEntry &colour = colours.at(i);
        m_cells.append({rects.at(i), key.collection, colour.pageId, colour.id, colour.color()});
    }
}

void ColorSchemerModel::rebuildCardMode(SchemeKey &key, const QRect &area)
{
    m_complementaryAvailable = DB::hasComplementaryNeutralScheme(key.collection, key.pageIndex);
    int scheme = effectiveSchemeKind(key.kind, key.neutralSubKind);
    if (scheme == SchemeComplementaryNeutral && !m_complementaryAvailable) {
        scheme = SchemeTonalNeutral;
        key.neutralSubKind = SchemeTonalNeutral;
    }
    QList<DB::ColorPage> cards;
    if (DB::loadSchemePages(key.collection, key.pageIndex, scheme, cards) != DB::StatusOk || cards.isEmpty())
        return;
    int perRow = 0;
    QVector<int> groups;
    for (int c = 0; c < cards.size(); ++c) {
        perRow = std::max(perRow, int(cards.at(c).rows.size()));
        groups.insert(groups.size(), cards.at(c).rows.size(), c);
    }
    const QVector<QRect> rects = layoutSchemeGrid(area, groups, perRow, int(cards.size()));
    int i = 0;
    for (const DB::ColorPage &card : cards) {
        for (const DB::ColorEntry &colour : card.rows) {
            if (i < rects.size())
                m_cells.append({rects.at(i), key.collection, colour.pageId, colour.id, colour.color()});
            ++i;
        }
    }
}

ColorSchemerModel::Choice ColorSchemerModel::pressOn(int kind) const
{
    const QUuid current = lastUsedCollection();
    if (kind != schemeKind(current))
        return {Choice::Kind, kind};
    if (kind == SchemeNeutral && m_complementaryAvailable)
        return {Choice::NeutralSubKind, schemeNeutralSubKind(current) == SchemeTonalNeutral ? SchemeComplementaryNeutral
                                                                                             : SchemeTonalNeutral};
    return {};
}

ColorSchemerModel::Choice ColorSchemerModel::shortcut(int n) const
{
    if (n < 1 || n > m_kinds.size())
        return {};
    const int kind = m_kinds.at(n - 1);
    // Compared with the current collection's stored kind, as a press is: that is the
    // value the main widget keeps.
    const QUuid current = lastUsedCollection();
    if (kind != schemeKind(current))
        return {Choice::Kind, kind};
    if (kind == SchemeNeutral) {
        const int form = m_complementaryAvailable && schemeNeutralSubKind(current) == SchemeTonalNeutral
            ? SchemeComplementaryNeutral
            : SchemeTonalNeutral;
        return {Choice::NeutralSubKind, form};
    }
    return {};
}

} // namespace Vantor
