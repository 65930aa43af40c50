// Palettes of other tools against the 1,000-colour collection: palettra-db match over a
// file of 20,000 colours (process start and output included), the import of a 4 MiB GIMP
// palette into My Palette, and the Capsure look-up of a file of 20,001 measured objects.

#include "BenchDecks.h"

#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/palette/CapsureImport.h"
#include "engine/palette/ExchangeColours.h"
#include "engine/palette/PaletteExchange.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace Palettra::Bench {

namespace {

QTemporaryDir &files()
{
    static QTemporaryDir folder;
    return folder;
}

QString write(const QString &name, const QByteArray &bytes)
{
    const QString path = files().filePath(name);
    QFile out(path);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    out.write(bytes);
    return path;
}

QByteArray randomGimpPalette(qint64 bytes, int colours)
{
    QRandomGenerator random(7);
    QByteArray text = "GIMP Palette\nName: Bench\n";
    for (int i = 0; (colours < 0 || i < colours) && (bytes < 0 || text.size() < bytes - 40); ++i) {
        const quint32 rgb = random.generate();
        text += QByteArray::number(rgb & 0xff) + ' ' + QByteArray::number((rgb >> 8) & 0xff) + ' '
            + QByteArray::number((rgb >> 16) & 0xff) + " Colour " + QByteArray::number(i) + '\n';
    }
    return text;
}

// A database folder that holds the 1,000-colour collection alone.
QString smallOnlyFolder()
{
    static QTemporaryDir base;
    static const bool linked = QDir().mkpath(base.filePath(QStringLiteral("Contents/Resources")))
        && QFile::link(databaseFile(1000), base.filePath(QStringLiteral("Contents/Resources/small.db")));
    return linked ? base.path() : QString();
}

// palettra-db on a folder that holds the small collection only.
void BM_MatchTool(benchmark::State &state)
{
    const int colours = int(state.range(0));
    const QString palette = write(QStringLiteral("match.gpl"), randomGimpPalette(-1, colours));
    const QString base = smallOnlyFolder();
    for (auto _ : state) {
        QProcess tool;
        tool.start(QStringLiteral(PALETTRA_DB_PROGRAM), {QStringLiteral("--base"), base, QStringLiteral("match"),
                                                          SmallCollection.toString(), palette});
        if (!tool.waitForFinished(300000) || tool.exitCode() != 0) {
            state.SkipWithError("palettra-db match failed");
            return;
        }
        if (tool.readAllStandardOutput().count('\n') != colours) {
            state.SkipWithError("palettra-db match left out colours");
            return;
        }
    }
    state.counters["colours_per_second"] = benchmark::Counter(double(state.iterations()) * colours, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MatchTool)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ImportLargeGimpPalette(benchmark::State &state)
{
    const QString palette = write(QStringLiteral("large.gpl"), randomGimpPalette(Vantor::MaximumExchangeFileSize, -1));
    Vantor::DB::loadOrderLists(SmallCollection);
    for (auto _ : state) {
        const Vantor::ExchangeImport imported = Vantor::importExchangeColours(palette, SmallCollection);
        if (imported.chips.size() != 24) {
            state.SkipWithError("the palette was not filled");
            return;
        }
    }
}
BENCHMARK(BM_ImportLargeGimpPalette)->Unit(benchmark::kMillisecond);

void BM_CapsureLargeMeasurement(benchmark::State &state)
{
    QByteArray cxf = "<?xml version=\"1.0\"?><cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Resources>"
                     "<cc:ObjectCollection>";
    for (int i = 0; i < 20001; ++i)
        cxf += QStringLiteral("<cc:Object ObjectType=\"Standard\" Name=\"C%1\" Id=\"o%2\"/>")
                   .arg(i % 25, 6, 10, QLatin1Char('0'))
                   .arg(i)
                   .toUtf8();
    cxf += "</cc:ObjectCollection></cc:Resources></cc:CxF>";
    const QString path = write(QStringLiteral("measured.cxf"), cxf);
    // Measurements are looked up across the first collection file: here the small one.
    auto &registry = Vantor::DB::CollectionRegistry::instance();
    registry.setBaseFolder(smallOnlyFolder());
    registry.enumerateCollections(true);
    Vantor::DB::loadOrderLists(SmallCollection);
    for (auto _ : state) {
        const QVector<Vantor::DB::ColorEntry> matches = Vantor::capsureMatches(Vantor::capsureMeasurementNames(path));
        if (matches.size() != 25) {
            state.SkipWithError("the measured names were not found");
            break;
        }
    }
    prepareDatabases();
}
BENCHMARK(BM_CapsureLargeMeasurement)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace Palettra::Bench
