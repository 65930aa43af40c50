// Collection settings as a paint maker's file or a hand edit may have them: the input's
// lines become the values of every setting, and every accessor reads them.

#include "FuzzSupport.h"

#include "engine/db/CollectionKeys.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"

#include <QSqlDatabase>
#include <QSqlQuery>

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
    const int keys = int(Vantor::DB::SettingKey::Count);
    for (int i = 0; i < lines.size(); ++i) {
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Palettra::Fuzz::startEngineOnce();
    const QUuid uuid = Palettra::Fuzz::Collection;
    storeSettings(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\n'));
    // A fresh cache, so that every accessor reads what was just stored.
    CollectionSettings::useCollection(QUuid::createUuid());
    CollectionSettings::useCollection(uuid);
    Vantor::DB::loadOrderLists(uuid);

    CollectionSettings::maxChipsOnAPage(uuid);
    CollectionSettings::cardType(uuid);
    CollectionSettings::numOfSegments(uuid);
    CollectionSettings::firstSegmentAngle(uuid);
    CollectionSettings::segmentIncrementOrientation(uuid);
    CollectionSettings::modeCard(uuid);
    CollectionSettings::modeMood(uuid);
    CollectionSettings::hasExteriorFilter(uuid);
    CollectionSettings::moodVisible(uuid);
    CollectionSettings::productGroupsMode(uuid);
    CollectionSettings::productNameCodeSeparator(uuid);
    CollectionSettings::hasColorSchemesPage(uuid);
    CollectionSettings::schemes(uuid);
    CollectionSettings::tooltipShowPageName(uuid);
    CollectionSettings::tooltipShowRowName(uuid);
    CollectionSettings::tooltipShowRowCode(uuid);
    CollectionSettings::tooltipShowRowAuxiliary(uuid);
    CollectionSettings::tooltipShowCollectionName(uuid);
    CollectionSettings::tooltipShowPageIndex(uuid);
    CollectionSettings::tooltipShowRowIndex(uuid);
    CollectionSettings::cie2000DeltaIntervals(uuid);
    CollectionSettings::tabBarPageOrder(uuid);
    CollectionSettings::prospectChipSize(uuid, QSize(60, 40));
    CollectionSettings::headerLink(uuid);
    CollectionSettings::helpLink(uuid);
    CollectionSettings::textureSize(uuid, QSize(148, 96));
    CollectionSettings::savePaletteTextFormat(uuid, false);
    CollectionSettings::capsureEnabled(uuid);
    CollectionSettings::capsureFilenameToWatch(uuid);
    CollectionSettings::capsureFolderToWatch(uuid);
    CollectionSettings::availableTabBarPages(uuid);
    for (int mood = 0; mood <= 7; ++mood)
        CollectionSettings::hasPageWithExteriorMood(uuid, mood);
    return 0;
}
