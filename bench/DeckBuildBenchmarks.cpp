// `palettra-db build` on generated sources of 10,000 and 100,000 colours, in a process of
// its own each time: the wall time, the process's peak resident memory, and the size of
// the database it writes.

#include "BenchSources.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace Palettra::Bench {

namespace {

struct BuildRun
{
    bool ok = false;
    double seconds = 0.0;
    double residentBytes = 0.0;
};

// Through wait4, for the peak memory of this one child.
BuildRun runBuild(const QString &source, const QString &database)
{
    const QByteArray program = QByteArrayLiteral(PALETTRA_DB_PROGRAM);
    const QByteArray sourceArgument = QFile::encodeName(source);
    const QByteArray databaseArgument = QFile::encodeName(database);
    char *arguments[] = {const_cast<char *>(program.constData()), const_cast<char *>("build"),
                         const_cast<char *>(sourceArgument.constData()), const_cast<char *>(databaseArgument.constData()),
                         nullptr};
    BuildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, program.constData(), nullptr, nullptr, arguments, environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.residentBytes = double(usage.ru_maxrss) * 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

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
        const BuildRun run = runBuild(source, database);
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
