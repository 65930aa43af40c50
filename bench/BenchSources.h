#pragma once

// Deck sources for `palettra-db build` with generated colours: the demo deck's shared
// part and its interior collection's settings, schemes and products, with random colours.

#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVector>

namespace Palettra::Bench {

struct GeneratedCollection
{
    QString folder; // also its name in the deck
    QUuid uuid;     // null: the demo interior collection's
    int colours = 0;
};

// Codes run "G 000001", "G 000002", … With `trends`, each collection has one open trend
// group of a dozen of its own chips; otherwise none.
bool writeGeneratedSource(const QString &folder, const QVector<GeneratedCollection> &collections, bool trends);

// palettra-db run in a process of its own, with the peak memory of that one child.
struct ToolRun
{
    bool ok = false;
    double seconds = 0.0;
    double residentBytes = 0.0;
};
ToolRun runPalettraDb(const QStringList &arguments);

} // namespace Palettra::Bench
