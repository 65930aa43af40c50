// The yardsticks the engine is measured against in the same run: the card roller's
// statements through SQLite's C API, and a plain nearest-colour scan with Little CMS 2.

#include "BenchDecks.h"
#include "BenchInputs.h"

#include "engine/db/CollectionRegistry.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/ColourDifference.h"

#include <benchmark/benchmark.h>
#include <lcms2.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

using namespace Vantor;

namespace Palettra::Bench {

namespace {

// One column's value as an application would keep it.
using Value = std::variant<std::monostate, sqlite3_int64, double, std::string>;
using Row = std::vector<Value>;

// The card roller's statements prepared once on a connection of their own.
class CApiCardStatements
{
public:
    explicit CApiCardStatements(int colours)
    {
        const QByteArray file = databaseFile(colours).toUtf8();
        if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            fail("cannot open the benchmark database");
        const QStringList texts = DB::cardPaintStatements();
        for (const QString &text : texts) {
            const QByteArray utf8 = text.toUtf8();
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                                   nullptr)
                != SQLITE_OK)
                fail(sqlite3_errmsg(m_db));
            m_statements.push_back(statement);
        }
    }
    ~CApiCardStatements()
    {
        for (sqlite3_stmt *statement : m_statements)
            sqlite3_finalize(statement);
        sqlite3_close(m_db);
    }
    CApiCardStatements(const CApiCardStatements &) = delete;
    CApiCardStatements &operator=(const CApiCardStatements &) = delete;

    // The statements in the order cardPaintStatements() gives them.
    enum Which { PageByIndex, PageColors, Next, NextWrapped, Previous, PreviousWrapped };

    // Runs a statement with integer values and keeps every row it gives.
    std::vector<Row> run(Which which, std::initializer_list<sqlite3_int64> values)
    {
        sqlite3_stmt *statement = m_statements[std::size_t(which)];
        int position = 1;
        for (sqlite3_int64 value : values)
            sqlite3_bind_int64(statement, position++, value);
        std::vector<Row> rows;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(statement);
            Row row(static_cast<std::size_t>(columns));
            for (int column = 0; column < columns; ++column) {
                switch (sqlite3_column_type(statement, column)) {
                case SQLITE_INTEGER: row[std::size_t(column)] = sqlite3_column_int64(statement, column); break;
                case SQLITE_FLOAT: row[std::size_t(column)] = sqlite3_column_double(statement, column); break;
                case SQLITE_TEXT:
                    row[std::size_t(column)] =
                        std::string(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                    std::size_t(sqlite3_column_bytes(statement, column)));
                    break;
                default: break;
                }
            }
            rows.push_back(std::move(row));
        }
        sqlite3_reset(statement);
        return rows;
    }

    // The first column named `name` of a statement's result.
    int column(Which which, const char *name) const
    {
        sqlite3_stmt *statement = m_statements[std::size_t(which)];
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            if (sqlite3_stricmp(sqlite3_column_name(statement, i), name) == 0)
                return i;
        }
        fail("a statement lacks a column");
        return -1;
    }

private:
    [[noreturn]] static void fail(const char *message)
    {
        std::fprintf(stderr, "%s\n", message);
        std::exit(1);
    }

    sqlite3 *m_db = nullptr;
    std::vector<sqlite3_stmt *> m_statements;
};

// The same work as the engine's paint: the card by index and its colours, then each
// neighbour (wrapping when there is none) and its colours.
void BM_CApiCardRollerPaint(benchmark::State &state)
{
    const int colours = int(state.range(0));
    CApiCardStatements statements(colours);
    const sqlite3_int64 collectionId = DB::CollectionRegistry::instance().collectionId(collectionFor(colours));
    const int idColumn = statements.column(CApiCardStatements::PageByIndex, "ID");
    const int cards = cardCount(colours);
    int pageIndex = cards / 2;
    auto colorsOf = [&](const std::vector<Row> &pages) {
        if (pages.empty())
            return std::size_t(0);
        const sqlite3_int64 pageId = std::get<sqlite3_int64>(pages.front()[std::size_t(idColumn)]);
        return statements.run(CApiCardStatements::PageColors, {collectionId, pageId}).size();
    };
    for (auto _ : state) {
        std::size_t read = colorsOf(statements.run(CApiCardStatements::PageByIndex, {collectionId, pageIndex}));
        for (const auto &[step, wrap] : {std::pair(CApiCardStatements::Next, CApiCardStatements::NextWrapped),
                                         std::pair(CApiCardStatements::Previous, CApiCardStatements::PreviousWrapped)}) {
            std::vector<Row> pages = statements.run(step, {collectionId, pageIndex});
            if (pages.empty())
                pages = statements.run(wrap, {collectionId, pageIndex});
            read += colorsOf(pages);
        }
        benchmark::DoNotOptimize(read);
        pageIndex = pageIndex % cards + 1;
    }
}
BENCHMARK(BM_CApiCardRollerPaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// A plain pass over every candidate with Little CMS 2's CIEDE2000, keeping the first of
// the nearest, for the same targets as the engine's search.
void BM_LcmsNearestScan(benchmark::State &state)
{
    const QVector<DB::LabCandidate> &candidates = randomCandidates(int(state.range(0)));
    const QVector<LabColour> &targets = randomTargets();
    std::vector<cmsCIELab> lab;
    lab.reserve(std::size_t(candidates.size()));
    for (const DB::LabCandidate &candidate : candidates)
        lab.push_back({candidate.l, candidate.a, candidate.b});
    int next = 0;
    int agreed = 0, asked = 0;
    for (auto _ : state) {
        const LabColour &target = targets.at(next);
        next = (next + 1) % int(targets.size());
        clearUpperVectorHalves(); // the same footing as the engine's search
        const cmsCIELab wanted{target.l, target.a, target.b};
        double best = 0.0;
        int bestPlace = -1;
        for (std::size_t i = 0; i < lab.size(); ++i) {
            const double difference = cmsCIE2000DeltaE(&wanted, &lab[i], 1.0, 1.0, 1.0);
            if (bestPlace < 0 || difference < best) {
                best = difference;
                bestPlace = int(i);
            }
        }
        benchmark::DoNotOptimize(bestPlace);
        state.PauseTiming();
        const QVector<ColourMatch> ours = nearestColours(target, candidates, 1);
        agreed += !ours.isEmpty() && ours.first().second == candidates.at(bestPlace).rowId;
        ++asked;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * candidates.size());
    state.counters["same_winner"] = asked ? double(agreed) / asked : 0.0;
}
BENCHMARK(BM_LcmsNearestScan)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace Palettra::Bench
