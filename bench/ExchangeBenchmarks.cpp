// Palettes of other tools against the 1,000-colour collection: palettra-db match over a
// file of 20,000 colours (process start and output included), the import of a 4 MiB GIMP
// palette into My Palette, and the Capsure look-up of a file of 20,001 measured objects.
// A palette from a 24-megapixel JPEG photo, decode included, against both collections;
// the same as PNG beside a plain libpng decode of it, and the peak memory of a 16-bit PNG
// read row by row.

#include "BenchDecks.h"
#include "BenchSources.h"

#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/colour/CapsureImport.h"
#include "engine/palette/ExchangeColours.h"
#include "engine/colour/ImagePalette.h"
#include "engine/palette/PaletteExchange.h"
#include "engine/palette/PaletteImport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

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
        const Vantor::PaletteImport imported = Vantor::importPalette(palette, SmallCollection);
        if (imported.cells.size() != 24) {
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

// A 6,000 x 4,000 picture with what makes a photo costly to decode: broad areas of
// colour, fine detail and sensor noise everywhere (about 9 MB as JPEG at quality 90).
QString photoFile()
{
    static const QString path = [] {
        QImage photo(6000, 4000, QImage::Format_RGB32);
        QPainter painter(&photo);
        QLinearGradient sky(0, 0, 0, 4000);
        sky.setColorAt(0.0, QColor(120, 160, 210));
        sky.setColorAt(0.55, QColor(225, 215, 190));
        sky.setColorAt(1.0, QColor(90, 70, 50));
        painter.fillRect(photo.rect(), sky);
        QRandomGenerator random(11);
        for (int i = 0; i < 3000; ++i) {
            const QColor colour = QColor::fromHsv(random.bounded(360), random.bounded(40, 200), random.bounded(60, 240));
            painter.setBrush(colour);
            painter.setPen(colour.darker(130));
            painter.drawEllipse(QPoint(random.bounded(6000), random.bounded(4000)), random.bounded(10, 160), random.bounded(10, 120));
        }
        painter.end();
        for (int y = 0; y < photo.height(); ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
            for (int x = 0; x < photo.width(); ++x) {
                const int noise = int(random.bounded(17)) - 8;
                line[x] = qRgb(qBound(0, qRed(line[x]) + noise, 255), qBound(0, qGreen(line[x]) + noise, 255),
                               qBound(0, qBlue(line[x]) + noise, 255));
            }
        }
        const QString file = files().filePath(QStringLiteral("photo.jpg"));
        photo.save(file, "JPEG", 90);
        // The same photo as PNG, which decodes whole before it is scaled; and at 16 bits,
        // 192 MB decoded, which is read row by row.
        photo.save(files().filePath(QStringLiteral("photo.png")), "PNG");
        photo.convertToFormat(QImage::Format_RGBX64).save(files().filePath(QStringLiteral("photo16.png")), "PNG");
        return file;
    }();
    return path;
}

void BM_PhotoPalette(benchmark::State &state)
{
    const QUuid collection = state.range(0) == 1000 ? SmallCollection : LargeCollection;
    const QString photo = photoFile();
    Vantor::DB::loadOrderLists(collection);
    for (auto _ : state) {
        const Vantor::PaletteImport imported = Vantor::importPalette(photo, collection);
        if (!imported.succeeded()) {
            state.SkipWithError("the photo gave no palette");
            return;
        }
    }
    state.counters["megabytes"] = double(QFileInfo(photo).size()) / 1e6;
}
BENCHMARK(BM_PhotoPalette)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PhotoPalettePng(benchmark::State &state)
{
    const QString photo = QFileInfo(photoFile()).dir().filePath(QStringLiteral("photo.png"));
    Vantor::DB::loadOrderLists(LargeCollection);
    for (auto _ : state) {
        const Vantor::PaletteImport imported = Vantor::importPalette(photo, LargeCollection);
        if (!imported.succeeded()) {
            state.SkipWithError("the PNG photo gave no palette");
            return;
        }
    }
    state.counters["megabytes"] = double(QFileInfo(photo).size()) / 1e6;
}
BENCHMARK(BM_PhotoPalettePng)->Unit(benchmark::kMillisecond);

// Decodes the PNG in `file` row by row into one row's memory; false when libpng fails.
// Nothing here may need a destructor: libpng's errors jump back to the setjmp.
bool decodePlainPng(FILE *file, png_bytep row, png_size_t rowCapacity)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    if (png_get_rowbytes(png, info) > rowCapacity)
        png_longjmp(png, 1);
    const png_uint_32 height = png_get_image_height(png, info);
    for (png_uint_32 y = 0; y < height; ++y)
        png_read_row(png, row, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// The yardstick of the PNG palette: the same file decoded by libpng alone, with no
// transformation.
void BM_PlainPngDecode(benchmark::State &state)
{
    const QString photo = QFileInfo(photoFile()).dir().filePath(QStringLiteral("photo.png"));
    std::vector<png_byte> row(6000 * 8);
    for (auto _ : state) {
        FILE *file = std::fopen(QFile::encodeName(photo).constData(), "rb");
        const bool decoded = file && decodePlainPng(file, row.data(), row.size());
        if (file)
            std::fclose(file);
        if (!decoded) {
            state.SkipWithError("libpng could not decode the PNG photo");
            return;
        }
        benchmark::DoNotOptimize(row.data());
    }
}
BENCHMARK(BM_PlainPngDecode)->Unit(benchmark::kMillisecond);

// The 16-bit PNG through palettra-db match, in a process of its own: the peak memory.
void BM_LargePngPalette(benchmark::State &state)
{
    const QString photo = QFileInfo(photoFile()).dir().filePath(QStringLiteral("photo16.png"));
    const QString base = smallOnlyFolder();
    double resident = 0.0;
    for (auto _ : state) {
        const ToolRun run = runPalettraDb({QStringLiteral("--base"), base, QStringLiteral("match"), SmallCollection.toString(), photo});
        if (!run.ok) {
            state.SkipWithError("palettra-db match failed on the 16-bit PNG");
            return;
        }
        state.SetIterationTime(run.seconds);
        resident = std::max(resident, run.residentBytes);
    }
    state.counters["peak resident MiB"] = resident / (1024.0 * 1024.0);
}
BENCHMARK(BM_LargePngPalette)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace Palettra::Bench
