#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/ChipDragRecord.h"
#include "engine/db/NavigationQueries.h"

#include <QMimeData>
#include <gtest/gtest.h>

using namespace Vantor::DB;
using Palettra::Test::StandardDeck;

namespace {

QMimeData *recordData(const QByteArray &json)
{
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(ChipMimeType), json);
    return mime;
}

TEST(ChipDragRecord, TextFormByteForByte)
{
    ColorEntry entry;
    entry.id = 4711;
    const QUuid uuid(QStringLiteral("{0a1b2c3d-0000-4000-8000-000000000abc}"));
    EXPECT_EQ(writeChipRecord(FromMyPalette, uuid, entry),
              QByteArray("{ \"collectuionUuid\" : \"{0a1b2c3d-0000-4000-8000-000000000abc}\", \"colorId\" : 4711, \"from\" : 3 }"));
    EXPECT_EQ(writeColourRecord(FromProspectGroups, QColor(255, 128, 0), QStringLiteral("Sun \"Gold\""), QStringLiteral("T-1")),
              QByteArray("{ \"colorName1\" : \"Sun \\\"Gold\\\"\", \"colorName2\" : \"T-1\", \"colorRgb\" : 4294934528, \"from\" : 4 }"));
}

TEST(ChipDragRecord, SourceCodes)
{
    const std::unique_ptr<QMimeData> five(recordData("{ \"from\" : 5 }"));
    const std::unique_ptr<QMimeData> zero(recordData("{ \"from\" : 0 }"));
    const std::unique_ptr<QMimeData> two(recordData("{\"from\":2}"));
    const std::unique_ptr<QMimeData> none(recordData("{ }"));
    const std::unique_ptr<QMimeData> list(recordData("[ 1 ]"));
    auto plain = std::make_unique<QMimeData>();
    plain->setText(QStringLiteral("{ \"from\" : 1 }"));
    EXPECT_EQ(chipRecordSource(five.get()), 0);
    EXPECT_EQ(chipRecordSource(zero.get()), 0);
    EXPECT_EQ(chipRecordSource(two.get()), 2);
    EXPECT_EQ(chipRecordSource(none.get()), 0);
    EXPECT_EQ(chipRecordSource(list.get()), 0);
    EXPECT_EQ(chipRecordSource(plain.get()), 0);
    EXPECT_FALSE(hasChipRecord(plain.get()));
    EXPECT_FALSE(hasChipRecord(nullptr));
}

TEST(ChipDragRecord, ColourRecordsReadBack)
{
    const QByteArray json = writeColourRecord(FromProspectGroups, QColor(12, 34, 56), QStringLiteral("Fjord"), QStringLiteral("Blue"));
    const std::unique_ptr<QMimeData> mime(recordData(json));
    QColor colour;
    ASSERT_EQ(readColourRecordRgb(mime.get(), colour), StatusOk);
    EXPECT_EQ(colour, QColor(12, 34, 56));
    QString name1, name2;
    ASSERT_EQ(readColourRecordNames(mime.get(), name1, name2), StatusOk);
    EXPECT_EQ(name1, QStringLiteral("Fjord"));
    EXPECT_EQ(name2, QStringLiteral("Blue"));

    const std::unique_ptr<QMimeData> garbage(recordData("\xff\xfe not json"));
    EXPECT_EQ(readColourRecordRgb(garbage.get(), colour), StatusQueryFailed);
    EXPECT_EQ(readColourRecordNames(garbage.get(), name1, name2), StatusQueryFailed);
}

TEST(ChipDragRecord, ChipRecordsResolveThroughTheDatabase)
{
    StandardDeck deck;
    ColorEntry original;
    ASSERT_EQ(loadColorById(StandardDeck::A, deck.rowIdA(5, 1), original), StatusOk);
    const std::unique_ptr<QMimeData> mime(recordData(writeChipRecord(FromCardRoller, StandardDeck::A, original)));
    QUuid uuid;
    ColorEntry entry;
    ASSERT_EQ(readChipRecord(mime.get(), uuid, entry), StatusOk);
    EXPECT_EQ(uuid, StandardDeck::A);
    EXPECT_EQ(entry.code, QStringLiteral("A-5-1"));

    // No colorId: row 0, which does not exist.
    const std::unique_ptr<QMimeData> noId(recordData(
        QStringLiteral("{ \"collectuionUuid\" : \"%1\", \"from\" : 1 }").arg(StandardDeck::A.toString()).toUtf8()));
    EXPECT_EQ(readChipRecord(noId.get(), uuid, entry), StatusQueryFailed);
    // The key under any other spelling gives the null UUID.
    const std::unique_ptr<QMimeData> misspelt(recordData(
        QStringLiteral("{ \"collectionUuid\" : \"%1\", \"colorId\" : %2 }").arg(StandardDeck::A.toString()).arg(deck.rowIdA(1, 1)).toUtf8()));
    EXPECT_EQ(readChipRecord(misspelt.get(), uuid, entry), StatusNullUuid);
    EXPECT_TRUE(uuid.isNull());
    const std::unique_ptr<QMimeData> broken(recordData("{ \"colorId\" : "));
    EXPECT_EQ(readChipRecord(broken.get(), uuid, entry), StatusQueryFailed);
}

} // namespace
