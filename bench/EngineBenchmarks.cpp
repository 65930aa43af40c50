// What one paint of the card roller costs, and the colour arithmetic behind drops and
// nearest-colour searches, on small and large collections.

#include "BenchDecks.h"
#include "BenchInputs.h"
#include "RatioReporter.h"

#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"
#include "engine/colour/ColourDifference.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace Vantor;
using namespace Vantor::DB;
using namespace Palettra::Bench;

namespace {

// One paint of the card roller: the current card with its chips, and its neighbours.
void BM_CardRollerPaint(benchmark::State &state)
{
    const int colours = int(state.range(0));
    const QUuid &uuid = collectionFor(colours);
    const int cards = cardCount(colours);
    int pageIndex = cards / 2;
    for (auto _ : state) {
        ColorPage current, next, previous;
        loadPageByIndex(uuid, pageIndex, current);
        loadAdjacentPage(uuid, pageIndex, false, 7, false, next);
        loadAdjacentPage(uuid, pageIndex, true, 7, false, previous);
        benchmark::DoNotOptimize(current.rows.size() + next.rows.size() + previous.rows.size());
        pageIndex = pageIndex % cards + 1;
    }
}
BENCHMARK(BM_CardRollerPaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Rolling past the end wraps to the first card.
void BM_CardRollerWrap(benchmark::State &state)
{
    const int colours = int(state.range(0));
    const QUuid &uuid = collectionFor(colours);
    const int last = cardCount(colours);
    for (auto _ : state) {
        ColorPage next;
        loadAdjacentPage(uuid, last, false, 7, false, next);
        benchmark::DoNotOptimize(next.pageIndex);
    }
}
BENCHMARK(BM_CardRollerWrap)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_FirstPageOfSegment(benchmark::State &state)
{
    const QUuid &uuid = collectionFor(int(state.range(0)));
    int segment = 1;
    for (auto _ : state) {
        ColorPage page;
        loadFirstPageOfSegment(uuid, segment, 7, false, page);
        segment = segment % 24 + 1;
        benchmark::DoNotOptimize(page.pageIndex);
    }
}
BENCHMARK(BM_FirstPageOfSegment)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_Completions(benchmark::State &state)
{
    const QUuid &uuid = collectionFor(int(state.range(0)));
    loadOrderLists(uuid);
    for (auto _ : state) {
        QStringList completions;
        loadCompletions(uuid, completions);
        benchmark::DoNotOptimize(completions.size());
    }
}
// The sort of a large list uses a second thread: timed by the clock, not by this
// thread's processor time.
BENCHMARK(BM_Completions)->Arg(1000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SearchPhrase(benchmark::State &state)
{
    const int colours = int(state.range(0));
    const QUuid &uuid = collectionFor(colours);
    loadOrderLists(uuid);
    const QString phrase = QStringLiteral("farbe %1").arg(colours - 2);
    for (auto _ : state) {
        int page = 0, row = 0, segment = 0, mood = 0;
        bool exterior = false;
        benchmark::DoNotOptimize(searchPhrase(uuid, phrase, page, row, segment, mood, exterior));
    }
}
BENCHMARK(BM_SearchPhrase)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DeltaE2000(benchmark::State &state)
{
    const LabColour first{50.0, 2.6772, -79.7751};
    LabColour second{50.0, 0.0, -82.7485};
    for (auto _ : state) {
        benchmark::DoNotOptimize(deltaE2000(first, second));
        second.a += 1e-9;
    }
}
BENCHMARK(BM_DeltaE2000);

// The search over random candidates for random targets; the candidates' layout is
// prepared before the timing starts, as it is once per collection in the engine.
void BM_NearestColours(benchmark::State &state)
{
    const QVector<LabCandidate> &candidates = randomCandidates(int(state.range(0)));
    const QVector<LabColour> &targets = randomTargets();
    nearestColours(targets.first(), candidates, 1);
    int next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(nearestColours(targets.at(next), candidates, 1));
        next = (next + 1) % int(targets.size());
    }
    state.SetItemsProcessed(state.iterations() * candidates.size());
}
BENCHMARK(BM_NearestColours)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadLabColours(benchmark::State &state)
{
    const QUuid &uuid = collectionFor(int(state.range(0)));
    for (auto _ : state) {
        QVector<LabCandidate> candidates;
        loadLabColors(uuid, candidates);
        benchmark::DoNotOptimize(candidates.size());
    }
}
BENCHMARK(BM_LoadLabColours)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    prepareDatabases();
    RatioReporter reporter({
        {"nearestColours / Little CMS scan", "BM_NearestColours/100000", "BM_LcmsNearestScan/100000", "", 0.2},
        // Qt SQL costs about twice the C API for the same statements, accepted: a card
        // paint is a small part of a frame. Printed as information.
        {"card paint / SQLite C API (1,000)", "BM_CardRollerPaint/1000", "BM_CApiCardRollerPaint/1000", "", 0.0},
        {"card paint / SQLite C API (100,000)", "BM_CardRollerPaint/100000", "BM_CApiCardRollerPaint/100000", "", 0.0},
        {"card paint / C API, plain statements (1,000)", "BM_CardRollerPaint/1000", "BM_CApiPlainCardRollerPaint/1000",
         "", 0.0},
        {"card paint / C API, plain statements (100,000)", "BM_CardRollerPaint/100000",
         "BM_CApiPlainCardRollerPaint/100000", "", 0.0},
        {"Qt SQL alone, no records / C API (100,000)", "BM_QtSqlCardRollerPaint/100000",
         "BM_CApiCardRollerPaint/100000", "", 0.0},
        {"completions 100,000 / 1,000", "BM_Completions/100000", "BM_Completions/1000", "", 0.0},
        {"picker open 100,000 / 1,000", "BM_PickerOpen/100000", "BM_PickerOpen/1000", "", 2.0},
        {"memory 100,000 / 1,000", "BM_PickerOpen/100000", "BM_PickerOpen/1000", "resident", 1.5},
        {"deck build 100,000 / 10,000", "BM_DeckBuild/100000", "BM_DeckBuild/10000", "", 12.0},
        {"palette of a 24-megapixel PNG / plain libpng decode", "BM_PhotoPalettePng", "BM_PlainPngDecode", "", 1.5},
    }, {
        // Read on a thread of its own, away from the interface; what a user waits for is
        // the first completion after a switch, held to its goal by the interaction benchmark.
        {"completions at 100,000 colours (background read)", "BM_Completions/100000", 0.0},
        {"palettra-db match, 20,000 colours (20,000 a second)", "BM_MatchTool/20000", 1000.0},
        {"import of a 4 MiB GIMP palette", "BM_ImportLargeGimpPalette", 500.0},
        {"Capsure look-up of 20,001 measured objects", "BM_CapsureLargeMeasurement", 500.0},
        {"palette of a 24-megapixel JPEG photo (1,000 colours)", "BM_PhotoPalette/1000", 300.0},
        {"palette of a 24-megapixel JPEG photo (100,000 colours)", "BM_PhotoPalette/100000", 300.0},
        {"palette of a 24-megapixel PNG photo (100,000 colours)", "BM_PhotoPalettePng", 600.0},
        {"palettra-db build, 100,000 colours", "BM_DeckBuild/100000", 60000.0},
    }, {
        {"palettra-db build, 100,000 colours, peak memory", "BM_DeckBuild/100000", "peak resident MiB", 1024.0, "MiB"},
        {"palette of a 24-megapixel 16-bit PNG (192 MB decoded), peak memory", "BM_LargePngPalette", "peak resident MiB", 512.0,
         "MiB"},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
