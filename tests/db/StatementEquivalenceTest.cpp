// The card loads and completions read their data with statements of their own, built
// for speed; these tests hold them to the plain statements they stand for, on the demo
// collections and on a generated deck full of awkward texts.

#include "TestDeck.h"
#include "TestEnvironment.h"

#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ForgivingSearch.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"
#include "engine/db/StatusCodes.h"
#include "engine/db/TextSort.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include <algorithm>
#include <numeric>

using namespace Vantor::DB;

namespace {

const QUuid AwkwardCollection{QStringLiteral("{5d0c7e61-2b7a-4c1e-9d0e-3a1f00000001}")};

// Completions as the plain statement gives them: the distinct non-blank texts of the
// searched name columns and the codes, united by SQL, then sorted by code units.
QStringList plainCompletions(const QUuid &uuid)
{
    auto &registry = CollectionRegistry::instance();
    const qint64 id = registry.collectionId(uuid);
    QStringList parts;
    for (int p : pageNameSearchOrder()) {
        if (p >= 0 && p <= 9)
            parts << QStringLiteral("SELECT DISTINCT P.NAME%2 AS ENTRY FROM PAGE P LEFT JOIN COLLECTION_PAGE_MAP CMAP ON "
                                    "P.ID = CMAP.PAGE_ID WHERE CMAP.COLLECTION_ID = %1")
                         .arg(id)
                         .arg(p);
    }
    for (int p : rowNameSearchOrder()) {
        if (p >= 0 && p <= 9)
            parts << QStringLiteral("SELECT DISTINCT R.NAME%2 AS ENTRY FROM ROW R LEFT JOIN PAGE P ON R.PAGE_ID = P.ID "
                                    "LEFT JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE CMAP.COLLECTION_ID = %1")
                         .arg(id)
                         .arg(p);
    }
    parts << QStringLiteral("SELECT DISTINCT R.CODE AS ENTRY FROM ROW R LEFT JOIN PAGE P ON R.PAGE_ID = P.ID LEFT JOIN "
                            "COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE CMAP.COLLECTION_ID = %1")
                 .arg(id);
    QSqlQuery query(registry.connection(uuid));
    EXPECT_TRUE(query.exec(QStringLiteral("SELECT DISTINCT ENTRY FROM (%1) WHERE TRIM(ENTRY) != ''")
                               .arg(parts.join(QStringLiteral(" UNION ")))));
    QStringList list;
    while (query.next())
        list << query.value(0).toString();
    list.sort(Qt::CaseSensitive);
    return list;
}

void expectSameColour(const ColorEntry &a, const ColorEntry &b)
{
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.collectionId, b.collectionId);
    EXPECT_EQ(a.pageId, b.pageId);
    EXPECT_EQ(a.rowIndex, b.rowIndex);
    EXPECT_EQ(a.pageOrder, b.pageOrder);
    EXPECT_EQ(a.code, b.code);
    EXPECT_EQ(a.segment, b.segment);
    EXPECT_EQ(a.color(), b.color());
    EXPECT_EQ(a.l, b.l);
    EXPECT_EQ(a.a, b.a);
    EXPECT_EQ(a.b, b.b);
    EXPECT_EQ(a.isMto, b.isMto);
    EXPECT_EQ(a.neutral, b.neutral);
    EXPECT_EQ(a.white, b.white);
    EXPECT_EQ(a.mood, b.mood);
    EXPECT_EQ(a.schemePos, b.schemePos);
    EXPECT_EQ(a.nschemePos, b.nschemePos);
    EXPECT_EQ(a.names, b.names);
    EXPECT_EQ(a.extras, b.extras);
}

