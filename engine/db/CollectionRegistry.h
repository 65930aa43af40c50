#pragma once

#include "CollectionLocation.h"
#include "StatusCodes.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QUuid>

namespace Vantor::DB {

// The machine's common application-data folder. On Linux it follows the XDG rule for
// data folders: of the entries of XDG_DATA_DIRS ("/usr/local/share:/usr/share" when that
// is unset or empty), the first that holds the collection folder
// "Orva Tavel/Palettra/SQLite", else the first entry. So collections installed under
// /usr are found with no variable set, and a folder of one's own listed first wins.
QString commonAppDataFolder();

// What tells one state of a file from another without reading it: the file itself
// (device and inode) and its size and times, with SQLite's count of changes written
// through other connections (what a modification within the file system's clock tick
// would hide).
struct FileIdentity
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds
    qint64 changed = 0;  // nanoseconds
    qint64 dataVersion = -1;

    bool operator==(const FileIdentity &other) const;
    bool operator!=(const FileIdentity &other) const { return !(*this == other); }
};

// The process-wide registry of collections: finds the .db files below the base folder,
// keys every enabled collection (and each file's virtual collection) by UUID, and opens
// one named connection per file on demand. A connection stays open until
// refreshChangedFiles() finds its file replaced, changed, or gone.
class CollectionRegistry
{
public:
    static CollectionRegistry &instance();

    void setBaseFolder(const QString &folder);
    QString baseFolder() const { return m_baseFolder; }

    // (Re)fills the registry from the database files; always returns 0.
    int enumerateCollections(bool clear);
    // 1 when at least one collection is registered, 2 when none is.
    int checkCollectionsAvailable();
    // All registered collections but the virtual one, in ascending display order; equal
    // orders by file name, then by UUID.
    QList<QUuid> orderedCollectionUuids();
    // 0, -2 (null UUID), -4 (unknown) or -5 (file cannot be opened).
    int openCollection(const QUuid &uuid);

    CollectionLocation collectionLocation(const QUuid &uuid) const;
    // The collection's id in its file, or -1 for an unknown UUID.
    qint64 collectionId(const QUuid &uuid) const;
    int findCollectionBySystemId(const QString &systemId, QUuid &uuid) const;
    // The registered collection with that id in a database file, by default the file of
    // the virtual collection (whose connection answers the queries across collections);
    // null when none.
    QUuid collectionOwning(qint64 collectionId, const QString &databasePath = QString()) const;

    // The already-open connection of the collection's file (invalid when not opened).
    QSqlDatabase connection(const QUuid &uuid) const;
    // The file's own path: names that differ only in letter case are other files.
    static QString connectionName(const QString &databasePath);

    // Makes the registry answer for the collection files as they are now; called before
    // each user action and collection switch, so it costs a look at the folder and at
    // each open file (no reading). A file replaced (another file under its name), changed
    // in place or gone has its connection closed, to be opened again on demand, and
    // every cache derived from it dropped; files that came or went are enumerated again.
    // Returns whether anything changed; then filesGeneration() has moved on.
    bool refreshChangedFiles();
    // Counts the changes refreshChangedFiles() has found: what was read from the files
    // under another number is out of date.
    quint64 filesGeneration() const { return m_filesGeneration; }

    bool isEmpty() const { return m_locations.isEmpty(); }
    QList<CollectionLocation> locations() const { return m_locations.values(); }

private:
    CollectionRegistry() = default;
    void enumerateFile(const QString &filePath);

    QHash<QUuid, CollectionLocation> m_locations;
    QString m_baseFolder;
    // The collection files as the last scan found them (names, sizes, times): a look-up
    // of an unknown collection scans again only when they changed.
    QString m_scannedFiles;
    // The folder's own time at the last scan: names added, removed or renamed change it.
    QString m_scannedFolder;
    qint64 m_scannedFolderTime = 0;
    // Each open file as it was when its connection opened, by connection name.
    QHash<QString, FileIdentity> m_openFiles;
    quint64 m_filesGeneration = 0;
};

} // namespace Vantor::DB
