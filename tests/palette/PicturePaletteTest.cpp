// Palettes from pictures: the dominant colours of generated pictures with known areas,
// on the demo collections, and pictures that are broken, empty or far too large.

#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/colour/ImagePalette.h"
#include "engine/palette/PaletteImport.h"
#include "engine/palette/PictureReads.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <random>

using namespace Vantor;

namespace {

class PicturePaletteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir demo(QStringLiteral(PALETTRA_DEMO_DB));
        demo.cdUp();
        demo.cdUp();
        demo.cdUp(); // the database folder holds Contents/Resources
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), demo.path()), StartupOk);
        const QList<QUuid> collections = DB::CollectionRegistry::instance().orderedCollectionUuids();
        ASSERT_FALSE(collections.isEmpty());
        collection = collections.first();
        DB::loadOrderLists(collection);
        ASSERT_EQ(DB::loadLabColors(collection, candidates), DB::StatusOk);
        ASSERT_GT(candidates.size(), 100);
    }

    // Chips far apart whose own RGB leads back to them, so that a picture painted in
    // their colours must give them.
    QVector<DB::ColorEntry> distinctChips(int count)
    {
        QVector<DB::ColorEntry> chosen;
        for (const DB::LabCandidate &candidate : candidates) {
            DB::ColorEntry entry;
            if (DB::loadColorById(collection, candidate.rowId, entry) != DB::StatusOk)
                continue;
            const LabColour lab = labFromColour(entry.color());
            const QVector<ColourMatch> nearest = nearestColours(lab, candidates, 1);
            if (nearest.isEmpty() || nearest.first().second != entry.id)
                continue;
            bool farFromOthers = true;
            for (const DB::ColorEntry &other : chosen)
                farFromOthers = farFromOthers && deltaE2000(lab, labFromColour(other.color())) > 30.0;
            if (farFromOthers)
                chosen << entry;
            if (chosen.size() == count)
                break;
        }
        return chosen;
    }

    QString save(const QImage &image, const QString &name)
    {
        const QString path = files.filePath(name);
        EXPECT_TRUE(image.save(path)) << name.toStdString();
        return path;
    }

    QTemporaryDir files;
    QUuid collection;
    QVector<DB::LabCandidate> candidates;
};

// Bands of the chips' colours over the given parts of the width, each pixel off by a
// little noise.
QImage bandsWithNoise(const QVector<DB::ColorEntry> &chips, const QVector<double> &parts, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 noise(7);
    for (int x = 0, band = 0; x < size.width(); ++x) {
        double edge = 0.0;
        for (int i = 0; i <= band; ++i)
            edge += parts.at(i);
        if (x >= edge * size.width() && band + 1 < chips.size())
            ++band;
        const QColor colour = chips.at(band).color();
        for (int y = 0; y < size.height(); ++y) {
            auto jitter = [&](int value) { return qBound(0, value + int(noise() % 5) - 2, 255); };
            image.setPixel(x, y, qRgb(jitter(colour.red()), jitter(colour.green()), jitter(colour.blue())));
        }
    }
    return image;
}

} // namespace

// 60 %, 30 % and 10 % of three chips' colours, with noise, larger than the counted size:
// those three chips in that order, with their shares, and the same again every time.
TEST_F(PicturePaletteTest, KnownAreasGiveTheirChipsInOrderOfShare)
{
    const QVector<DB::ColorEntry> chips = distinctChips(3);
    ASSERT_EQ(chips.size(), 3);
    const QString path = save(bandsWithNoise(chips, {0.6, 0.3, 0.1}, QSize(800, 500)), QStringLiteral("bands.png"));
    const PaletteImport imported = importPalette(path, collection);
    ASSERT_TRUE(imported.succeeded());
    ASSERT_GE(imported.pictureChips.size(), 3);
    const double shares[] = {0.6, 0.3, 0.1};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(imported.pictureChips.at(i).chip.id, chips.at(i).id) << i;
        EXPECT_NEAR(imported.pictureChips.at(i).share, shares[i], 0.02) << i;
        EXPECT_LT(imported.pictureChips.at(i).difference, 2.0) << i;
    }
    // Colours of the edges between bands stay below the cut.
    double total = 0.0;
    for (const PictureChip &chip : imported.pictureChips) {
        EXPECT_GE(chip.share, MinimumDominantShare);
        total += chip.share;
    }
    EXPECT_NEAR(total, 1.0, 1e-9); // small parts folded into their nearest chip, none lost

    const PaletteImport again = importPalette(path, collection);
    ASSERT_EQ(again.pictureChips.size(), imported.pictureChips.size());
    for (int i = 0; i < again.pictureChips.size(); ++i) {
        EXPECT_EQ(again.pictureChips.at(i).chip.id, imported.pictureChips.at(i).chip.id);
        EXPECT_EQ(again.pictureChips.at(i).share, imported.pictureChips.at(i).share);
    }
}