void expectSameCard(const ColorPage &loaded, const ColorPage &plain)
{
    EXPECT_EQ(loaded.id, plain.id);
    EXPECT_EQ(loaded.pageIndex, plain.pageIndex);
    EXPECT_EQ(loaded.segment, plain.segment);
    EXPECT_EQ(loaded.exterior, plain.exterior);
    EXPECT_EQ(loaded.mood, plain.mood);
    EXPECT_EQ(loaded.names, plain.names);
    EXPECT_EQ(loaded.extras, plain.extras);
    ASSERT_EQ(loaded.rows.size(), plain.rows.size());
    for (int i = 0; i < loaded.rows.size(); ++i)
        expectSameColour(loaded.rows.at(i), plain.rows.at(i));
}

// The card as the plain statements load it: by its id, with "SELECT *".
ColorPage plainCard(const QUuid &uuid, qint64 pageId)
{
    ColorPage page;
    EXPECT_EQ(loadPageById(uuid, pageId, false, page), StatusOk);
    return page;
}

// Every card by index, and every step from it under a few filters, against the plain
// loads of the card the step must reach (worked out here from the card list).
void expectCardLoadsAsThePlainStatements(const QUuid &uuid)
{
    struct Card
    {
        int index;
        qint64 id;
        int mood;
        bool exterior;
    };
    auto &registry = CollectionRegistry::instance();
    QSqlQuery query(registry.connection(uuid));
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT P.PAGE_INDEX, P.ID, P.MOOD, P.EXTERIOR FROM PAGE P JOIN "
                                          "COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE CMAP.COLLECTION_ID = %1 "
                                          "ORDER BY P.PAGE_INDEX")
                               .arg(registry.collectionId(uuid))));
    QVector<Card> cards;
    while (query.next())
        cards.push_back({query.value(0).toInt(), query.value(1).toLongLong(), query.value(2).toInt(),
                         query.value(3).toInt() != 0});
    ASSERT_FALSE(cards.isEmpty());

    const auto passes = [](const Card &card, int mood, bool exteriorOnly) {
        if (mood != 7)
            return card.mood == mood && (!exteriorOnly || card.exterior);
        return exteriorOnly ? card.exterior : card.mood != 5 && card.mood != 6;
    };
    const struct
    {
        int mood;
        bool exteriorOnly;
    } filters[] = {{7, false}, {7, true}, {2, false}, {3, true}};

    for (int place = 0; place < cards.size(); ++place) {
        const Card &card = cards.at(place);
        ColorPage loaded;
        ASSERT_EQ(loadPageByIndex(uuid, card.index, loaded), StatusOk);
        expectSameCard(loaded, plainCard(uuid, card.id));

        for (const auto &filter : filters) {
            for (const bool backward : {false, true}) {
                // The nearest passing card in the direction of travel, else wrapping.
                const Card *expected = nullptr;
                for (int k = 1; k <= cards.size() && !expected; ++k) {
                    const int at = int((place + (backward ? -k : k) + cards.size() * 2) % cards.size());
                    if (passes(cards.at(at), filter.mood, filter.exteriorOnly))
                        expected = &cards.at(at);
                }
                ColorPage stepped;
                const int status = loadAdjacentPage(uuid, card.index, backward, filter.mood, filter.exteriorOnly, stepped);
                if (!expected) {
                    EXPECT_EQ(status, StatusNothingMatches);
                    continue;
                }
                ASSERT_EQ(status, StatusOk);
                expectSameCard(stepped, plainCard(uuid, expected->id));
            }
        }
    }
}

class StatementEquivalenceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &registry = CollectionRegistry::instance();
        registry.setBaseFolder(m_dir.path());
        ASSERT_TRUE(QDir().mkpath(Palettra::Test::resourcesFolder(m_dir.path())));
    }

    void useFiles()
    {
        auto &registry = CollectionRegistry::instance();
        registry.enumerateCollections(true);
        ASSERT_EQ(registry.checkCollectionsAvailable(), 1);
    }

    QTemporaryDir m_dir;
};

