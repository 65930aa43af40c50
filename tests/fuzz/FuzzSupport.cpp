#include "FuzzSupport.h"

#include "engine/EngineStartup.h"
#include "tools/deck/CompleteDatabase.h"
#include "tools/deck/DeckWriter.h"

#include <QDir>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Palettra::Fuzz {

const QUuid Collection(QStringLiteral("{6d2b7a90-0f1e-4c55-9a31-5e0c2b1a7001}"));

namespace {

void writeSmallDeck(const QString &base)
{
    const QString file = base + QStringLiteral("/Contents/Resources/fuzz.db");
    QDir().mkpath(base + QStringLiteral("/Contents/Resources"));
    if (!Deck::createCompleteDatabase(file).isEmpty())
        broken("cannot create the collection file");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz-writer"));
        db.setDatabaseName(file);
        db.open();
        Deck::DeckWriter w(db);
        const qint64 id = w.addCollection(Collection, QStringLiteral("FUZZ"), QStringLiteral("Fuzz"), 1);
        w.addSetting(id, QStringLiteral("card.type"), QStringLiteral("normal"));
        w.addSetting(id, QStringLiteral("max.chips.on.a.page"), 4);
        w.addSettingList(id, QStringLiteral("row.name.search.order"), {QStringLiteral("0")});
        for (int card = 1; card <= 6; ++card) {
            const qint64 page = w.addPage(id, card, 1 + card / 3, QStringLiteral("Card %1").arg(card));
            for (int chip = 1; chip <= 4; ++chip) {
                Deck::RowSpec row;
                row.rowIndex = chip;
                row.code = QStringLiteral("F-%1-%2").arg(card).arg(chip);
                row.segment = 1 + card / 3;
                row.rgb = QColor(40 * card, 60 * chip, 120);
                row.names = {QStringLiteral("Fuzz %1 %2").arg(card).arg(chip)};
                w.addRow(id, page, row);
            }
        }
        if (!w.ok())
            broken("cannot fill the collection file");
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fuzz-writer"));
}

} // namespace

void startEngineOnce()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    // Folders of the process's own, gone with it; never the user's.
    static QTemporaryDir folders;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", (folders.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", (folders.path() + QStringLiteral("/data")).toLocal8Bit());
    static int argc = 1;
    static char name[] = "palettra-fuzz";
    static char *argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    const QString base = folders.path() + QStringLiteral("/base");
    writeSmallDeck(base);
    if (Vantor::startEngine(QString(), base) != Vantor::StartupOk)
        broken("the engine does not start on the collection file");
}

void broken(const char *what)
{
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

} // namespace Palettra::Fuzz