// A rainbow gives many chips, each once, largest share first; transparent pixels give
// nothing, whatever colour they carry.
TEST_F(PicturePaletteTest, GradientsGiveDistinctChipsAndTransparencyCountsForNothing)
{
    QImage rainbow(720, 200, QImage::Format_RGB32);
    for (int x = 0; x < rainbow.width(); ++x) {
        for (int y = 0; y < rainbow.height(); ++y)
            rainbow.setPixelColor(x, y, QColor::fromHsv(x / 2, 200, 220));
    }
    const PaletteImport imported = importPalette(save(rainbow, QStringLiteral("rainbow.png")), collection);
    ASSERT_TRUE(imported.succeeded());
    EXPECT_GE(imported.pictureChips.size(), 10);
    EXPECT_LE(imported.pictureChips.size(), MaximumDominantColours);
    QSet<qint64> seen;
    for (int i = 0; i < imported.pictureChips.size(); ++i) {
        EXPECT_FALSE(seen.contains(imported.pictureChips.at(i).chip.id)) << i;
        seen.insert(imported.pictureChips.at(i).chip.id);
        if (i > 0) {
            EXPECT_GE(imported.pictureChips.at(i - 1).share, imported.pictureChips.at(i).share);
        }
    }

    const QVector<DB::ColorEntry> chips = distinctChips(1);
    ASSERT_EQ(chips.size(), 1);
    QImage cutOut(300, 300, QImage::Format_ARGB32);
    cutOut.fill(qRgba(255, 0, 0, 0)); // red, but not to be seen
    QPainter(&cutOut).fillRect(QRect(100, 100, 100, 100), chips.first().color());
    const PaletteImport opaquePart = importPalette(save(cutOut, QStringLiteral("cut-out.png")), collection);
    ASSERT_TRUE(opaquePart.succeeded());
    ASSERT_EQ(opaquePart.pictureChips.size(), 1);
    EXPECT_EQ(opaquePart.pictureChips.first().chip.id, chips.first().id);
    EXPECT_GT(opaquePart.pictureChips.first().share, 0.99);

    cutOut.fill(qRgba(0, 0, 255, 0));
    EXPECT_EQ(importPalette(save(cutOut, QStringLiteral("invisible.png")), collection).problem, ImportProblem::NoVisiblePixel);
}

