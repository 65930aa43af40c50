// `palettra-db build` on generated sources of 10,000 and 100,000 colours, in a process of
// its own each time: the wall time, the process's peak resident memory, and the size of
// the database it writes.

#include "BenchSources.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace Palettra::Bench {

namespace {

void BM_DeckBuild(benchmark::State &state)
{
    const int colours = int(state.range(0));
    QTemporaryDir folder;
    const QString source = folder.path() + QStringLiteral("/source");
    const QString database = folder.path() + QStringLiteral("/deck.db");
    if (!folder.isValid() || !writeGeneratedSource(source, {{QStringLiteral("generated"), QUuid(), colours}}, false)) {
        state.SkipWithError("cannot write the generated source");
        return;
    }
    double resident = 0.0;
    double size = 0.0;
    for (auto _ : state) {
        QFile::remove(database);
        const ToolRun run = runPalettraDb({QStringLiteral("build"), source, database});
        if (!run.ok) {
            state.SkipWithError("palettra-db build failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        resident = std::max(resident, run.residentBytes);
        size = double(QFileInfo(database).size());
    }
    state.counters["peak resident MiB"] = resident / (1024.0 * 1024.0);
    state.counters["MiB per 100,000 colours"] = size / (1024.0 * 1024.0) * 100000.0 / colours;
}
BENCHMARK(BM_DeckBuild)->Arg(10000)->Arg(100000)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

} // namespace Palettra::Bench
