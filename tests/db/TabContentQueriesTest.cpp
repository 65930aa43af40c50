#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/db/StatusCodes.h"
#include "engine/db/TabContentQueries.h"
#include "TestPictures.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace Vantor::DB;
using Palettra::Test::StandardDeck;

using Palettra::Test::solidPng;

namespace {

class TabContentQueriesTest : public ::testing::Test
{
protected:
    StandardDeck deck;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
};

TEST_F(TabContentQueriesTest, TrendGroupsIncludeSharedOnesWithEntriesInOrder)
{
    auto &w = deck.deck().writer();
    const qint64 shared = w.exec(QStringLiteral("INSERT INTO PROSPECT_GROUP(COLLECTION_ID, NAME, DEFAULT_OPEN, \"ORDER\") VALUES(0, 'Shared', 1, 2)"));
    const qint64 own = w.exec(QStringLiteral("INSERT INTO PROSPECT_GROUP(COLLECTION_ID, NAME, \"ORDER\") VALUES(?, 'Own', 1)"), {deck.idA()});
    w.exec(QStringLiteral("INSERT INTO PROSPECT_GROUP(COLLECTION_ID, NAME) VALUES(?, 'Other')"), {deck.idB()});
    w.exec(QStringLiteral("INSERT INTO PROSPECT_ENTRY(COLLECTION_ID, PROSPECT_GROUP_ID, ROW_ID, NAME_1, RED, \"ORDER\") VALUES(0, ?, NULL, 'Second', 200, 2)"), {shared});
    w.exec(QStringLiteral("INSERT INTO PROSPECT_ENTRY(COLLECTION_ID, PROSPECT_GROUP_ID, ROW_ID, NAME_1, GREEN, \"ORDER\") VALUES(0, ?, ?, 'First', 100, 1)"),
           {shared, deck.rowIdA(1, 1)});
    ASSERT_TRUE(w.ok()) << w.lastError().toStdString();

    QMap<qint64, ProspectGroup> groups;
    ASSERT_EQ(loadProspectGroups(A, groups), StatusOk);
    ASSERT_EQ(groups.size(), 2);
    const ProspectGroup group = groups.value(shared);
    EXPECT_EQ(group.name, QStringLiteral("Shared"));
    EXPECT_TRUE(group.defaultOpen);
    ASSERT_EQ(group.entries.size(), 2);
    EXPECT_EQ(group.entries.at(0).name1, QStringLiteral("First"));
    EXPECT_EQ(group.entries.at(0).rowId, deck.rowIdA(1, 1));
    EXPECT_EQ(group.entries.at(1).rowId, 0);
    EXPECT_EQ(group.entries.at(1).color, QColor(200, 0, 0));
    EXPECT_TRUE(groups.value(own).entries.isEmpty());

    ASSERT_EQ(loadProspectGroups(B, groups), StatusOk);
    EXPECT_EQ(groups.size(), 2); // shared + B's own
}

TEST_F(TabContentQueriesTest, ProductsWithAndWithoutCodes)
{
    auto &w = deck.deck().writer();
    const qint64 plain = w.exec(QStringLiteral("INSERT INTO PRODUCT(NAME) VALUES('Matt Emulsion')"));
    const qint64 coded = w.exec(QStringLiteral("INSERT INTO PRODUCT(NAME, PRODUCT_CODE) VALUES('Eggshell', 'EG-5')"));
    const qint64 group = w.exec(QStringLiteral("INSERT INTO PRODUCT_GROUP(NAME) VALUES('Walls')"));
    for (qint64 product : {plain, coded})
        w.exec(QStringLiteral("INSERT INTO ROW_PRODUCT_MAP(COLLECTION_ID, ROW_ID, PRODUCT_ID) VALUES(?, ?, ?)"),
               {deck.idA(), deck.rowIdA(2, 2), product});
    w.exec(QStringLiteral("INSERT INTO ROW_PRODUCT_GROUP_MAP(COLLECTION_ID, ROW_ID, PRODUCT_GROUP_ID) VALUES(?, ?, ?)"),
           {deck.idA(), deck.rowIdA(2, 2), group});
    ASSERT_TRUE(w.ok());

    QVector<QString> products;
    ASSERT_EQ(loadProducts(A, deck.rowIdA(2, 2), products), StatusOk);
    EXPECT_EQ(products, (QVector<QString>{QStringLiteral("Matt Emulsion"), QStringLiteral("Eggshell: EG-5")}));

    w.addSetting(deck.idA(), QStringLiteral("product.group.productname.productcode.separator:string"), QStringLiteral(" / "));
    // The separator is read through the settings cache of another collection first.
    ASSERT_EQ(loadProducts(B, deck.rowIdA(2, 2), products), StatusOk);
    ASSERT_EQ(loadProducts(A, deck.rowIdA(2, 2), products), StatusOk);
    EXPECT_EQ(products.last(), QStringLiteral("Eggshell / EG-5"));

    QVector<QString> groups;
    ASSERT_EQ(loadProductGroups(A, deck.rowIdA(2, 2), groups), StatusOk);
    EXPECT_EQ(groups, QVector<QString>{QStringLiteral("Walls")});
    ASSERT_EQ(loadProductGroups(A, deck.rowIdA(2, 3), groups), StatusOk);
    EXPECT_TRUE(groups.isEmpty());
}

TEST_F(TabContentQueriesTest, TexturesAndMappings)
{
    auto &w = deck.deck().writer();
    const qint64 plaster = w.exec(QStringLiteral("INSERT INTO TEXTURE(COLLECTION_ID, NAME, IMAGE, BASE_ALPHA) VALUES(0, 'Plaster', ?, 0.6)"),
                                  {solidPng(Qt::darkGray, QSize(8, 6))});
    const qint64 broken = w.exec(QStringLiteral("INSERT INTO TEXTURE(COLLECTION_ID, NAME, IMAGE) VALUES(?, 'Broken', X'00010203')"),
                                 {deck.idA()});
    w.exec(QStringLiteral("INSERT INTO TEXTURE(COLLECTION_ID, NAME, IMAGE) VALUES(?, 'Theirs', X'00')"), {deck.idB()});
    w.exec(QStringLiteral("INSERT INTO TEXTURE_MAP(TEXTURE_ID, PAGE_ID, ALPHA, NAME) VALUES(?, ?, 0.5, 'Wall')"),
           {plaster, deck.pageIdA(3)});
    w.exec(QStringLiteral("INSERT INTO TEXTURE_MAP(TEXTURE_ID, PAGE_ID, ALPHA, NAME) VALUES(9999, ?, 0.5, 'Gone')"),
           {deck.pageIdA(3)});
    ASSERT_TRUE(w.ok()) << w.lastError().toStdString();

    QMap<qint64, Texture> textures;
    ASSERT_EQ(loadTextures(A, textures), StatusOk);
    ASSERT_EQ(textures.size(), 2);
    EXPECT_EQ(textures.value(plaster).image.size(), QSize(8, 6));
    EXPECT_DOUBLE_EQ(textures.value(plaster).baseAlpha, 0.6);
    EXPECT_TRUE(textures.value(broken).image.isNull());

    QVector<TextureMapping> mappings;
    ASSERT_EQ(loadTextureMappings(A, deck.pageIdA(3), mappings), StatusOk);
    ASSERT_EQ(mappings.size(), 1); // the mapping to a missing texture is dropped
    EXPECT_EQ(mappings.first().textureId, plaster);
    EXPECT_EQ(mappings.first().name, QStringLiteral("Wall"));
    EXPECT_DOUBLE_EQ(mappings.first().alpha, 0.5);
    EXPECT_EQ(loadTextureMappings(QUuid(), 1, mappings), StatusNullUuid);
    EXPECT_TRUE(mappings.isEmpty());
}

} // namespace
