#pragma once

#include <QString>
#include <QStringList>

namespace Palettra::Deck {

// Checks a collection database against everything the engine reads: tables and
// columns, cards and chip positions, colours, settings, theme items and the maps that
// point at rows, cards and textures. One line per problem, each saying where it is;
// empty when the file is clean.
QStringList checkDeck(const QString &databaseFile);

} // namespace Palettra::Deck