// Every searched text (and its lower-case form) leads where the plain statement, reading
// the whole collection, leads: the search index only narrows what it reads.
void expectSearchesAsThePlainStatement(const QUuid &uuid, const QStringList &texts)
{
    auto &registry = CollectionRegistry::instance();
    QStringList pageColumns, allColumns;
    for (int p : pageNameSearchOrder()) {
        if (p >= 0 && p <= 9)
            pageColumns << QStringLiteral("UPPER(P.NAME%1)").arg(p);
    }
    allColumns = pageColumns;
    for (int p : rowNameSearchOrder()) {
        if (p >= 0 && p <= 9)
            allColumns << QStringLiteral("UPPER(R.NAME%1)").arg(p);
    }
    allColumns << QStringLiteral("UPPER(R.CODE)");
    const QString isPage = pageColumns.isEmpty() ? QStringLiteral("0") : QStringLiteral("(:PHRASE IN (%1))").arg(pageColumns.join(QLatin1Char(',')));
    QSqlQuery plain(registry.connection(uuid));
    ASSERT_TRUE(plain.prepare(QStringLiteral("SELECT P.PAGE_INDEX, R.ROW_INDEX, %1 FROM ROW R JOIN PAGE P ON R.PAGE_ID = P.ID "
                                             "JOIN COLLECTION_PAGE_MAP CMAP ON P.ID = CMAP.PAGE_ID WHERE CMAP.COLLECTION_ID = :ID "
                                             "AND :PHRASE IN (%2) LIMIT 1")
                                  .arg(isPage, allColumns.join(QLatin1Char(',')))));
    QStringList phrases;
    for (int i = 0; i < texts.size(); ++i) {
        phrases << texts.at(i);
        if (i % 5 == 0)
            phrases << texts.at(i).toLower() << texts.at(i) + QStringLiteral("x");
    }
    for (const QString &phrase : std::as_const(phrases)) {
        plain.bindValue(QStringLiteral(":ID"), registry.collectionId(uuid));
        plain.bindValue(QStringLiteral(":PHRASE"), phrase.toUpper());
        ASSERT_TRUE(plain.exec());
        int page = -1, row = -1, segment = -1, mood = 0;
        bool exterior = false;
        const int status = searchPhrase(uuid, phrase, page, row, segment, mood, exterior);
        if (!plain.next()) {
            EXPECT_EQ(status, StatusNothingMatches) << phrase.toStdString();
            continue;
        }
        ASSERT_EQ(status, StatusOk) << phrase.toStdString();
        EXPECT_EQ(page, plain.value(0).toInt()) << phrase.toStdString();
        EXPECT_EQ(row, plain.value(2).toLongLong() != 0 ? -1 : plain.value(1).toInt()) << phrase.toStdString();
    }
}

// The list the search field reads away from the interface, through its own connection.
QStringList completionsReadOnAThread(const QUuid &uuid)
{
    const CompletionSource source = completionSource(uuid);
    QStringList completions;
    int status = StatusQueryFailed;
    std::thread reader([&] { status = loadCompletions(source, completions); });
    reader.join();
    EXPECT_EQ(status, StatusOk);
    // Kept for the next picker that shows the collection.
    QStringList kept;
    EXPECT_TRUE(keptCompletions(source, kept));
    EXPECT_EQ(kept, completions);
    return completions;
}

TEST_F(StatementEquivalenceTest, DemoCollectionsLoadAndCompleteAsThePlainStatements)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(PALETTRA_DEMO_DB),
                            Palettra::Test::resourcesFolder(m_dir.path()) + QStringLiteral("/orva-demo.db")));
    useFiles();
    const QList<QUuid> collections = CollectionRegistry::instance().orderedCollectionUuids();
    ASSERT_GE(collections.size(), 3);
    for (const QUuid &uuid : collections) {
        SCOPED_TRACE(uuid.toString().toStdString());
        ASSERT_EQ(CollectionRegistry::instance().openCollection(uuid), StatusOk);
        loadOrderLists(uuid);
        QStringList completions;
        ASSERT_EQ(loadCompletions(uuid, completions), StatusOk);
        EXPECT_EQ(completions, plainCompletions(uuid));
        EXPECT_EQ(completionsReadOnAThread(uuid), completions);
        expectSearchesAsThePlainStatement(uuid, completions);
        expectCardLoadsAsThePlainStatements(uuid);
    }
}

