// The yardsticks the engine is measured against in the same run: the card roller's
// statements through SQLite's C API (and through Qt SQL alone, which shows what the
// driver itself costs), and a plain nearest-colour scan with Little CMS 2.

#include "BenchDecks.h"
#include "BenchInputs.h"

#include "engine/db/CollectionRegistry.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SqlSupport.h"
#include "engine/colour/ColourDifference.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
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

// The card roller's statements, in the order cardPaintStatements() gives them.
enum class CardStatement { PageByIndex, PageColors, Next, NextWrapped, Previous, PreviousWrapped };

// What the paint loop needs of a run: how many rows it gave and the first row's "ID".
struct CardResult
{
    std::size_t rows = 0;
    qint64 firstId = 0;
};

[[noreturn]] void fail(const char *message)
{
    std::fprintf(stderr, "%s\n", message);
    std::exit(1);
}

// One column's value as an application would keep it.
using Value = std::variant<std::monostate, sqlite3_int64, double, std::string>;
using Row = std::vector<Value>;

// The card roller's statements prepared once, through SQLite's C API, on a connection of
// their own.
class CApiCardStatements
{
public:
    CApiCardStatements(int colours, DB::CardStatementForm form)
    {
        const QByteArray file = databaseFile(colours).toUtf8();
        if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            fail("cannot open the benchmark database");
        const QStringList texts = DB::cardPaintStatements(form);
        for (const QString &text : texts) {
            const QByteArray utf8 = text.toUtf8();
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                                   nullptr)
                != SQLITE_OK)
                fail(sqlite3_errmsg(m_db));
            m_statements.push_back(statement);
        }
        // The page statements share one select list: the first "ID" is the card's.
        sqlite3_stmt *page = m_statements[std::size_t(CardStatement::PageByIndex)];
        for (int i = 0; i < sqlite3_column_count(page) && m_idColumn < 0; ++i) {
            if (sqlite3_stricmp(sqlite3_column_name(page, i), "ID") == 0)
                m_idColumn = i;
        }
        if (m_idColumn < 0)
            fail("the card statement lacks its ID");
    }
    ~CApiCardStatements()
    {
        for (sqlite3_stmt *statement : m_statements)
            sqlite3_finalize(statement);
        sqlite3_close(m_db);
    }
    CApiCardStatements(const CApiCardStatements &) = delete;
    CApiCardStatements &operator=(const CApiCardStatements &) = delete;

    // Runs a statement with integer values and keeps every row it gives.
    CardResult run(CardStatement which, std::initializer_list<qint64> values)
    {
        sqlite3_stmt *statement = m_statements[std::size_t(which)];
        int position = 1;
        for (qint64 value : values)
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
        CardResult result{rows.size(), 0};
        if (!rows.empty() && std::holds_alternative<sqlite3_int64>(rows.front()[std::size_t(m_idColumn)]))
            result.firstId = std::get<sqlite3_int64>(rows.front()[std::size_t(m_idColumn)]);
        return result;
    }

private:
    sqlite3 *m_db = nullptr;
    std::vector<sqlite3_stmt *> m_statements;
    int m_idColumn = -1;
};

// The same statements through Qt SQL alone: prepared once, forward-only, every value
// kept as the driver hands it over, and no record built. What the engine costs beyond
// this is its own.
class QtSqlCardStatements
{
public:
    explicit QtSqlCardStatements(int colours)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(DB::SqlDriverName), ConnectionName);
        db.setConnectOptions(QLatin1String(DB::ReadOnlyConnectOptions));
        db.setDatabaseName(databaseFile(colours));
        if (!db.open())
            fail("cannot open the benchmark database");
        for (const QString &text : DB::cardPaintStatements()) {
            m_queries.emplace_back(db);
            m_queries.back().setForwardOnly(true);
            if (!m_queries.back().prepare(text))
                fail("a card statement does not prepare");
        }
    }
    ~QtSqlCardStatements()
    {
        m_queries.clear();
        QSqlDatabase::removeDatabase(ConnectionName);
    }
    QtSqlCardStatements(const QtSqlCardStatements &) = delete;
    QtSqlCardStatements &operator=(const QtSqlCardStatements &) = delete;

    CardResult run(CardStatement which, std::initializer_list<qint64> values)
    {
        QSqlQuery &query = m_queries[std::size_t(which)];
        int position = 0;
        for (qint64 value : values)
            query.bindValue(position++, value);
        std::vector<QVector<QVariant>> rows;
        int idColumn = -1;
        if (query.exec()) {
            const QSqlRecord record = query.record();
            const int columns = record.count();
            idColumn = record.indexOf(QStringLiteral("ID"));
            while (query.next()) {
                QVector<QVariant> row(columns);
                for (int column = 0; column < columns; ++column)
                    row[column] = query.value(column);
                rows.push_back(std::move(row));
            }
        }
        query.finish();
        CardResult result{rows.size(), 0};
        if (!rows.empty() && idColumn >= 0)
            result.firstId = rows.front().at(idColumn).toLongLong();
        return result;
    }

private:
    static constexpr const char *ConnectionName = "qt-sql-baseline";
    std::vector<QSqlQuery> m_queries;
};

// The same work as the engine's paint: the card by index and its colours, then each
// neighbour (wrapping when there is none) and its colours.
template<typename Statements>
void runCardRollerPaint(benchmark::State &state, Statements &statements)
{
    const int colours = int(state.range(0));
    const qint64 collectionId = DB::CollectionRegistry::instance().collectionId(collectionFor(colours));
    const int cards = cardCount(colours);
    int pageIndex = cards / 2;
    auto colorsOf = [&](const CardResult &page) {
        return page.rows == 0 ? std::size_t(0)
                              : statements.run(CardStatement::PageColors, {collectionId, page.firstId}).rows;
    };
    std::size_t total = 0;
    for (auto _ : state) {
        std::size_t read = colorsOf(statements.run(CardStatement::PageByIndex, {collectionId, pageIndex}));
        for (const auto &[step, wrap] : {std::pair(CardStatement::Next, CardStatement::NextWrapped),
                                         std::pair(CardStatement::Previous, CardStatement::PreviousWrapped)}) {
            CardResult page = statements.run(step, {collectionId, pageIndex});
            if (page.rows == 0)
                page = statements.run(wrap, {collectionId, pageIndex});
            read += colorsOf(page);
        }
        benchmark::DoNotOptimize(read);
        total += read;
        pageIndex = pageIndex % cards + 1;
    }
    state.counters["colours"] = double(total) / double(state.iterations());
}

// On the statements the engine runs.
void BM_CApiCardRollerPaint(benchmark::State &state)
{
    CApiCardStatements statements(int(state.range(0)), DB::CardStatementForm::Narrow);
    runCardRollerPaint(state, statements);
}
BENCHMARK(BM_CApiCardRollerPaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// On the plain "SELECT *" statements the engine's narrow ones stand for.
void BM_CApiPlainCardRollerPaint(benchmark::State &state)
{
    CApiCardStatements statements(int(state.range(0)), DB::CardStatementForm::Plain);
    runCardRollerPaint(state, statements);
}
BENCHMARK(BM_CApiPlainCardRollerPaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The engine's statements through Qt SQL with no records built.
void BM_QtSqlCardRollerPaint(benchmark::State &state)
{
    QtSqlCardStatements statements(int(state.range(0)));
    runCardRollerPaint(state, statements);
}
BENCHMARK(BM_QtSqlCardRollerPaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

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
