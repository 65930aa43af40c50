#include "BenchDecks.h"

#include "engine/db/CollectionRegistry.h"
#include "engine/colour/ColourDifference.h"
#include "tools/deck/CompleteDatabase.h"
#include "tools/deck/DeckWriter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>

#include <cstdio>
#include <cstdlib>

namespace Palettra::Bench {

using namespace Vantor;

// Generating the large collection takes a while: it is kept between runs, in the folder
// PALETTRA_BENCH_DATA names or below the temporary folder, and made again when missing.
QString databaseFolder()
{
    const QString named = qEnvironmentVariable("PALETTRA_BENCH_DATA");
    return named.isEmpty() ? QDir::tempPath() + QStringLiteral("/palettra-bench-v2") : named;
}

int cardCount(int colours)
{
    return (colours + ChipsPerCard - 1) / ChipsPerCard;
}

namespace {

// A collection file of `colours` chips in 24 segments, cards in segment order, names
// and codes in two search orders, all moods (all-moods cards are mostly 1 to 4).
void writeCollection(const QString &file, const QUuid &uuid, int colours)
{
    const QString error = Deck::createCompleteDatabase(file);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    const QString connection = QStringLiteral("bench-writer");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        db.open();
        db.transaction();
        Deck::DeckWriter writer(db);
        const qint64 id = writer.addCollection(uuid, QStringLiteral("S%1").arg(colours), QStringLiteral("Bench"), 1);
        writer.addSettingList(id, QStringLiteral("row.name.search.order"), {QStringLiteral("0"), QStringLiteral("1")});
        writer.addSettingList(id, QStringLiteral("page.name.search.order"), {QStringLiteral("0")});
        // Measurements are looked up in it, as in a collection a maker sells.
        writer.addSetting(id, QStringLiteral("capsure.enabled"), 1);
        writer.addSetting(id, QStringLiteral("capsure.priority"), colours >= 100000 ? 2 : 1);
        QRandomGenerator random(colours);
        const int cards = cardCount(colours);
        int written = 0;
        for (int card = 1; card <= cards; ++card) {
            const int segment = 1 + (card - 1) * 24 / cards;
            const int mood = 1 + card % 6;
            const qint64 page = writer.addPage(id, card, segment, QStringLiteral("Card %1").arg(card), card % 3 == 0, mood,
                                               {QStringLiteral("Card %1").arg(card)});
            for (int row = 1; row <= ChipsPerCard && written < colours; ++row, ++written) {
                Deck::RowSpec spec;
                spec.rowIndex = row;
                spec.code = QStringLiteral("C%1").arg(written, 6, 10, QLatin1Char('0'));
                spec.segment = segment;
                spec.rgb = QColor::fromRgb(random.generate() & 0xffffff);
                const LabColour lab = labFromColour(spec.rgb);
                spec.l = lab.l;
                spec.a = lab.a;
                spec.b = lab.b;
                spec.names = {QStringLiteral("Colour %1").arg(written), QStringLiteral("Farbe %1").arg(written)};
                writer.addRow(id, page, spec);
            }
        }
        db.commit();
        QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
        if (!writer.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(writer.lastError()));
            std::exit(1);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace

void prepareDatabases()
{
    const QString resources = databaseFolder() + QStringLiteral("/Contents/Resources");
    QDir().mkpath(resources);
    const std::pair<const char *, std::pair<QUuid, int>> files[] = {{"small.db", {SmallCollection, 1000}},
                                                                     {"large.db", {LargeCollection, 100000}}};
    for (const auto &[name, collection] : files) {
        const QString file = resources + QLatin1Char('/') + QLatin1String(name);
        if (!QFile::exists(file)) {
            writeCollection(file + QStringLiteral(".partial"), collection.first, collection.second);
            QFile::rename(file + QStringLiteral(".partial"), file);
        }
    }
    DB::CollectionRegistry::instance().setBaseFolder(databaseFolder());
    DB::CollectionRegistry::instance().enumerateCollections(true);
}


QString databaseFile(int colours)
{
    return databaseFolder() + (colours >= 100000 ? QStringLiteral("/Contents/Resources/large.db")
                                                 : QStringLiteral("/Contents/Resources/small.db"));
}

const QUuid &collectionFor(int colours)
{
    return colours >= 100000 ? LargeCollection : SmallCollection;
}

} // namespace Palettra::Bench
