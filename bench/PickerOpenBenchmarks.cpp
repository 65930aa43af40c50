// Opening the picker as 3ds Max does, in a process of its own each time: palettra-host
// loads the plug-in, and reports the time from LibInitialize to the end of the main
// widget's first paint and the resident memory then, on a collection of each size.

#include "BenchDecks.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace Palettra::Bench {

namespace {

// A data folder holding only the collection of that size, and an empty settings folder.
struct OpenSetting
{
    QTemporaryDir data;
    QTemporaryDir config;
};

bool prepareSetting(OpenSetting &setting, int colours)
{
    const QString resources = setting.data.path() + QStringLiteral("/Orva Tavel/Palettra/SQLite/Contents/Resources");
    return QDir().mkpath(resources)
        && QFile::link(databaseFile(colours), resources + QStringLiteral("/collection.db"));
}

void BM_PickerOpen(benchmark::State &state)
{
    const int colours = int(state.range(0));
    double resident = 0.0;
    int opened = 0;
    for (auto _ : state) {
        OpenSetting setting;
        if (!prepareSetting(setting, colours)) {
            state.SkipWithError("cannot lay out the data folder");
            return;
        }
        QProcess host;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), setting.data.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), setting.config.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        host.setProcessEnvironment(environment);
        host.start(QStringLiteral(PALETTRA_HOST_PROGRAM), {QStringLiteral("--report-open")});
        if (!host.waitForFinished(120000) || host.exitCode() != 0) {
            state.SkipWithError("palettra-host failed");
            return;
        }
        const QString output = QString::fromUtf8(host.readAllStandardOutput());
        const auto paint = QRegularExpression(QStringLiteral("^FirstPaint ([0-9.]+) ms$"),
                                              QRegularExpression::MultilineOption).match(output);
        const auto memory = QRegularExpression(QStringLiteral("^Resident ([0-9]+) bytes$"),
                                               QRegularExpression::MultilineOption).match(output);
        if (!paint.hasMatch() || !memory.hasMatch()) {
            state.SkipWithError("palettra-host reported no first paint");
            return;
        }
        state.SetIterationTime(paint.captured(1).toDouble() / 1000.0);
        resident += memory.captured(1).toDouble();
        ++opened;
    }
    state.counters["resident"] = opened ? resident / opened : 0.0;
}
BENCHMARK(BM_PickerOpen)->Arg(1000)->Arg(100000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace Palettra::Bench