// Texts that differ only in case, in blanks or in characters beyond the basic plane;
// blanks only; the same text in several columns and on cards; names that sort
// differently by UTF-8 bytes than by UTF-16 code units; empty extras beside filled ones.
TEST_F(StatementEquivalenceTest, AwkwardTextsCompleteAndLoadAsThePlainStatements)
{
    {
        Palettra::Test::TestDeck deck(m_dir.path(), QStringLiteral("awkward.db"));
        auto &w = deck.writer();
        const qint64 id = w.addCollection(AwkwardCollection, QStringLiteral("AWK"), QStringLiteral("Awkward"), 1);
        w.addSettingList(id, QStringLiteral("page.name.search.order"), {QStringLiteral("1"), QStringLiteral("0")});
        w.addSettingList(id, QStringLiteral("row.name.search.order"),
                         {QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("11")});
        const QStringList pool{QStringLiteral("Rot"),          QStringLiteral("rot"),       QStringLiteral(" Rot"),
                               QStringLiteral("Rot "),         QStringLiteral("   "),       QString::fromLatin1(""),
                               QStringLiteral("\t"),           QStringLiteral("Ä"),         QStringLiteral("ä"),
                               QString::fromUtf8("\xef\xbc\xa1"), QString::fromUtf8("\xf0\x9f\x8e\xa8"),
                               QStringLiteral("C-1"),          QStringLiteral("c-1"),       QStringLiteral("Blau 10"),
                               QStringLiteral("Blau 9"),       QStringLiteral("Blau"),      QStringLiteral("B")};
        QRandomGenerator random(7);
        const auto pick = [&] { return pool.at(int(random.bounded(pool.size()))); };
        int code = 0;
        for (int card = 1; card <= 40; ++card) {
            QStringList cardNames;
            for (int n = 0; n < 3; ++n)
                cardNames << pick();
            const qint64 page = w.addPage(id, card, 1 + card % 5, QStringLiteral("P%1").arg(card), card % 4 == 0,
                                          1 + card % 6, cardNames);
            for (int row = 1; row <= 1 + card % 7; ++row) {
                Palettra::Deck::RowSpec spec;
                spec.rowIndex = 8 - row;
                spec.code = card % 9 == 0 ? pick() : QStringLiteral("K-%1").arg(code++);
                spec.segment = 1 + card % 5;
                spec.rgb = QColor::fromRgb(random.generate() & 0xffffff);
                spec.names = {pick(), pick(), pick()};
                spec.extras = {pick(), QString::fromLatin1(""), pick()};
                w.addRow(id, page, spec);
            }
        }
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        deck.close();
    }
    useFiles();
    ASSERT_EQ(CollectionRegistry::instance().openCollection(AwkwardCollection), StatusOk);
    loadOrderLists(AwkwardCollection);
    QStringList completions;
    ASSERT_EQ(loadCompletions(AwkwardCollection, completions), StatusOk);
    EXPECT_EQ(completions, plainCompletions(AwkwardCollection));
    EXPECT_EQ(completionsReadOnAThread(AwkwardCollection), completions);
    expectSearchesAsThePlainStatement(AwkwardCollection, completions);
    EXPECT_TRUE(completions.contains(QStringLiteral("Rot")));
    EXPECT_TRUE(completions.contains(QStringLiteral("rot")));
    EXPECT_TRUE(completions.contains(QStringLiteral("\t")));
    EXPECT_FALSE(completions.contains(QStringLiteral("   ")));
    expectCardLoadsAsThePlainStatements(AwkwardCollection);
}

