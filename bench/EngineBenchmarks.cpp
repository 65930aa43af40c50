// What one paint of the card roller costs, and the colour arithmetic behind drops and
// nearest-colour searches, on small and large collections.

#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"
#include "engine/palette/ColourDifference.h"
#include "tools/deck/CompleteDatabase.h"
#include "tools/deck/DeckWriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

#include <cstdio>

using namespace Vantor;
using namespace Vantor::DB;

namespace {

const QUuid SmallCollection(QStringLiteral("{5a000000-0000-4000-8000-000000001000}"));
const QUuid LargeCollection(QStringLiteral("{5a000000-0000-4000-8000-000000100000}"));
const int ChipsPerCard = 7;

// Generating the large collection takes a while: it is kept between runs, in the folder
// PALETTRA_BENCH_DATA names or below the temporary folder, and made again when missing.
QString databaseFolder()
{
    const QString named = qEnvironmentVariable("PALETTRA_BENCH_DATA");
    return named.isEmpty() ? QDir::tempPath() + QStringLiteral("/palettra-bench-v1") : named;
}

int cardCount(int colours)
{
    return (colours + ChipsPerCard - 1) / ChipsPerCard;
}

// A collection file of `colours` chips in 24 segments, cards in segment order, names
// and codes in two search orders, all moods (all-moods cards are mostly 1 to 4).
void writeCollection(const QString &file, const QUuid &uuid, int colours)
{
    const QString error = Palettra::Deck::createCompleteDatabase(file);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    const QString connection = QStringLiteral("bench-writer");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        db.open();
        db.transaction();
        Palettra::Deck::DeckWriter writer(db);
        const qint64 id = writer.addCollection(uuid, QStringLiteral("S%1").arg(colours), QStringLiteral("Bench"), 1);
        writer.addSettingList(id, QStringLiteral("row.name.search.order"), {QStringLiteral("0"), QStringLiteral("1")});
        writer.addSettingList(id, QStringLiteral("page.name.search.order"), {QStringLiteral("0")});
        QRandomGenerator random(colours);
        const int cards = cardCount(colours);
        int written = 0;
        for (int card = 1; card <= cards; ++card) {
            const int segment = 1 + (card - 1) * 24 / cards;
            const int mood = 1 + card % 6;
            const qint64 page = writer.addPage(id, card, segment, QStringLiteral("Card %1").arg(card), card % 3 == 0, mood,
                                               {QStringLiteral("Card %1").arg(card)});
            for (int row = 1; row <= ChipsPerCard && written < colours; ++row, ++written) {
                Palettra::Deck::RowSpec spec;
                spec.rowIndex = row;
                spec.code = QStringLiteral("C%1").arg(written, 6, 10, QLatin1Char('0'));
                spec.segment = segment;
                spec.rgb = QColor::fromRgb(random.generate() & 0xffffff);
                const LabColour lab = labFromColour(spec.rgb);
                spec.l = lab.l;
                spec.a = lab.a;
                spec.b = lab.b;
                spec.names = {QStringLiteral("Colour %1").arg(written), QStringLiteral("Farbe %1").arg(written)};
                writer.addRow(id, page, spec);
            }
        }
        db.commit();
        QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
        if (!writer.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(writer.lastError()));
            std::exit(1);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

void prepareDatabases()
{
    const QString resources = databaseFolder() + QStringLiteral("/Contents/Resources");
    QDir().mkpath(resources);
    const std::pair<const char *, std::pair<QUuid, int>> files[] = {{"small.db", {SmallCollection, 1000}},
                                                                     {"large.db", {LargeCollection, 100000}}};
    for (const auto &[name, collection] : files) {
        const QString file = resources + QLatin1Char('/') + QLatin1String(name);
        if (!QFile::exists(file)) {
            writeCollection(file + QStringLiteral(".partial"), collection.first, collection.second);
            QFile::rename(file + QStringLiteral(".partial"), file);
        }
    }
    CollectionRegistry::instance().setBaseFolder(databaseFolder());
    CollectionRegistry::instance().checkCollectionsAvailable();
}

const QUuid &collectionFor(int colours)
{
    return colours >= 100000 ? LargeCollection : SmallCollection;
}

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
BENCHMARK(BM_Completions)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

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

void BM_NearestColours(benchmark::State &state)
{
    const int count = int(state.range(0));
    QVector<LabCandidate> candidates;
    candidates.reserve(count);
    QRandomGenerator random(7);
    for (int i = 0; i < count; ++i) {
        const LabColour lab = labFromColour(QColor::fromRgb(random.generate() & 0xffffff));
        candidates.append({lab.l, lab.a, lab.b, i});
    }
    const LabColour target = labFromColour(QColor(120, 140, 90));
    for (auto _ : state)
        benchmark::DoNotOptimize(nearestColours(target, candidates, 1));
    state.SetItemsProcessed(state.iterations() * count);
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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
