// Collection settings as a paint maker's file or a hand edit may have them: after the
// first byte, the input's lines become the values of every setting, and the accessor
// that the first byte names reads them.

#include "FuzzSupport.h"

#include "engine/db/CollectionKeys.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <iterator>
#include <memory>

using Vantor::CollectionSettings;

namespace {

void storeSettings(const QList<QByteArray> &lines)
{
    // One connection and two statements for the whole run; the file is the process's own
    // and thrown away with it, so its writes need not wait for the disk.
    static QSqlDatabase db;
    static std::unique_ptr<QSqlQuery> remove;
    static std::unique_ptr<QSqlQuery> insert;
    static qint64 id = 0;
    if (!remove) {
        id = Vantor::DB::CollectionRegistry::instance().collectionId(Palettra::Fuzz::Collection);
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz-settings"));
        db.setDatabaseName(
            Vantor::DB::CollectionRegistry::instance().collectionLocation(Palettra::Fuzz::Collection).databasePath);
        if (!db.open())
            Palettra::Fuzz::broken("cannot open the collection file for writing");
        QSqlQuery pragmas(db);
        pragmas.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        pragmas.exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
        remove = std::make_unique<QSqlQuery>(db);
        remove->prepare(QStringLiteral("DELETE FROM SETTING WHERE COLLECTION_ID = ? AND NAME != 'collection.enabled'"));
        insert = std::make_unique<QSqlQuery>(db);
        insert->prepare(QStringLiteral("INSERT INTO SETTING(COLLECTION_ID, NAME, VALUE, VALUE_INDEX) VALUES(?, ?, ?, ?)"));
    }
    db.transaction();
    remove->bindValue(0, id);
    remove->exec();
    // Eight values a setting at most: lists longer than that take no other path.
    const int keys = int(Vantor::DB::SettingKey::Count);
    for (int i = 0; i < lines.size() && i < 8 * keys; ++i) {
        const QString name = Vantor::DB::settingKeyText(Vantor::DB::SettingKey(i % keys));
        if (name.isEmpty() || name == QLatin1String("collection.enabled"))
            continue;
        insert->bindValue(0, id);
        insert->bindValue(1, name);
        insert->bindValue(2, QString::fromUtf8(lines.at(i)));
        insert->bindValue(3, i / keys);
        insert->exec();
    }
    db.commit();
}

// Every parsing accessor, one per input as its first byte chooses: the run covers them
// all, and an input costs the look-ups of one accessor rather than of all of them.
using Accessor = void (*)(const QUuid &);
const Accessor Accessors[] = {
    [](const QUuid &uuid) { Vantor::DB::loadOrderLists(uuid); },
    [](const QUuid &uuid) { CollectionSettings::maxChipsOnAPage(uuid); },
    [](const QUuid &uuid) { CollectionSettings::cardType(uuid); },
    [](const QUuid &uuid) { CollectionSettings::numOfSegments(uuid); },
    [](const QUuid &uuid) { CollectionSettings::firstSegmentAngle(uuid); },
    [](const QUuid &uuid) { CollectionSettings::segmentIncrementOrientation(uuid); },
    [](const QUuid &uuid) { CollectionSettings::modeCard(uuid); },
    [](const QUuid &uuid) { CollectionSettings::modeMood(uuid); },
    [](const QUuid &uuid) { CollectionSettings::hasExteriorFilter(uuid); },
    [](const QUuid &uuid) { CollectionSettings::moodVisible(uuid); },
    [](const QUuid &uuid) { CollectionSettings::productGroupsMode(uuid); },
    [](const QUuid &uuid) { CollectionSettings::productNameCodeSeparator(uuid); },
    [](const QUuid &uuid) { CollectionSettings::hasColorSchemesPage(uuid); },
    [](const QUuid &uuid) { CollectionSettings::schemes(uuid); },
    [](const QUuid &uuid) { CollectionSettings::tooltipShowPageName(uuid); },
    [](const QUuid &uuid) { CollectionSettings::tooltipShowRowName(uuid); },
    [](const QUuid &uuid) { CollectionSettings::tooltipShowRowCode(uuid); },
    [](const QUuid &uuid) { CollectionSettings::tooltipShowRowAuxiliary(uuid); },
    [](const QUuid &uuid) { CollectionSettings::tooltipShowCollectionName(uuid); },
    [](const QUuid &uuid) { CollectionSettings::tooltipShowPageIndex(uuid); },
    [](const QUuid &uuid) { CollectionSettings::tooltipShowRowIndex(uuid); },
    [](const QUuid &uuid) { CollectionSettings::cie2000DeltaIntervals(uuid); },
    [](const QUuid &uuid) { CollectionSettings::tabBarPageOrder(uuid); },
    [](const QUuid &uuid) { CollectionSettings::prospectChipSize(uuid, QSize(60, 40)); },
    [](const QUuid &uuid) { CollectionSettings::headerLink(uuid); },
    [](const QUuid &uuid) { CollectionSettings::helpLink(uuid); },
    [](const QUuid &uuid) { CollectionSettings::textureSize(uuid, QSize(148, 96)); },
    [](const QUuid &uuid) { CollectionSettings::savePaletteTextFormat(uuid, false); },
    [](const QUuid &uuid) { CollectionSettings::capsureEnabled(uuid); },
    [](const QUuid &uuid) { CollectionSettings::capsureFilenameToWatch(uuid); },
    [](const QUuid &uuid) { CollectionSettings::capsureFolderToWatch(uuid); },
    [](const QUuid &uuid) { CollectionSettings::availableTabBarPages(uuid); },
    [](const QUuid &uuid) {
        for (int mood = 0; mood <= 7; ++mood)
            CollectionSettings::hasPageWithExteriorMood(uuid, mood);
    },
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    if (size == 0)
        return 0;
    const QUuid uuid = Palettra::Fuzz::Collection;
    storeSettings(QByteArray(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1).split('\n'));
    // A fresh cache, so that the accessor reads what was just stored.
    CollectionSettings::useCollection(QUuid::createUuid());
    CollectionSettings::useCollection(uuid);
    Accessors[data[0] % std::size(Accessors)](uuid);
    return 0;
}
