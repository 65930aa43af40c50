#include "CollectionRegistry.h"

#include "CapsureQueries.h"
#include "CollectionSettings.h"
#include "LogCategories.h"
#include "SharedTypes.h"
#include "SqlSupport.h"
#include "ThemeResources.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

#include <sys/stat.h>

namespace Vantor::DB {

namespace {

const char *const EnumeratorConnection = "collectionEnumerator";
const char *const AvailabilityConnection = "tmpCheckAvailability";
const char *const ResourcesFolder = "Contents/Resources";

// A file contributes its virtual collection and every collection switched on by its
// "collection.enabled" setting.
const char *const EnumerateStatement =
    "SELECT     DISTINCT C.* FROM     COLLECTION C     LEFT JOIN SETTING S ON S.COLLECTION_ID = C.ID "
    "WHERE     (C.UUID = :UUID COLLATE NOCASE) OR     (S.NAME = :ENABLED_KEY COLLATE NOCASE AND S.VALUE = 1)";

const char *const CollectionEnabledKey = "collection.enabled";

QSqlDatabase addReadOnlyConnection(const QString &name, const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(SqlDriverName), name);
    db.setConnectOptions(QLatin1String(ReadOnlyConnectOptions));
    db.setDatabaseName(path);
    return db;
}

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The file as the file system has it now (no data version: that needs a connection).
FileIdentity identityOf(const QString &path)
{
    FileIdentity identity;
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return identity;
    identity.exists = true;
    identity.device = quint64(info.st_dev);
    identity.inode = quint64(info.st_ino);
    identity.size = qint64(info.st_size);
    identity.modified = nanoseconds(info.st_mtim);
    identity.changed = nanoseconds(info.st_ctim);
    return identity;
}

// The folder's modification time, or -1 when it is gone.
qint64 folderTime(const QString &folder)
{
    struct stat info;
    return ::stat(QFile::encodeName(folder).constData(), &info) == 0 ? nanoseconds(info.st_mtim) : -1;
}

// Closes the named connection and drops what was kept from it. False (nothing closed)
// while one of its statements is being read up the stack: the next check closes it.
bool closeConnection(const QString &name)
{
    if (!forgetStatementsOf(name))
        return false;
    forgetLabColorsOf(name);
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
    return true;
}

} // namespace

bool FileIdentity::operator==(const FileIdentity &other) const
{
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size
        && modified == other.modified && changed == other.changed && dataVersion == other.dataVersion;
}

