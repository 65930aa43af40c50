// What the tab pages cost per paint: the textures tab tints every tile at every paint,
// the trend-groups tab lays its chips out whenever a group opens or the tab is shown.

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/palette/PaletteImport.h"
#include "engine/widgets/ProspectWidget.h"
#include "engine/widgets/TexturesLayout.h"
#include "engine/widgets/TexturesWidget.h"
#include "tools/deck/CompleteDatabase.h"
#include "tools/deck/DeckWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const QUuid Collection(QStringLiteral("{7a000000-0000-4000-8000-000000000001}"));

QByteArray noisyTexture(const QSize &size, quint32 seed)
{
    QImage image(size, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int grey = 120 + int(random.bounded(100));
            image.setPixel(x, y, qRgb(grey, grey, grey));
        }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// One card of seven chips with nine textures, and one open trend group of 60 colours.
QString writeDeck(const QString &folder)
{
    const QString file = folder + QStringLiteral("/Contents/Resources/tabs.db");
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (const QString error = Palettra::Deck::createCompleteDatabase(file); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-tabs"));
        db.setDatabaseName(file);
        db.open();
        Palettra::Deck::DeckWriter w(db);
        const qint64 id = w.addCollection(Collection, QStringLiteral("TABS"), QStringLiteral("Tabs"), 1);
        w.addSetting(id, QStringLiteral("card.type"), QStringLiteral("normal"));
        const qint64 page = w.addPage(id, 1, 1, QStringLiteral("Card"));
        for (int r = 1; r <= 7; ++r) {
            Palettra::Deck::RowSpec row;
            row.rowIndex = r;
            row.code = QStringLiteral("T-%1").arg(r);
            row.rgb = QColor(30 * r, 120, 200 - 20 * r);
            w.addRow(id, page, row);
        }
        for (int t = 0; t < 9; ++t) {
            const qint64 texture = w.exec(QStringLiteral("INSERT INTO TEXTURE(COLLECTION_ID, NAME, IMAGE, BASE_ALPHA) VALUES(0, ?, ?, 0.8)"),
                                          {QStringLiteral("Texture %1").arg(t), noisyTexture(QSize(148, 96), quint32(t + 1))});
            w.exec(QStringLiteral("INSERT INTO TEXTURE_MAP(TEXTURE_ID, PAGE_ID, ALPHA, NAME) VALUES(?, ?, 0.8, ?)"),
                   {texture, page, QStringLiteral("Texture %1").arg(t)});
        }
        const qint64 group = w.exec(QStringLiteral("INSERT INTO PROSPECT_GROUP(COLLECTION_ID, NAME, DEFAULT_OPEN, \"ORDER\") "
                                                   "VALUES(?, 'Forecast', 1, 1)"),
                                    {id});
        for (int e = 0; e < 60; ++e)
            w.exec(QStringLiteral("INSERT INTO PROSPECT_ENTRY(COLLECTION_ID, PROSPECT_GROUP_ID, NAME_1, NAME_2, RED, GREEN, BLUE, "
                                  "\"ORDER\") VALUES(?, ?, ?, ?, ?, ?, ?, ?)"),
                   {id, group, QStringLiteral("Trend colour %1").arg(e), QStringLiteral("Forecast 27-%1").arg(e), 4 * e, 100, 200 - 3 * e, e});
        if (!w.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(w.lastError()));
            std::exit(1);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-tabs"));
    return file;
}

void BM_TexturesTabPaint(benchmark::State &state)
{
    Vantor::TexturesWidget tab;
    tab.resize(564, 226);
    tab.layOut();
    Vantor::TexturesViewport *viewport = tab.texturesViewport();
    if (viewport->tiles().size() != 9) {
        state.SkipWithError("the card does not offer nine textures");
        return;
    }
    QImage canvas(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&canvas);
        viewport->render(&painter);
    }
}
BENCHMARK(BM_TexturesTabPaint)->Unit(benchmark::kMillisecond);

// The tint alone, for one tile.
void BM_TintOneTile(benchmark::State &state)
{
    QImage texture;
    texture.loadFromData(noisyTexture(QSize(148, 96), 7));
    for (auto _ : state)
        benchmark::DoNotOptimize(Vantor::tintTexture(texture, QColor(200, 120, 40), 0.8));
}
BENCHMARK(BM_TintOneTile)->Unit(benchmark::kMicrosecond);

void BM_TrendTabLayout(benchmark::State &state)
{
    Vantor::ProspectWidget tab;
    tab.resize(564, 226);
    tab.layOut();
    Vantor::ProspectViewport *viewport = tab.prospectViewport();
    if (viewport->currentLayout().groups.size() != 1 || viewport->currentLayout().groups.first().entries.size() != 60) {
        state.SkipWithError("the trend group does not hold 60 open chips");
        return;
    }
    for (auto _ : state)
        viewport->layOut();
}
BENCHMARK(BM_TrendTabLayout)->Unit(benchmark::kMicrosecond);

// Loading a palette file just under the 4 MiB that palette files may have, which repeats
// the 24 cells over and over with chips of the deck (the last of each resolving).
void BM_LoadRepeatedPaletteFile(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("repeated.palette"));
    QByteArray text = "<orva-palette version=\"3.0\" system=\"multi-collection\"><description>Repeated</description><chips>";
    const QByteArray end = "</chips></orva-palette>";
    int chips = 0;
    for (int cell = 0; text.size() + end.size() < 4 * 1024 * 1024 - 200; cell = (cell + 1) % 24, ++chips) {
        const int chip = 1 + chips % 7;
        text += QStringLiteral("<chip row=\"%1\" col=\"%2\"><entry uuid-of-collection=\"%3\" page-index=\"1\" "
                               "row-index=\"%4\" color-code=\"T-%4\"/></chip>")
                    .arg(cell / 6).arg(cell % 6).arg(Collection.toString()).arg(chip)
                    .toUtf8();
    }
    text += end;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        state.SkipWithError("cannot write the palette file");
        return;
    }
    file.close();
    for (auto _ : state) {
        Vantor::MyPaletteModel palette;
        const Vantor::PaletteImport imported = Vantor::importPalette(path, QUuid());
        if (!imported.succeeded()) {
            state.SkipWithError("the palette file does not load");
            return;
        }
        Vantor::fillPalette(palette, imported);
    }
    state.counters["chips"] = chips;
    state.counters["bytes"] = double(text.size());
}
BENCHMARK(BM_LoadRepeatedPaletteFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication application(argc, argv);
    QTemporaryDir folder;
    writeDeck(folder.path());
    if (Vantor::startEngine(QString(), folder.path()) != Vantor::StartupOk) {
        std::fprintf(stderr, "the benchmark deck does not start\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
