#pragma once

#include "engine/db/SharedTypes.h"

#include <QColor>
#include <QHash>
#include <QRect>
#include <QString>
#include <QUuid>
#include <QVector>

namespace Vantor {

// What identifies the scheme on show: whose colour or card, and which kind of scheme.
struct SchemeKey
{
    QUuid collection;
    int kind = 0;
    int neutralSubKind = 0;
    int pageIndex = -1;
    int rowIndex = -1;
};

// One chip of the scheme on show.
struct SchemeCell
{
    QRect rect;
    QUuid collection;
    qint64 pageId = -1;
    qint64 rowId = -1;
    QColor colour;
};

// The rules of the colour schemer, apart from its painting: which collection's schemes
// are shown, which scheme the stored state asks for (carrying the current colour over to
// that collection when it is another), the chips of that scheme, and what choosing a
// kind leads to. Everything is read from the stored state and the database.
class ColorSchemerModel
{
public:
    // The collection whose schemes are shown for `collection`: itself when it has the
    // schemes page, else the first registered collection that has it; null when none.
    static QUuid schemeCollectionFor(const QUuid &collection);

    // Prepares for a collection: its scheme collection and that collection's kinds.
    void setUp(const QUuid &collection);

    QUuid schemeCollection() const { return m_schemeCollection; }
    // The scheme kinds offered, in button order (unknown words as 0).
    const QVector<int> &kinds() const { return m_kinds; }

    // Brings the chips up to date with the stored state, laid out in `area`. They are
    // rebuilt only when the scheme on show or the area changed.
    void refresh(const QRect &area);
    const SchemeKey &key() const { return m_key; }
    const QVector<SchemeCell> &cells() const { return m_cells; }
    // The current card has a complementary-neutral scheme (known in card mode only).
    bool complementaryAvailable() const { return m_complementaryAvailable; }

    // What choosing a kind leads to: a new kind, a new neutral form, or nothing.
    struct Choice
    {
        enum What { Nothing, Kind, NeutralSubKind } what = Nothing;
        int value = 0;
    };
    // A press on the button of `kind`.
    Choice pressOn(int kind) const;
    // The N-th shortcut (1-based).
    Choice shortcut(int n) const;

private:
    // The key the stored state asks for, with the current colour carried over to the
    // scheme collection when that is another one.
    SchemeKey storedKey();
    bool sameScheme(const SchemeKey &key, int mode) const;
    void rebuild(SchemeKey &key, int mode, const QRect &area);
    void rebuildColourMode(const SchemeKey &key, int mode, const QRect &area);
    void rebuildCardMode(SchemeKey &key, const QRect &area);

    QUuid m_schemeCollection;
    QVector<int> m_kinds;
    SchemeKey m_key;
    bool m_built = false;
    QRect m_area;
    QVector<SchemeCell> m_cells;
    bool m_complementaryAvailable = false;

    // Where the current colour lands in the scheme collection, by (collection, card,
    // position): the nearest colour there. Found once per colour.
    struct CarriedOver
    {
        bool found = false;
        int pageIndex = -1;
        int rowIndex = -1;
    };
    QHash<QString, CarriedOver> m_carriedOver;
};

} // namespace Vantor
