#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/ChipDragRecord.h"
#include "engine/db/NavigationQueries.h"
#include "engine/widgets/ChipDrag.h"

#include <QDrag>
#include <QMimeData>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Vantor;
using Palettra::Test::StandardDeck;

namespace {

TEST(ChipDrag, CarriesTheRecordAndTheActions)
{
    StandardDeck deck;
    DB::ColorEntry entry;
    ASSERT_EQ(DB::loadColorById(StandardDeck::A, deck.rowIdA(2, 3), entry), DB::StatusOk);

    QByteArray payload;
    Qt::DropActions seenActions;
    Qt::DropAction seenDefault = Qt::IgnoreAction;
    QObject *seenParent = nullptr;
    QSize pixmapSize;
    setChipDragRunner([&](QDrag *drag, Qt::DropActions supported, Qt::DropAction defaultAction) {
        payload = drag->mimeData()->data(QLatin1String(DB::ChipMimeType));
        seenActions = supported;
        seenDefault = defaultAction;
        seenParent = drag->parent();
        pixmapSize = drag->pixmap().size();
        return Qt::CopyAction;
    });

    QWidget source;
    EXPECT_EQ(startChipDrag(&source, DB::FromMyPalette, StandardDeck::A, entry, Qt::CopyAction, Qt::CopyAction),
              Qt::CopyAction);
    EXPECT_EQ(payload, DB::writeChipRecord(DB::FromMyPalette, StandardDeck::A, entry));
    EXPECT_EQ(seenActions, Qt::DropActions(Qt::CopyAction));
    EXPECT_EQ(seenDefault, Qt::CopyAction);
    EXPECT_EQ(seenParent, &source);
    EXPECT_EQ(pixmapSize, QSize(128, 64));
    setChipDragRunner(nullptr);
}

TEST(ChipDrag, PixmapFadesTheChipColour)
{
    DB::ColorEntry entry;
    entry.red = 200;
    entry.green = 40;
    entry.blue = 10;
    entry.code = QString();
    const QImage image = chipDragPixmap(entry).toImage();
    ASSERT_EQ(image.size(), QSize(128, 64));
    const QColor topLeft = image.pixelColor(0, 0);
    EXPECT_NEAR(topLeft.alpha(), 255, 2);
    EXPECT_NEAR(topLeft.red(), 200, 2);
    const QColor bottom = image.pixelColor(127, 63);
    EXPECT_NEAR(bottom.alpha(), 160, 2);
    EXPECT_LT(bottom.alpha(), image.pixelColor(0, 30).alpha());
}

} // namespace
