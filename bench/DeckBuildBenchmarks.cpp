// `palettra-db build` on generated sources of 10,000 and 100,000 colours, in a process of
// its own each time: the wall time, the process's peak resident memory, and the size of
// the database it writes.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>

#include <chrono>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace Palettra::Bench {

namespace {

QJsonObject readJson(const QString &file)
{
    QFile in(file);
    in.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(in.readAll()).object();
}

bool writeJson(const QString &file, const QJsonObject &object)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(QJsonDocument(object).toJson()) > 0;
}

// The demo deck's shared part and its interior collection's settings, schemes and
// products, with `colours` random colours; no trend groups, whose colours are few and
// fixed.
bool writeSource(const QString &folder, int colours)
{
    const QString demo = QStringLiteral(PALETTRA_DEMO_SOURCE);
    QJsonObject deck = readJson(demo + QStringLiteral("/deck.json"));
    QJsonObject collection = readJson(demo + QStringLiteral("/interior/collection.json"));
    if (deck.isEmpty() || collection.isEmpty())
        return false;
    deck.insert(QStringLiteral("collections"), QJsonArray{QStringLiteral("generated")});
    deck.insert(QStringLiteral("trendGroups"), QJsonArray());
    QJsonObject theme = deck.value(QStringLiteral("theme")).toObject();
    theme.insert(QStringLiteral("wheelCollection"), QStringLiteral("generated"));
    deck.insert(QStringLiteral("theme"), theme);
    collection.insert(QStringLiteral("trendGroups"), QJsonArray());
    if (!QDir().mkpath(folder + QStringLiteral("/generated")) || !writeJson(folder + QStringLiteral("/deck.json"), deck)
        || !writeJson(folder + QStringLiteral("/generated/collection.json"), collection))
        return false;
    QFile csv(folder + QStringLiteral("/generated/colours.csv"));
    if (!csv.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&csv);
    out << "code,name0,extra0,red,green,blue\n";
    QRandomGenerator random{quint32(colours)};
    for (int i = 1; i <= colours; ++i) {
        const quint32 rgb = random.generate();
        out << QStringLiteral("G %1,Colour %2,Light reflectance %3%,%4,%5,%6\n")
                   .arg(i, 6, 10, QLatin1Char('0'))
                   .arg(i)
                   .arg(random.bounded(100))
                   .arg((rgb >> 16) & 0xff)
                   .arg((rgb >> 8) & 0xff)
                   .arg(rgb & 0xff);
    }
    return out.status() == QTextStream::Ok;
}

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
    if (!folder.isValid() || !writeSource(source, colours)) {
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
