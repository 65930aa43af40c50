#pragma once

#include "ColorEntry.h"
#include "ColorPage.h"
#include "StatusCodes.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVector>

namespace Vantor::DB {

// Walking the fan deck: cards by index, id, segment and neighbour under the mood and
// exterior filters, and single colours. Results are status codes (see StatusCodes.h).
//
// Mood filter: 1 to 6 select cards of that mood; 7 means all moods and leaves out the
// off-white (5) and neutral (6) cards.

// The colour with that row id. The entry is reset first.
int loadColorById(const QUuid &uuid, qint64 rowId, ColorEntry &entry);
// The colour at a card's position. The entry is reset first.
int loadColorAt(const QUuid &uuid, int pageIndex, int rowIndex, ColorEntry &entry);
// A card with its colours, sorted by position.
int loadPageByIndex(const QUuid &uuid, int pageIndex, ColorPage &page);
int loadPageById(const QUuid &uuid, qint64 pageId, bool withoutRows, ColorPage &page);

// The first card, in segment and page order, at or after the segment, wrapping to the
// lowest segment; -6 when no card passes the filter.
int loadFirstPageOfSegment(const QUuid &uuid, int segment, int mood, bool exteriorOnly, ColorPage &page);
// The next (or previous) card passing the filter, wrapping around the deck.
int loadAdjacentPage(const QUuid &uuid, int pageIndex, bool backward, int mood, bool exteriorOnly, ColorPage &page);
// As loadFirstPageOfSegment, giving the card's segment (set to `segment` first) or its
// page index (set to -1 first).
int findSegmentFrom(const QUuid &uuid, int segment, int mood, bool exteriorOnly, int &foundSegment);
int findFirstPageIndexFrom(const QUuid &uuid, int segment, int mood, bool exteriorOnly, int &pageIndex);

// The collection's distinct segments in ascending order; -1 when it has none.
int loadSegments(const QUuid &uuid, QVector<int> &segments);

// Whether the collection has a card suitable for exteriors with this mood. True when
// the collection cannot be opened, false when the query fails.
bool hasExteriorPagesWithMood(const QUuid &uuid, int mood);

// The first colour, across the enabled collections of the first database file, with
// exactly this RGB value or this code (ignoring case). The entry is reset first.
int findColorByRgb(const QColor &color, ColorEntry &entry);
int findColorByCode(const QString &code, ColorEntry &entry);

// The statements one paint of the card roller runs (a card by index with its colours,
// and its neighbours under the all-moods filter), for checking that a database's indexes
// serve them: as the engine runs them, or in the plain "SELECT *" form it falls back to
// on a file whose tables lack one of their columns.
enum class CardStatementForm { Narrow, Plain };
QStringList cardPaintStatements(CardStatementForm form = CardStatementForm::Narrow);

} // namespace Vantor::DB