QString commonAppDataFolder()
{
    QStringList entries = qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (entries.isEmpty())
        entries = QStringList{QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    for (const QString &entry : std::as_const(entries)) {
        if (QFileInfo(entry + QStringLiteral("/Orva Tavel/Palettra/SQLite")).isDir())
            return entry;
    }
    return entries.first();
}

CollectionRegistry &CollectionRegistry::instance()
{
    static CollectionRegistry registry;
    return registry;
}

void CollectionRegistry::setBaseFolder(const QString &folder)
{
    m_baseFolder = folder;
}

QString CollectionRegistry::connectionName(const QString &databasePath)
{
    return databasePath;
}

int CollectionRegistry::enumerateCollections(bool clear)
{
    if (clear) {
        m_locations.clear();
        m_scannedFiles.clear();
        forgetDecodedThemeImages();
    }

    const QDir base(m_baseFolder);
    if (m_baseFolder.isEmpty() || !base.exists(QLatin1String(ResourcesFolder)))
        return 0;

    QString folder = QDir::toNativeSeparators(base.path());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    folder = QDir::toNativeSeparators(folder + QLatin1String(ResourcesFolder));

    // The folder's time before its names are read: a change while they are read is
    // found by the next check.
    const qint64 scannedFolderTime = folderTime(folder);
    // In name order, so that the same folder always gives the same registry: the first
    // file still wins a UUID that several files hold.
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.db")}, QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    QString scanned = folder + QLatin1Char('\n');
    for (const QFileInfo &file : files) {
        scanned += QStringLiteral("%1|%2|%3|%4\n")
                       .arg(file.fileName())
                       .arg(file.size())
                       .arg(file.lastModified().toMSecsSinceEpoch())
                       .arg(file.metadataChangeTime().toMSecsSinceEpoch());
    }
    // Opening every file again finds nothing new when none came, went or changed: a
    // palette whose chips name a missing collection would otherwise open them all for
    // every chip.
    m_scannedFolder = folder;
    m_scannedFolderTime = scannedFolderTime;
    if (!clear && scanned == m_scannedFiles)
        return 0;
    m_scannedFiles = scanned;
    for (const QFileInfo &file : files)
        enumerateFile(file.absoluteFilePath());
    return 0;
}

void CollectionRegistry::enumerateFile(const QString &filePath)
{
    {
        QSqlDatabase db = addReadOnlyConnection(QLatin1String(EnumeratorConnection), filePath);
        const bool hasCollectionTable = db.open()
            && db.tables().contains(QLatin1String("COLLECTION"), Qt::CaseInsensitive);
        if (hasCollectionTable) {
            QSqlQuery query(db);
            query.prepare(QLatin1String(EnumerateStatement));
            query.bindValue(QStringLiteral(":UUID"), SystemWideCollectionUuid.toString());
            query.bindValue(QStringLiteral(":ENABLED_KEY"), QLatin1String(CollectionEnabledKey));
            if (query.exec()) {
                while (query.next()) {
                    const QSqlRecord record = query.record();
                    const QUuid uuid(record.value(QStringLiteral("UUID")).toString());
                    if (uuid.isNull() || m_locations.contains(uuid))
                        continue;
                    CollectionLocation location;
                    location.uuid = uuid;
                    location.id = record.value(QStringLiteral("ID")).toLongLong();
                    location.order = record.value(QStringLiteral("ORDER")).toInt();
                    location.databasePath = db.databaseName();
                    location.systemId = record.value(QStringLiteral("SYSTEMID")).toString();
                    m_locations.insert(uuid, location);
                }
            } else {
                logQueryError(query);
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(EnumeratorConnection));
}

int CollectionRegistry::checkCollectionsAvailable()
{
    if (m_locations.isEmpty()) {
        const int status = enumerateCollections(true);
        if (status < 0)
            return status;
    }
    return m_locations.isEmpty() ? 2 : 1;
}

QList<QUuid> CollectionRegistry::orderedCollectionUuids()
{
    if (m_locations.isEmpty() && enumerateCollections(true) < 0)
        return {};

    // Every collection is listed, also where orders collide (makers number their
    // collections from 1 in every file): equal orders by file name, then by UUID.
    QList<CollectionLocation> listed;
    for (auto it = m_locations.cbegin(); it != m_locations.cend(); ++it) {
        if (it.key() != SystemWideCollectionUuid)
            listed << it.value();
    }
    std::sort(listed.begin(), listed.end(), [](const CollectionLocation &a, const CollectionLocation &b) {
        if (a.order != b.order)
            return a.order < b.order;
        const QString fileA = QFileInfo(a.databasePath).fileName();
        const QString fileB = QFileInfo(b.databasePath).fileName();
        if (fileA != fileB)
            return fileA < fileB;
        return a.uuid.toString() < b.uuid.toString();
    });
    QList<QUuid> uuids;
    uuids.reserve(listed.size());
    for (const CollectionLocation &location : std::as_const(listed))
        uuids << location.uuid;
    return uuids;
}

int CollectionRegistry::openCollection(const QUuid &uuid)
{
    if (uuid.isNull())
        return StatusNullUuid;
    if (!m_locations.contains(uuid)) {
        enumerateCollections(false);
        if (!m_locations.contains(uuid))
            return StatusUnknownCollection;
    }

    const QString path = m_locations.value(uuid).databasePath;
    const QString name = connectionName(path);
    if (QSqlDatabase::contains(name))
        return StatusOk;

    bool opened = false;
    {
        QSqlDatabase probe = addReadOnlyConnection(QLatin1String(AvailabilityConnection), path);
        opened = probe.open();
        probe.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(AvailabilityConnection));
    if (!opened)
        return StatusCannotOpen;

    // The probe opened it a moment ago; a file replaced or taken away just now may still
    // refuse: no connection is kept, and the next call tries again.
    QSqlDatabase db = addReadOnlyConnection(name, path);
    if (!db.open()) {
        qCWarning(lcDatabase) << "cannot open" << path << ":" << db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        return StatusCannotOpen;
    }
    noteConnectionOpened(name);
    FileIdentity identity = identityOf(path);
    identity.dataVersion = dataVersion(db);
    m_openFiles.insert(name, identity);
    return StatusOk;
}

bool CollectionRegistry::refreshChangedFiles()
{
    bool changed = false;
    for (auto it = m_openFiles.begin(); it != m_openFiles.end();) {
        FileIdentity now = identityOf(it.key());
        if (now.exists)
            now.dataVersion = dataVersion(QSqlDatabase::database(it.key(), false));
        if (now == it.value() || !closeConnection(it.key())) {
            ++it;
            continue;
        }
        it = m_openFiles.erase(it);
        changed = true;
    }
    const qint64 folderNow = m_scannedFolder.isEmpty() ? 0 : folderTime(m_scannedFolder);
    if (!m_scannedFolder.isEmpty() && folderNow != m_scannedFolderTime) {
        // Kept also where the scan finds no folder: a folder that went is enumerated
        // again only when it comes back.
        m_scannedFolderTime = folderNow;
        enumerateCollections(true);
        changed = true;
    }
    if (changed) {
        ++m_filesGeneration;
        CollectionSettings::forgetCachedValues();
        forgetDecodedThemeImages();
    }
    return changed;
}

CollectionLocation CollectionRegistry::collectionLocation(const QUuid &uuid) const
{
    return m_locations.value(uuid);
}

qint64 CollectionRegistry::collectionId(const QUuid &uuid) const
{
    const auto it = m_locations.constFind(uuid);
    return it == m_locations.cend() ? -1 : it->id;
}

int CollectionRegistry::findCollectionBySystemId(const QString &systemId, QUuid &uuid) const
{
    for (auto it = m_locations.cbegin(); it != m_locations.cend(); ++it) {
        if (it->systemId.compare(systemId, Qt::CaseInsensitive) == 0) {
            uuid = it.key();
            return StatusOk;
        }
    }
    return StatusQueryFailed;
}

QUuid CollectionRegistry::collectionOwning(qint64 collectionId, const QString &databasePath) const
{
    const QString file = databasePath.isEmpty() ? collectionLocation(SystemWideCollectionUuid).databasePath : databasePath;
    for (auto it = m_locations.cbegin(); it != m_locations.cend(); ++it) {
        if (it.key() != SystemWideCollectionUuid && it->id == collectionId && it->databasePath == file)
            return it.key();
    }
    return QUuid();
}

QSqlDatabase CollectionRegistry::connection(const QUuid &uuid) const
{
    return QSqlDatabase::database(connectionName(collectionLocation(uuid).databasePath), false);
}

} // namespace Vantor::DB
