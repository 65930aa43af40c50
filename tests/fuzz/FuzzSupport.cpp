#include "FuzzSupport.h"

#include "engine/EngineStartup.h"
#include "tools/deck/CompleteDatabase.h"
#include "tools/deck/DeckWriter.h"

#include <QDir>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <cmath>
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

bool sameJsonValue(const QVariant &written, const QVariant &read)
{
    switch (written.typeId()) {
    case QMetaType::UnknownType: return !read.isValid();
    case QMetaType::Double: {
        const double a = written.toDouble();
        const double b = read.toDouble();
        if (read.typeId() != QMetaType::Double)
            return false;
        return std::isnan(a) ? std::isnan(b) : a == b && std::signbit(a) == std::signbit(b);
    }
    case QMetaType::LongLong:
        return written.toLongLong() < 0 ? read.typeId() == QMetaType::LongLong && read.toLongLong() == written.toLongLong()
                                        : read.typeId() == QMetaType::ULongLong && read.toULongLong() == written.toULongLong();
    case QMetaType::ULongLong: return read.typeId() == QMetaType::ULongLong && read.toULongLong() == written.toULongLong();
    case QMetaType::Bool: return read.typeId() == QMetaType::Bool && read.toBool() == written.toBool();
    case QMetaType::QString: return read.typeId() == QMetaType::QString && read.toString() == written.toString();
    case QMetaType::QVariantList: {
        const QVariantList a = written.toList();
        const QVariantList b = read.toList();
        if (read.typeId() != QMetaType::QVariantList || a.size() != b.size())
            return false;
        for (int i = 0; i < a.size(); ++i) {
            if (!sameJsonValue(a.at(i), b.at(i)))
                return false;
        }
        return true;
    }
    case QMetaType::QVariantMap: {
        const QVariantMap a = written.toMap();
        const QVariantMap b = read.toMap();
        if (read.typeId() != QMetaType::QVariantMap || a.keys() != b.keys())
            return false;
        for (auto it = a.cbegin(); it != a.cend(); ++it) {
            if (!sameJsonValue(it.value(), b.value(it.key())))
                return false;
        }
        return true;
    }
    default: return false;
    }
}

void broken(const char *what)
{
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

} // namespace Palettra::Fuzz
