#include "TestEnvironment.h"

#include "engine/db/ColorEntry.h"
#include "engine/db/ColorPage.h"
#include "engine/db/ItemIndex.h"
#include "engine/db/ProspectEntry.h"
#include "engine/db/Texture.h"

#include <QBuffer>
#include <QSqlField>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace Vantor::DB;

namespace {

QSqlRecord recordOf(std::initializer_list<std::pair<const char *, QVariant>> columns)
{
    QSqlRecord record;
    for (const auto &[name, value] : columns) {
        QSqlField field(QLatin1String(name), value.metaType());
        field.setValue(value);
        record.append(field);
    }
    return record;
}

TEST(ColorEntryRecord, ReadsColumnsByNameWithDefaults)
{
    const ColorEntry entry(recordOf({{"NAME1", QStringLiteral("Second")}, {"ID", 17}, {"COLLECTION_ID", 3},
                                     {"CODE", QStringLiteral("X-1")}, {"MOOD", 7}, {"RED", 10}, {"IS_MTO", 2},
                                     {"L", 55.5}, {"EXTRA9", QStringLiteral("last")}}));
    EXPECT_EQ(entry.id, 17);
    EXPECT_EQ(entry.collectionId, 3);
    EXPECT_EQ(entry.code, QStringLiteral("X-1"));
    EXPECT_EQ(entry.mood, 0); // only 1 to 6 are moods
    EXPECT_EQ(entry.red, 10);
    EXPECT_EQ(entry.green, -1);
    EXPECT_TRUE(entry.isMto);
    EXPECT_DOUBLE_EQ(entry.l, 55.5);
    EXPECT_EQ(entry.pageId, -1);
    EXPECT_EQ(entry.schemePos, -1);
    ASSERT_EQ(entry.names.size(), 10);
    ASSERT_EQ(entry.extras.size(), 10);
    EXPECT_EQ(entry.name(0), QString());
    EXPECT_EQ(entry.name(1), QStringLiteral("Second"));
    EXPECT_EQ(entry.extra(9), QStringLiteral("last"));
    EXPECT_EQ(entry.name(10), QString());
    EXPECT_EQ(entry.name(-1), QString());
}

TEST(ColorEntryRecord, ResetKeepsTheCode)
{
    ColorEntry entry(recordOf({{"ID", 1}, {"CODE", QStringLiteral("K-9")}, {"MOOD", 4}}));
    EXPECT_EQ(entry.mood, 4);
    entry.reset();
    EXPECT_EQ(entry.id, -1);
    EXPECT_EQ(entry.mood, 0);
    EXPECT_EQ(entry.code, QStringLiteral("K-9"));
    EXPECT_EQ(ColorEntry().code, QString());
}

TEST(ColorPageRecord, ValidityAndMood)
{
    ColorPage empty;
    EXPECT_EQ(empty.id, 0);
    EXPECT_FALSE(empty.isValid());
    const ColorPage page(recordOf({{"ID", 5}, {"PAGE_INDEX", 2}, {"SEGMENT", 4}, {"MOOD", 0}, {"EXTERIOR", 1}}));
    EXPECT_EQ(page.id, 5);
    EXPECT_TRUE(page.isValid());
    EXPECT_EQ(page.mood, 0);
    EXPECT_TRUE(page.exterior);
    EXPECT_FALSE(ColorPage(recordOf({{"PAGE_INDEX", 2}, {"SEGMENT", 0}})).isValid());
}

TEST(ProspectEntryRecord, NullRowIdAndColour)
{
    const ProspectEntry entry(recordOf({{"ID", 3}, {"ROW_ID", QVariant(QMetaType::fromType<qlonglong>())},
                                        {"RED", 200}, {"GREEN", 100}, {"BLUE", 50}, {"ORDER", 4}}));
    EXPECT_TRUE(entry.isValid());
    EXPECT_EQ(entry.rowId, 0);
    EXPECT_EQ(entry.color, QColor(200, 100, 50));
    EXPECT_EQ(entry.order, 4);
    EXPECT_FALSE(ProspectEntry().color.isValid());
    EXPECT_FALSE(ProspectEntry().isValid());
}

TEST(TextureRecord, UndecodableImageIsNull)
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");

    const Texture good(recordOf({{"ID", 1}, {"COLLECTION_ID", 0}, {"IMAGE", png}, {"BASE_ALPHA", 0.5}}));
    EXPECT_EQ(good.image.size(), QSize(4, 4));
    EXPECT_DOUBLE_EQ(good.baseAlpha, 0.5);
    const Texture broken(recordOf({{"ID", 2}, {"COLLECTION_ID", 0}, {"IMAGE", QByteArray("not an image")}}));
    EXPECT_TRUE(broken.isValid());
    EXPECT_TRUE(broken.image.isNull());
}

TEST(ItemIndexText, RoundTripsAndRejectsMalformedText)
{
    const ItemIndex index{QUuid(QStringLiteral("{0a1b2c3d-0000-4000-8000-000000000abc}")), 12, 34};
    EXPECT_EQ(index.toString(), QStringLiteral("ItemIndex({0a1b2c3d-0000-4000-8000-000000000abc},12,34)"));
    EXPECT_EQ(ItemIndex::fromString(index.toString()), index);

    const ItemIndex defaults;
    EXPECT_EQ(ItemIndex::fromString(QStringLiteral("ItemIndex({0a1b2c3d-0000-4000-8000-000000000abc},12)")), defaults);
    EXPECT_EQ(ItemIndex::fromString(QStringLiteral("itemindex({0a1b2c3d-0000-4000-8000-000000000abc},12,34)")), defaults);
    EXPECT_EQ(ItemIndex::fromString(QStringLiteral("ItemIndex({0a1b2c3d-0000-4000-8000-000000000abc},12,34")), defaults);
    EXPECT_EQ(ItemIndex::fromString(QString()), defaults);
    EXPECT_EQ(ItemIndex::fromString(QStringLiteral("ItemIndex(")), defaults);
    EXPECT_EQ(ItemIndex::fromString(QStringLiteral("ItemIndex()")), defaults);

    // Empty parts are dropped; non-numbers read as 0.
    const ItemIndex loose = ItemIndex::fromString(QStringLiteral("ItemIndex({0a1b2c3d-0000-4000-8000-000000000abc},,x,7)"));
    EXPECT_EQ(loose.collection, index.collection);
    EXPECT_EQ(loose.pageId, 0);
    EXPECT_EQ(loose.rowId, 7);
}

} // namespace
