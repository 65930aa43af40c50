#pragma once

#include <QString>
#include <QStringList>

namespace Palettra::Deck {

// Builds a collection database from a source folder (see DeckSource.h). The file is
// written beside the target and moved into place only when complete. Returns the
// problems found; the file is written only when there are none.
QStringList buildDeck(const QString &sourceFolder, const QString &databaseFile);

} // namespace Palettra::Deck
