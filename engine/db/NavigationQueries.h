#pragma once

#include <QUuid>

namespace Vantor::DB {

// Whether the collection has a card suitable for exteriors with this mood. True when
// the collection cannot be opened, false when the query fails.
bool hasExteriorPagesWithMood(const QUuid &uuid, int mood);

} // namespace Vantor::DB