// BLOBs, empty and not, where the name, extra and code columns hold texts (the only
// values the columns' text affinity leaves as they are): the cards load and the
// completions come out as with the plain statements.
TEST_F(StatementEquivalenceTest, BlobsInTextColumnsLoadAndCompleteAsThePlainStatements)
{
    QString path;
    {
        Palettra::Test::TestDeck deck(m_dir.path(), QStringLiteral("blobs.db"));
        auto &w = deck.writer();
        const qint64 id = w.addCollection(AwkwardCollection, QStringLiteral("BLB"), QStringLiteral("Blobs"), 1);
        w.addSettingList(id, QStringLiteral("page.name.search.order"), {QStringLiteral("0")});
        w.addSettingList(id, QStringLiteral("row.name.search.order"), {QStringLiteral("0"), QStringLiteral("1")});
        for (int card = 1; card <= 4; ++card) {
            const qint64 page = w.addPage(id, card, card, QStringLiteral("P%1").arg(card), false, 1,
                                          {QStringLiteral("Karte %1").arg(card)});
            for (int row = 1; row <= 3; ++row) {
                Palettra::Deck::RowSpec spec;
                spec.rowIndex = row;
                spec.code = QStringLiteral("B-%1-%2").arg(card).arg(row);
                spec.segment = card;
                spec.rgb = QColor(40 * card, 30 * row, 90);
                spec.names = {QStringLiteral("Blau %1").arg(row), QStringLiteral("Blue %1").arg(row)};
                w.addRow(id, page, spec);
            }
        }
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        path = deck.path();
        deck.close();
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("blob-writer"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        for (const char *update :
             {"UPDATE \"ROW\" SET NAME0 = x'' WHERE ROW_INDEX = 1",
              "UPDATE \"ROW\" SET NAME1 = x'426c6175', EXTRA3 = x'00ff' WHERE ROW_INDEX = 2",
              "UPDATE \"ROW\" SET CODE = x'422d39' WHERE ROW_INDEX = 3",
              "UPDATE PAGE SET NAME0 = x'4b61727465', EXTRA0 = x'' WHERE PAGE_INDEX = 2"})
            ASSERT_TRUE(query.exec(QLatin1String(update))) << update;
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("blob-writer"));

    useFiles();
    ASSERT_EQ(CollectionRegistry::instance().openCollection(AwkwardCollection), StatusOk);
    loadOrderLists(AwkwardCollection);
    QStringList completions;
    ASSERT_EQ(loadCompletions(AwkwardCollection, completions), StatusOk);
    EXPECT_EQ(completions, plainCompletions(AwkwardCollection));
    EXPECT_EQ(completionsReadOnAThread(AwkwardCollection), completions);
    expectSearchesAsThePlainStatement(AwkwardCollection, completions);
    EXPECT_TRUE(completions.contains(QStringLiteral("Blue 1")));
    expectCardLoadsAsThePlainStatements(AwkwardCollection);
}

TEST(SortedUniqueTexts, OrdersByCodeUnitsAndDropsRepeats)
{
    QRandomGenerator random(11);
    const QString alphabet = QStringLiteral("ab A\x00e9") + QChar(0xE000) + QString::fromUtf8("\xf0\x9f\x8e\xa8");
    for (int round = 0; round < 20; ++round) {
        QStringList texts;
        const int count = int(random.bounded(2000));
        for (int i = 0; i < count; ++i) {
            QString text;
            // Long shared beginnings now and then, past the depth where the radix pass stops.
            if (random.bounded(4) == 0)
                text = QString(60 + int(random.bounded(3)), QLatin1Char('x'));
            const int length = int(random.bounded(8));
            for (int k = 0; k < length; ++k)
                text += alphabet.at(int(random.bounded(alphabet.size())));
            texts << text;
        }
        QStringList expected = texts;
        expected.sort(Qt::CaseSensitive);
        expected.removeDuplicates();
        QStringList input = texts;
        EXPECT_EQ(sortedUniqueTexts(input), expected);
    }
    // A unit 0 inside the texts is ordered as QString orders it.
    QStringList withZero{QString(QChar(0)) + QStringLiteral("b"), QStringLiteral("a"), QString(),
                         QString(QChar(0)), QStringLiteral("a")};
    QStringList expected{QString(), QString(QChar(0)), QString(QChar(0)) + QStringLiteral("b"), QStringLiteral("a")};
    EXPECT_EQ(sortedUniqueTexts(withZero), expected);
}

// Enough texts for several batches, sorted on the collector's own thread and merged
// level by level, and a last partial batch: the same texts repeated across batches are
// kept once, in the order of one whole sort, with and without a unit 0 among them.
TEST(UniqueTextCollector, GivesWhatOneSortGivesAcrossBatches)
{
    QRandomGenerator random(13);
    for (const bool withZero : {false, true}) {
        QStringList texts;
        for (qsizetype i = 0; i < 5 * UniqueTextCollector::BatchSize + 123; ++i) {
            // Few enough distinct texts that most recur, in many batches.
            QString text = QStringLiteral("Farbe %1").arg(random.bounded(60000));
            if (random.bounded(3) == 0)
                text = QStringLiteral("OT %1").arg(random.bounded(5000), 4, 10, QLatin1Char('0'));
            if (withZero && random.bounded(100) == 0)
                text.insert(int(random.bounded(text.size())), QChar(0));
            texts << text;
        }
        QStringList expected = texts;
        expected.sort(Qt::CaseSensitive);
        expected.removeDuplicates();
        UniqueTextCollector collector;
        for (const QString &text : texts)
            collector.add(text);
        const QStringList sorted = collector.finish();
        EXPECT_EQ(sorted.size(), expected.size());
        EXPECT_TRUE(sorted == expected) << "withZero " << withZero;
        // Empty afterwards, ready for another list.
        collector.add(QStringLiteral("b"));
        collector.add(QStringLiteral("a"));
        EXPECT_EQ(collector.finish(), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    }
    // A collector left with batches still being sorted stops its thread when it goes.
    {
        UniqueTextCollector abandoned;
        for (qsizetype i = 0; i < 2 * UniqueTextCollector::BatchSize; ++i)
            abandoned.add(QString::number(i));
    }
    UniqueTextCollector empty;
    EXPECT_TRUE(empty.finish().isEmpty());
}

} // namespace

// Where the completion list begins: binary searches and a walk of the deck stand for
// sorting every key that starts with the phrase; both must pick the same entries.
TEST(ForgivingCompletionEntries, SameAsSortingEveryMatch)
{
    QRandomGenerator random(11);
    for (int round = 0; round < 40; ++round) {
        // Short keys of few letters: many share a start, some are equal.
        const int size = round < 20 ? 50 + int(random.bounded(200)) : 3000;
        QVector<QString> keys;
        for (int i = 0; i < size; ++i) {
            QString key;
            const int length = 1 + int(random.bounded(4));
            for (int c = 0; c < length; ++c)
                key += QChar(u"abg"[random.bounded(3)]);
            keys << key;
        }
        QVector<int> sorted(size);
        std::iota(sorted.begin(), sorted.end(), 0);
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return keys.at(a) < keys.at(b); });
        for (const QString &phrase : {QStringLiteral("a"), QStringLiteral("g"), QStringLiteral("ab"), QStringLiteral("bga"),
                                     QStringLiteral("gggg"), QStringLiteral("z"), QStringLiteral("")}) {
            for (int count : {1, 12, 100}) {
                QVector<int> exact, longer;
                for (int entry = 0; entry < size; ++entry) {
                    if (keys.at(entry) == phrase && exact.size() < count)
                        exact << entry;
                    else if (keys.at(entry).size() > phrase.size() && keys.at(entry).startsWith(phrase) && longer.size() < count)
                        longer << entry;
                }
                EXPECT_EQ(leadingCompletionEntries(keys, sorted, phrase, count), exact + longer)
                    << "round " << round << " phrase " << phrase.toStdString() << " count " << count;
            }
            const auto [from, to] = keyRange(keys, sorted, phrase);
            int matching = 0;
            for (const QString &key : keys)
                matching += key.startsWith(phrase) ? 1 : 0;
            EXPECT_EQ(to - from, matching);
            for (int i = from; i < to; ++i)
                EXPECT_TRUE(keys.at(sorted.at(i)).startsWith(phrase));
        }
    }
}