// Pictures at the edges: one pixel gives its chip, an animation its first frame; broken,
// empty and forged pictures say why and are refused before any large decode.
TEST_F(PicturePaletteTest, EdgePicturesGiveAStatusNeverACrash)
{
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(QColor(200, 40, 30));
    const PaletteImport single = importPalette(save(pixel, QStringLiteral("pixel.bmp")), collection);
    ASSERT_TRUE(single.succeeded());
    ASSERT_EQ(single.pictureChips.size(), 1);
    EXPECT_DOUBLE_EQ(single.pictureChips.first().share, 1.0);

    // Red, then blue: the palette is the first frame's.
    const PaletteImport animated = importPalette(QStringLiteral(PALETTRA_TEST_DATA_DIR "/pictures/two-frames.gif"), collection);
    ASSERT_TRUE(animated.succeeded());
    ASSERT_EQ(animated.pictureChips.size(), 1);
    EXPECT_EQ(animated.pictureChips.first().chip.id, single.pictureChips.first().chip.id);

    QElapsedTimer clock;
    clock.start();
    const QString forged = QStringLiteral(PALETTRA_TEST_DATA_DIR "/pictures/declared-30000.png");
    const PaletteImport tooLarge = importPalette(forged, collection);
    EXPECT_EQ(tooLarge.problem, ImportProblem::PictureTooLarge);
    EXPECT_TRUE(importProblemText(tooLarge, forged).contains(QStringLiteral("megapixels; the limit is 120)")))
        << importProblemText(tooLarge, forged).toStdString();
    const struct
    {
        const char *name;
        QByteArray bytes;
        ImportProblem expected;
    } broken[] = {
        {"empty.png", QByteArray(), ImportProblem::NotAPicture},
        {"words.jpg", QByteArray("a letter, not a photo"), ImportProblem::NotAPicture},
        {"truncated.png", QByteArray("\x89PNG\r\n\x1a\n", 8), ImportProblem::PictureUnreadable},
    };
    for (const auto &each : broken) {
        QFile out(files.filePath(QLatin1String(each.name)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(each.bytes);
        out.close();
        const PaletteImport read = importPalette(out.fileName(), collection);
        EXPECT_EQ(read.problem, each.expected) << each.name;
        EXPECT_FALSE(importProblemText(read, out.fileName()).isEmpty());
    }
    EXPECT_EQ(importPalette(files.filePath(QStringLiteral("missing.png")), collection).problem, ImportProblem::Missing);
    EXPECT_LT(clock.elapsed(), 5000); // a guard against a decode of gigabytes, not a speed goal
}

// The same chips at any opacity above zero; pictures cut short refused with that reason;
// a picture larger than Qt reads by default, within the limit, read.
TEST_F(PicturePaletteTest, PicturesOfAnyOpacityCompletenessAndSize)
{
    const QVector<DB::ColorEntry> chips = distinctChips(3);
    ASSERT_EQ(chips.size(), 3);
    for (int alpha : {255, 8, 4, 1}) {
        SCOPED_TRACE(alpha);
        QImage faint(300, 100, QImage::Format_ARGB32);
        for (int x = 0; x < faint.width(); ++x) {
            const QColor colour = chips.at(x * 3 / faint.width()).color();
            for (int y = 0; y < faint.height(); ++y)
                faint.setPixel(x, y, qRgba(colour.red(), colour.green(), colour.blue(), alpha));
        }
        const PaletteImport imported = importPalette(save(faint, QStringLiteral("faint-%1.png").arg(alpha)), collection);
        ASSERT_TRUE(imported.succeeded());
        ASSERT_EQ(imported.pictureChips.size(), 3);
        QSet<qint64> found;
        for (const PictureChip &chip : imported.pictureChips)
            found.insert(chip.chip.id);
        EXPECT_EQ(found, QSet<qint64>({chips.at(0).id, chips.at(1).id, chips.at(2).id}));
    }

    const QImage photo = bandsWithNoise(chips, {0.5, 0.3, 0.2}, QSize(600, 400));
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    photo.save(&jpegBuffer, "JPEG", 90);
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    photo.save(&pngBuffer, "PNG");
    for (const auto &[name, bytes] : {std::pair{QStringLiteral("cut.jpg"), jpeg.left(jpeg.size() / 3)},
                                      std::pair{QStringLiteral("cut.png"), png.left(png.size() / 2)}}) {
        QFile out(files.filePath(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        const PaletteImport imported = importPalette(out.fileName(), collection);
        EXPECT_EQ(imported.problem, ImportProblem::PictureIncomplete) << name.toStdString();
        EXPECT_EQ(importProblemText(imported, out.fileName()), name + QStringLiteral(": the picture is incomplete"));
    }

    // Strips one pixel thin keep to the counted size: the thin side stays one pixel and
    // the long side gives way (row-averaged PNG and a whole decode, BMP).
    for (const char *format : {"PNG", "BMP"}) {
        for (const QSize strip : {QSize(1, 300000), QSize(300000, 1), QSize(3, 200000)}) {
            SCOPED_TRACE(std::string(format) + " " + std::to_string(strip.width()) + "x" + std::to_string(strip.height()));
            QImage thin(strip, QImage::Format_RGB32);
            thin.fill(chips.at(0).color());
            QByteArray bytes;
            QBuffer out(&bytes);
            out.open(QIODevice::WriteOnly);
            ASSERT_TRUE(thin.save(&out, format));
            QBuffer in(&bytes);
            in.open(QIODevice::ReadOnly);
            QImage picture;
            ASSERT_EQ(readPalettePicture(&in, picture), PictureRead::Read);
            EXPECT_GE(picture.width(), 1);
            EXPECT_LE(qint64(picture.width()) * picture.height(), MaximumPalettePixels);
        }
    }

    // 36 megapixels, 144 MB decoded: beyond Qt's default allocation limit, and read row by
    // row. An invisible third, an opaque one and a faint one (8 of 255).
    QImage large(9000, 4000, QImage::Format_ARGB32);
    QPainter paint(&large);
    paint.setCompositionMode(QPainter::CompositionMode_Source);
    paint.fillRect(QRect(0, 0, 3000, 4000), QColor(255, 0, 0, 0));
    paint.fillRect(QRect(3000, 0, 3000, 4000), chips.at(1).color());
    QColor faint = chips.at(2).color();
    faint.setAlpha(8);
    paint.fillRect(QRect(6000, 0, 3000, 4000), faint);
    paint.end();
    const PaletteImport imported = importPalette(save(large, QStringLiteral("large.png")), collection);
    ASSERT_TRUE(imported.succeeded()) << importProblemText(imported, QStringLiteral("large.png")).toStdString();
    ASSERT_EQ(imported.pictureChips.size(), 2);
    EXPECT_EQ(imported.pictureChips.at(0).chip.id, chips.at(1).id);
    EXPECT_NEAR(imported.pictureChips.at(0).share, 255.0 / 263.0, 0.005);
    EXPECT_EQ(imported.pictureChips.at(1).chip.id, chips.at(2).id);
}

// A read nobody wants any more stops: the PNG decoder at its next row, the clustering at
// its next round; the panel takes only the latest of two loads.
TEST_F(PicturePaletteTest, CancelledReadsStopAndOnlyTheLatestLoadCounts)
{
    const QVector<DB::ColorEntry> chips = distinctChips(3);
    ASSERT_EQ(chips.size(), 3);
    const QImage bands = bandsWithNoise(chips, {0.5, 0.35, 0.15}, QSize(400, 300));
    const QString png = save(bands, QStringLiteral("bands.png"));
    const std::atomic_bool cancelled{true};
    QImage picture;
    EXPECT_EQ(readPalettePicture(png, picture, nullptr, &cancelled), PictureRead::Cancelled);
    EXPECT_TRUE(dominantColours(bands, MaximumDominantColours, &cancelled).isEmpty());
    ImportFile opened = openImportFile(png);
    ASSERT_EQ(opened.kind, ImportedKind::Picture);
    EXPECT_EQ(readPictureColours(*opened.file, &cancelled).problem, ImportProblem::Cancelled);

    setLastUsedCollection(collection);
    MyPaletteWidget panel;
    const QString first = save(bandsWithNoise({chips.at(0)}, {1.0}, QSize(64, 64)), QStringLiteral("first.png"));
    panel.loadPaletteFrom(PaletteFileXml, first);
    panel.loadPaletteFrom(PaletteFileXml, png);
    panel.finishReadingPicture();
    waitForPictureReads();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.model().description(), QStringLiteral("bands.png"));
    EXPECT_EQ(panel.undoStack()->count(), 1); // the first load was never taken
    EXPECT_EQ(panel.model().cell(MyPaletteModel::gridOrder().at(0)).index.rowId, chips.at(0).id);
    EXPECT_EQ(panel.model().cell(MyPaletteModel::gridOrder().at(1)).index.rowId, chips.at(1).id);
}

// Loading a photo in the panel fills the palette by share and names it after the file;
// undo brings back the palette before; a picture that gives nothing changes nothing.
TEST_F(PicturePaletteTest, PanelFillsThePaletteFromAPhotoAndUndoRestoresIt)
{
    setLastUsedCollection(collection);
    MyPaletteWidget panel;
    panel.resize(564, 260);
    const QVector<DB::ColorEntry> chips = distinctChips(3);
    ASSERT_EQ(chips.size(), 3);
    panel.model().setCell(QPoint(0, 0), collection, chips.at(2));
    const qint64 before = panel.model().cell(QPoint(0, 0)).index.rowId;

    const QString photo = save(bandsWithNoise(chips, {0.5, 0.35, 0.15}, QSize(400, 300)), QStringLiteral("Living room.jpg"));
    panel.loadPaletteFrom(PaletteFileXml, photo);
    // Read on a worker: the panel says so meanwhile.
    EXPECT_TRUE(panel.isReadingPicture());
    EXPECT_TRUE(panel.statusLabel()->toolTip().startsWith(QStringLiteral("Reading Living room.jpg")));
    panel.finishReadingPicture();
    const QVector<QPoint> order = MyPaletteModel::gridOrder();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(panel.model().cell(order.at(i)).index.rowId, chips.at(i).id) << i;
    EXPECT_EQ(panel.model().description(), QStringLiteral("Living room.jpg"));

    panel.undoStack()->undo();
    EXPECT_EQ(panel.model().cell(QPoint(0, 0)).index.rowId, before);
    EXPECT_FALSE(panel.model().cell(order.at(1)).isOccupied());

    QFile broken(files.filePath(QStringLiteral("broken.webp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("RIFF\x10\x00\x00\x00WEBPVP8 garbage");
    broken.close();
    panel.loadPaletteFrom(PaletteFileXml, broken.fileName());
    panel.finishReadingPicture();
    EXPECT_EQ(panel.model().cell(QPoint(0, 0)).index.rowId, before);
    EXPECT_FALSE(panel.statusLabel()->isHidden());
    EXPECT_TRUE(panel.statusLabel()->toolTip().startsWith(QStringLiteral("broken.webp: "))) << panel.statusLabel()->toolTip().toStdString();
}
