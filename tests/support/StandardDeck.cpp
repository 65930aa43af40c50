#include "StandardDeck.h"

#include "engine/db/CollectionRegistry.h"

#include <stdexcept>

namespace Palettra::Test {

const QUuid StandardDeck::A("{aaaaaaaa-0000-4000-8000-00000000000a}");
const QUuid StandardDeck::B("{bbbbbbbb-0000-4000-8000-00000000000b}");
const QUuid StandardDeck::C("{cccccccc-0000-4000-8000-00000000000c}");

StandardDeck::StandardDeck()
    : m_deck(std::make_unique<TestDeck>(m_dir.path(), QStringLiteral("standard.db")))
{
    Palettra::Deck::DeckWriter &w = m_deck->writer();
    m_idA = w.addCollection(A, QStringLiteral("INT"), QStringLiteral("Interior"), 1);
    m_idB = w.addCollection(B, QStringLiteral("EXT"), QStringLiteral("Exterior"), 2);
    const qint64 idC = w.addCollection(C, QStringLiteral("OFF"), QStringLiteral("Hidden"), 3, false);

    struct Card { int segment; int mood; bool exterior; };
    const Card cards[6] = {{1, 1, false}, {1, 2, true}, {2, 5, true}, {2, 3, false}, {3, 6, true}, {3, 1, false}};
    for (int p = 1; p <= 6; ++p) {
        const Card &card = cards[p - 1];
        m_pageIdsA[p - 1] = w.addPage(m_idA, p, card.segment, QStringLiteral("Card %1").arg(p), card.exterior, card.mood,
                                      {QStringLiteral("Card %1").arg(p), QStringLiteral("Karte %1").arg(p)});
        for (int r : {3, 1, 2}) {
            Palettra::Deck::RowSpec row;
            row.rowIndex = r;
            row.code = QStringLiteral("A-%1-%2").arg(p).arg(r);
            row.name = QStringLiteral("Name %1 %2").arg(p).arg(r);
            row.segment = card.segment;
            row.rgb = QColor(40 * p, 20 * r, 100);
            row.l = 10.0 * p;
            row.a = r;
            row.b = -r;
            row.mood = card.mood;
            row.names = {QStringLiteral("Name %1 %2").arg(p).arg(r), QStringLiteral("Zweit %1 %2").arg(p).arg(r)};
            row.extras = {QStringLiteral("Extra %1 %2").arg(p).arg(r)};
            m_rowIdsA[p - 1][r - 1] = w.addRow(m_idA, m_pageIdsA[p - 1], row);
        }
    }
    for (int p = 1; p <= 2; ++p) {
        const qint64 page = w.addPage(m_idB, p, 1, QStringLiteral("Outside %1").arg(p));
        for (int r = 1; r <= 2; ++r) {
            Palettra::Deck::RowSpec row;
            row.rowIndex = r;
            row.code = QStringLiteral("B-%1-%2").arg(p).arg(r);
            row.rgb = QColor(10 * p, 10 * r, 10);
            row.l = 50;
            w.addRow(m_idB, page, row);
        }
    }
    const qint64 hiddenPage = w.addPage(idC, 1, 1, QStringLiteral("Hidden 1"));
    Palettra::Deck::RowSpec hidden;
    hidden.code = QStringLiteral("C-1-1");
    hidden.rgb = QColor(1, 2, 3);
    w.addRow(idC, hiddenPage, hidden);

    if (!w.ok())
        throw std::runtime_error(w.lastError().toStdString());
    Vantor::DB::CollectionRegistry::instance().setBaseFolder(m_dir.path());
}

StandardDeck::~StandardDeck() = default;

} // namespace Palettra::Test
