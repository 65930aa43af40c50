#pragma once

#include "TestDeck.h"

#include <QTemporaryDir>
#include <QUuid>

#include <memory>

namespace Palettra::Test {

// A small fan deck in one file, registered as the engine's collections:
//
// Collection A ("Interior", order 1), cards (page index: segment, mood, exterior):
//   1: 1, fresh, no     2: 1, warm, yes     3: 2, off-white, yes
//   4: 2, calm, no      5: 3, neutral, yes  6: 3, fresh, no
// each with three chips at positions 1 to 3 (written in the order 3, 1, 2); chip r of
// card p has code "A-p-r", NAME0 "Name p r", NAME1 "Zweit p r", EXTRA0 "Extra p r" and
// the colour (40p, 20r, 100).
// Collection B ("Exterior", order 2): cards 1 and 2 in segment 1, chips "B-p-r".
// Collection C: present in the file but not enabled.
class StandardDeck
{
public:
    StandardDeck();
    ~StandardDeck();

    static const QUuid A;
    static const QUuid B;
    static const QUuid C;

    QString baseFolder() const { return m_dir.path(); }
    // Opens a writer on the file for extra content; close it before querying.
    TestDeck &deck() { return *m_deck; }
    qint64 idA() const { return m_idA; }
    qint64 idB() const { return m_idB; }
    // ROW id of chip r on card p of collection A, and PAGE id of card p.
    qint64 rowIdA(int page, int row) const { return m_rowIdsA[page - 1][row - 1]; }
    qint64 pageIdA(int page) const { return m_pageIdsA[page - 1]; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestDeck> m_deck;
    qint64 m_idA = 0;
    qint64 m_idB = 0;
    qint64 m_rowIdsA[6][3] = {};
    qint64 m_pageIdsA[6] = {};
};

} // namespace Palettra::Test
