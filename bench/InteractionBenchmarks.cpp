// What a user feels: the whole main widget on the offscreen platform, driven by real
// events on collections of 1,000 and 100,000 colours (one deck built by palettra-db from
// generated colours, kept between runs). Each case runs from the event to the end of the
// repaint it causes: the event loop drained, update requests included.
// Run: build/bench/palettra_interaction_bench [--benchmark_repetitions=5]

#include "BenchSources.h"
#include "RatioReporter.h"

#include "engine/EngineStartup.h"
#include "engine/db/SqlSupport.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/palette/PictureReads.h"
#include "engine/ui/MainWidget.h"
#include "engine/ui/TabBarWidget.h"
#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/ColorWheelWidget.h"
#include "engine/widgets/ImageButton.h"
#include "engine/widgets/SearchWidget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QWheelEvent>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <memory>

using namespace Vantor;

namespace {

const QUuid SmallCollection(QStringLiteral("{5b000000-0000-4000-8000-000000001000}"));
const QUuid LargeCollection(QStringLiteral("{5b000000-0000-4000-8000-000000100000}"));

MainWidget *mainWidget = nullptr;
QString paletteFile;

const QUuid &collectionFor(int colours)
{
    return colours >= 100000 ? LargeCollection : SmallCollection;
}

// The end of every case: what the event queued, including the update requests of the
// widgets it changed, whose delivery repaints their dirty parts and flushes the window.
void drawn()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

// Until what a switch starts on other threads (the search index, the completions) is
// done, so that a case does not share the processor with it.
void settle()
{
    DB::backgroundReads().waitForDone();
    QTest::qWait(300);
}

void showCollection(const QUuid &collection)
{
    emit mainWidget->collectionSelectWidget()->collectionSelectedInteractively(collection);
    drawn();
}

// Runs `action` (which sends the events) timed, then the picture; `between`, untimed,
// readies the next round.
void measure(benchmark::State &state, const std::function<void(int)> &action, const std::function<void(int)> &between = {})
{
    showCollection(collectionFor(int(state.range(0))));
    settle();
    // Once untimed: what is read at the first use after a switch (colour tables, the
    // layout for nearest-colour searches) is not what the case measures.
    action(-1);
    drawn();
    if (between)
        between(-1);
    int round = 0;
    for (auto _ : state) {
        action(round);
        drawn();
        if (between) {
            state.PauseTiming();
            between(round);
            state.ResumeTiming();
        }
        ++round;
    }
}

void BM_WheelStep(benchmark::State &state)
{
    measure(state, [](int round) { QTest::keyClick(mainWidget->colorWheelWidget(), round % 2 ? Qt::Key_Left : Qt::Key_Right); });
}

void BM_CardRollByWheel(benchmark::State &state)
{
    measure(state, [](int round) {
        CardRollerWidget *roller = mainWidget->cardRollerWidget();
        const QPointF at(roller->width() / 2.0, roller->height() / 2.0);
        QWheelEvent wheel(at, roller->mapToGlobal(at), QPoint(), QPoint(0, round % 2 ? 120 : -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(roller, &wheel);
    });
}

void BM_CardRollByClick(benchmark::State &state)
{
    measure(state, [](int round) {
        CardRollerWidget *roller = mainWidget->cardRollerWidget();
        const QRect side = roller->currentLayout().cards[round % 2 ? 0 : 2];
        QTest::mouseClick(roller, Qt::LeftButton, Qt::NoModifier, side.center());
    });
}

void BM_ChipClick(benchmark::State &state)
{
    measure(state, [&state](int round) {
        const QVector<QRect> &chips = mainWidget->cardRollerWidget()->paintedChips(1);
        if (chips.isEmpty()) {
            state.SkipWithError("the current card shows no chips");
            return;
        }
        QTest::mouseClick(mainWidget->cardRollerWidget(), Qt::LeftButton, Qt::NoModifier,
                          chips.at(int((round + chips.size()) % chips.size())).center());
    });
}

// The phrase is typed untimed; the case is the Enter.
void searchCase(benchmark::State &state, const std::function<QString(int code)> &phrase)
{
    const int colours = int(state.range(0));
    auto type = [&](int round) {
        QLineEdit *field = mainWidget->searchWidget()->lineEdit();
        field->setFocus();
        field->clear();
        QTest::keyClicks(field, phrase(1 + (round * 7919 + 13) % colours));
        // What the typing itself asked for (the list of matches, its picture) is not
        // the search's.
        DB::backgroundReads().waitForDone();
        drawn();
    };
    showCollection(collectionFor(colours));
    settle();
    // Once untimed: what the first search of a kind reads (the colour table for the
    // nearest chip) is not what the case measures.
    type(0);
    QTest::keyClick(mainWidget->searchWidget()->lineEdit(), Qt::Key_Return);
    drawn();
    type(0);
    int round = 0;
    for (auto _ : state) {
        QTest::keyClick(mainWidget->searchWidget()->lineEdit(), Qt::Key_Return);
        drawn();
        state.PauseTiming();
        type(++round);
        state.ResumeTiming();
    }
}

void BM_SearchExactCode(benchmark::State &state)
{
    searchCase(state, [](int code) { return QStringLiteral("G %1").arg(code, 6, 10, QLatin1Char('0')); });
}

void BM_SearchForgiving(benchmark::State &state)
{
    searchCase(state, [](int code) { return QStringLiteral("g-%1").arg(code, 6, 10, QLatin1Char('0')); });
}

// A name with a slip of the fingers: every entry of the collection is weighed.
void BM_SearchSpelling(benchmark::State &state)
{
    searchCase(state, [](int code) { return QStringLiteral("Coluor %1").arg(code); });
}

// The forms designers paste that the exact search does not know: a hex value without
// its "#", Lab and RGB values with their names as words, and a name's words in another
// order.
void BM_SearchBareHex(benchmark::State &state)
{
    searchCase(state, [](int code) { return QStringLiteral("%1").arg(0x102030 + code * 37, 6, 16, QLatin1Char('0')); });
}

void BM_SearchLabWords(benchmark::State &state)
{
    searchCase(state, [](int code) { return QStringLiteral("Lab %1 %2 -%3").arg(20 + code % 70).arg(code % 50).arg(code % 40); });
}

void BM_SearchRgbWords(benchmark::State &state)
{
    searchCase(state, [](int code) { return QStringLiteral("RGB %1 %2 %3").arg(code % 256).arg((code * 7) % 256).arg((code * 13) % 256); });
}

void BM_SearchWordsInAnotherOrder(benchmark::State &state)
{
    searchCase(state, [](int code) { return QStringLiteral("%1 colour").arg(code); });
}

// A tab shown by a click on it, from the tab before it in the deck's order (schemes,
// products, trends, textures).
void tabCase(benchmark::State &state, int tab)
{
    static const TabBarPage pages[] = {PageOfColorSchemes, PageOfProducts, PageOfProspect, PageOfTextures};
    TabBarWidget *bar = mainWidget->tabBarWidget();
    auto show = [bar](int index) {
        const QRect place = bar->tabRect(pages[(index + 4) % 4]);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, place.center());
    };
    showCollection(collectionFor(int(state.range(0))));
    if (bar->tabRect(pages[tab]).isEmpty()) {
        state.SkipWithError("the collection offers no such tab");
        return;
    }
    show(tab - 1);
    drawn();
    measure(state, [&](int) { show(tab); }, [&](int) {
        show(tab - 1);
        drawn();
    });
}

void BM_TabSchemes(benchmark::State &state) { tabCase(state, 0); }
void BM_TabProducts(benchmark::State &state) { tabCase(state, 1); }
void BM_TabTrends(benchmark::State &state) { tabCase(state, 2); }
void BM_TabTextures(benchmark::State &state) { tabCase(state, 3); }

// To the collection of that size from the other one.
void BM_CollectionSwitch(benchmark::State &state)
{
    const QUuid &to = collectionFor(int(state.range(0)));
    const QUuid &from = to == LargeCollection ? SmallCollection : LargeCollection;
    showCollection(from);
    for (auto _ : state) {
        emit mainWidget->collectionSelectWidget()->collectionSelectedInteractively(to);
        drawn();
        state.PauseTiming();
        showCollection(from);
        settle();
        state.ResumeTiming();
    }
}

// The first key typed into the search field right after the switch's repaint, to the
// completion list drawn: the completions are read away from the interface meanwhile.
void BM_FirstCompletionAfterSwitch(benchmark::State &state)
{
    const QUuid &to = collectionFor(int(state.range(0)));
    const QUuid &from = to == LargeCollection ? SmallCollection : LargeCollection;
    QLineEdit *field = mainWidget->searchWidget()->lineEdit();
    for (auto _ : state) {
        state.PauseTiming();
        showCollection(from);
        field->clearFocus();
        field->clear();
        drawn();
        emit mainWidget->collectionSelectWidget()->collectionSelectedInteractively(to);
        drawn();
        field->setFocus();
        state.ResumeTiming();
        QTest::keyClick(field, Qt::Key_G);
        drawn();
        if (mainWidget->searchWidget()->completionList()->count() == 0)
            state.SkipWithError("no completion shown");
    }
}

void BM_PaletteLoad(benchmark::State &state)
{
    measure(state, [](int) { mainWidget->myPaletteWidget()->loadPalette(paletteFile); });
}

void BM_FullViewOpened(benchmark::State &state)
{
    measure(state, [](int) { QTest::mouseClick(mainWidget->myPaletteWidget()->zoomButton(), Qt::LeftButton); },
            [](int) {
                // Let the opening finish, then leave the full view.
                QTest::qWait(300);
                QTest::keyClick(mainWidget, Qt::Key_Escape);
                QTest::qWait(300);
            });
}

bool buildDeck(const QString &folder)
{
    const QString database = folder + QStringLiteral("/Contents/Resources/interaction.db");
    if (QFile::exists(database))
        return true;
    QTemporaryDir source;
    QDir().mkpath(folder + QStringLiteral("/Contents/Resources"));
    if (!source.isValid()
        || !Palettra::Bench::writeGeneratedSource(source.path(),
                                                  {{QStringLiteral("small"), SmallCollection, 1000},
                                                   {QStringLiteral("large"), LargeCollection, 100000}},
                                                  true))
        return false;
    std::fprintf(stderr, "Building the benchmark deck (about a minute, once)...\n");
    QProcess build;
    build.start(QStringLiteral(PALETTRA_DB_PROGRAM), {QStringLiteral("build"), source.path(), database + QStringLiteral(".partial")});
    if (!build.waitForFinished(-1) || build.exitCode() != 0) {
        std::fprintf(stderr, "%s", build.readAllStandardError().constData());
        return false;
    }
    return QFile::rename(database + QStringLiteral(".partial"), database);
}

// A 6,000 x 6,000 picture with a photo's sensor noise, stored with little compression:
// its read takes seconds.
QString writeLargePicture(const QString &folder)
{
    const QString file = folder + QStringLiteral("/large.png");
    QImage picture(6000, 6000, QImage::Format_RGB32);
    quint32 noise = 11;
    for (int y = 0; y < picture.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            line[x] = qRgb(qBound(0, x / 24 + grain, 255), qBound(0, y / 24 + grain, 255), qBound(0, 128 + grain, 255));
        }
    }
    return picture.save(file, "PNG", 90) ? file : QString();
}
QString largePicture;

// The host tears a picker down while a large picture is read into its palette: the
// teardown (the main widget deleted, deferred deletions done) does not wait for the
// read, which stops soon after, as the counter says.
void BM_TeardownDuringPictureRead(benchmark::State &state)
{
    double stopped = 0.0;
    for (auto _ : state) {
        MainWidget *self = nullptr;
        auto *picker = new MainWidget(&self);
        picker->myPaletteWidget()->loadPaletteFrom(PaletteFileXml, largePicture);
        QThread::msleep(150); // well into the decode
        QElapsedTimer timer;
        timer.start();
        delete picker;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        timer.restart();
        waitForPictureReads();
        stopped += double(timer.nsecsElapsed()) / 1e6;
    }
    state.counters["read stops after ms"] = stopped / double(state.iterations());
}

// A GIMP palette of 24 colours, each found as a chip of the current collection.
QString writePalette(const QString &folder)
{
    const QString file = folder + QStringLiteral("/24-chips.gpl");
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write("GIMP Palette\nName: Twenty-four\n#\n");
    for (int i = 0; i < 24; ++i)
        out.write(QStringLiteral("%1 %2 %3\tColour %4\n").arg(10 * i).arg(200 - 7 * i).arg((37 * i) % 256).arg(i).toUtf8());
    return file;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const QString named = qEnvironmentVariable("PALETTRA_BENCH_DATA");
    const QString folder = (named.isEmpty() ? QDir::tempPath() + QStringLiteral("/palettra-bench-v2") : named)
        + QStringLiteral("/interaction");
    if (!buildDeck(folder) || startEngine(QString(), folder) != StartupOk) {
        std::fprintf(stderr, "cannot prepare the benchmark deck in %s\n", qPrintable(folder));
        return 1;
    }
    paletteFile = writePalette(home.path());
    largePicture = writeLargePicture(home.path());
    MainWidget *self = nullptr;
    auto widget = std::make_unique<MainWidget>(&self);
    mainWidget = widget.get();
    widget->resize(800, 600);
    widget->show();
    drawn();

    // Cases with untimed work between the rounds (typing, switching back, closing the
    // full view) run a fixed number of rounds; the others until 0.3 s have been timed.
    struct Case
    {
        const char *name;
        void (*function)(benchmark::State &);
        int rounds; // 0: by time
    };
    const Case cases[] = {
        {"BM_WheelStep", BM_WheelStep, 0},
        {"BM_CardRollByWheel", BM_CardRollByWheel, 0},
        {"BM_CardRollByClick", BM_CardRollByClick, 0},
        {"BM_ChipClick", BM_ChipClick, 0},
        {"BM_SearchExactCode", BM_SearchExactCode, 30},
        {"BM_SearchForgiving", BM_SearchForgiving, 30},
        {"BM_SearchSpelling", BM_SearchSpelling, 30},
        {"BM_SearchBareHex", BM_SearchBareHex, 30},
        {"BM_SearchLabWords", BM_SearchLabWords, 30},
        {"BM_SearchRgbWords", BM_SearchRgbWords, 30},
        {"BM_SearchWordsInAnotherOrder", BM_SearchWordsInAnotherOrder, 30},
        {"BM_TabSchemes", BM_TabSchemes, 30},
        {"BM_TabProducts", BM_TabProducts, 30},
        {"BM_TabTrends", BM_TabTrends, 30},
        {"BM_TabTextures", BM_TabTextures, 30},
        {"BM_CollectionSwitch", BM_CollectionSwitch, 8},
        {"BM_FirstCompletionAfterSwitch", BM_FirstCompletionAfterSwitch, 8},
        {"BM_PaletteLoad", BM_PaletteLoad, 0},
        {"BM_FullViewOpened", BM_FullViewOpened, 10},
    };
    std::vector<Palettra::Bench::Ratio> ratios;
    std::vector<Palettra::Bench::TimeLimit> limits;
    for (const Case &each : cases) {
        auto *registered = benchmark::RegisterBenchmark(each.name, each.function)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
        if (each.rounds > 0)
            registered->Iterations(each.rounds);
        else
            registered->MinTime(0.3);
        const std::string base(each.name);
        const bool isSwitch = base == "BM_CollectionSwitch";
        const bool isFirstCompletion = base == "BM_FirstCompletionAfterSwitch";
        const bool isSpelling = base == "BM_SearchSpelling";
        ratios.push_back({base.substr(3) + " 100,000 / 1,000", base + "/100000", base + "/1000", "", 1.5});
        limits.push_back({base.substr(3) + " at 100,000 colours", base + "/100000",
                          isSwitch ? 16.0 : isFirstCompletion ? 50.0 : isSpelling ? 30.0 : 8.0});
    }
    // Last: it makes and deletes a main widget of its own.
    benchmark::RegisterBenchmark("BM_TeardownDuringPictureRead", BM_TeardownDuringPictureRead)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    limits.push_back({"teardown while a 36-megapixel PNG is read", "BM_TeardownDuringPictureRead", 100.0});
    Palettra::Bench::RatioReporter reporter(
        ratios, limits,
        {{"a cancelled read of a 36-megapixel PNG stops within", "BM_TeardownDuringPictureRead", "read stops after ms", 100.0,
          "ms"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    widget.reset();
    return 0;
}
