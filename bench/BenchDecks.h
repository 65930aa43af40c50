#pragma once

// The collections the engine benchmarks run on: 1,000 and 100,000 colours with the same
// shape, generated once and kept between runs.

#include <QString>
#include <QUuid>

namespace Palettra::Bench {

inline const QUuid SmallCollection{QStringLiteral("{5a000000-0000-4000-8000-000000001000}")};
inline const QUuid LargeCollection{QStringLiteral("{5a000000-0000-4000-8000-000000100000}")};
inline constexpr int ChipsPerCard = 7;

// The folder holding Contents/Resources/small.db and large.db: PALETTRA_BENCH_DATA, or a
// folder below the temporary folder.
QString databaseFolder();
QString databaseFile(int colours);
int cardCount(int colours);
const QUuid &collectionFor(int colours);

// Writes the files that are missing and registers both collections with the engine.
void prepareDatabases();

} // namespace Palettra::Bench
