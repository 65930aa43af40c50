#include "PersistentState.h"

#include "EngineStartup.h"
#include "engine/db/LogCategories.h"

#include <QHash>
#include <QSettings>
#include <QVariant>

#include <initializer_list>
#include <optional>
#include <limits>
#include <utility>

namespace Vantor {

namespace {

const QString LastUsedCollectionKey = QStringLiteral("UuidOfLastUsedCollection");
const QString HostApplicationPidKey = QStringLiteral("HostApplicationPID");
const QString MyPaletteGroup = QStringLiteral("MyPalette");

QUuid &cachedLastUsedCollection()
{
    static QUuid uuid;
    return uuid;
}

// What was written while the settings file could not be written (a read-only
// configuration folder): reads take it from here, so that the picker goes on working
// until the process ends. A removed key is held as an invalid value.
QHash<QString, QVariant> &unsavedValues()
{
    static QHash<QString, QVariant> values;
    return values;
}

// A fresh store object per access: each write reaches the file when it is destroyed. A
// file that cannot be written is said once, and what was written is kept in memory.
class Store : public QSettings
{
public:
    Store()
        : QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Orva Tavel"),
                    settingsApplicationName())
    {
    }
    ~Store() override
    {
        sync();
        if (status() != QSettings::AccessError || written.isEmpty())
            return;
        for (auto it = written.cbegin(); it != written.cend(); ++it)
            unsavedValues().insert(it.key(), it.value());
        static bool said = false;
        if (!std::exchange(said, true))
            qCWarning(lcEngine).noquote() << "the settings file" << fileName()
                                          << "cannot be written: changes last until the program ends";
    }
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    void write(const QString &key, const QVariant &value)
    {
        written.insert(key, value);
        setValue(key, value);
    }
    void erase(const QString &key)
    {
        written.insert(key, QVariant());
        remove(key);
    }

private:
    QHash<QString, QVariant> written;
};

// The store of the outermost open batch, if any.
Store *&batchStore()
{
    static Store *store = nullptr;
    return store;
}

int &batchDepth()
{
    static int depth = 0;
    return depth;
}

// The open batch's store, or a fresh one for this access alone; what could not be
// written to the file is read from memory.
class StoreAccess
{
public:
    StoreAccess()
    {
        if (!batchStore())
            m_own.emplace();
    }
    QVariant value(const QString &key, const QVariant &fallback = QVariant())
    {
        const auto unsaved = unsavedValues().constFind(key);
        if (unsaved != unsavedValues().cend())
            return unsaved->isValid() ? *unsaved : fallback;
        return store().value(key, fallback);
    }
    bool contains(const QString &key)
    {
        const auto unsaved = unsavedValues().constFind(key);
        return unsaved != unsavedValues().cend() ? unsaved->isValid() : store().contains(key);
    }
    void setValue(const QString &key, const QVariant &value) { store().write(key, value); }
    void remove(const QString &key) { store().erase(key); }

private:
    Store &store() { return m_own ? *m_own : *batchStore(); }
    std::optional<Store> m_own;
};

QString collectionKey(const QUuid &collection, const QString &key)
{
    return collection.toString() + QLatin1Char('/') + key;
}

QString cellKey(int row, int column, const char *suffix)
{
    return MyPaletteGroup + QStringLiteral("/(%1,%2)").arg(row).arg(column) + QLatin1String(suffix);
}

// Integer reads: the default when the key is missing or its value is not a single
// value at all; `unconvertible` when the value does not read as a whole number.
qint64 readInteger(const QString &key, qint64 defaultValue, qint64 unconvertible)
{
    const QVariant value = StoreAccess().value(key);
    if (!value.isValid())
        return defaultValue;
    if (!value.canConvert<qlonglong>() || value.typeId() == QMetaType::QStringList)
        return defaultValue;
    bool ok = false;
    const qint64 number = value.typeId() == QMetaType::QString ? value.toString().trimmed().toLongLong(&ok)
                                                                : value.toLongLong(&ok);
    return ok ? number : unconvertible;
}

// Boolean reads: "true"/"false" as Qt writes them, or a whole number (non-zero = true);
// anything else is unconvertible.
bool readBoolean(const QString &key, bool defaultValue, bool unconvertible)
{
    const QVariant value = StoreAccess().value(key);
    if (!value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() != QMetaType::QString)
        return value.canConvert<bool>() && value.typeId() != QMetaType::QStringList ? value.toBool() : defaultValue;
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    return ok ? number != 0 : unconvertible;
}

int acceptedOr(qint64 value, std::initializer_list<int> accepted, int fallback)
{
    for (int candidate : accepted) {
        if (value == candidate)
            return candidate;
    }
    return fallback;
}

int clampToInt(qint64 value)
{
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return 0;
    return int(value);
}

quint64 &writeCount()
{
    static quint64 count = 0;
    return count;
}

void write(const QString &key, const QVariant &value)
{
    ++writeCount();
    StoreAccess().setValue(key, value);
}

void remove(const QString &key)
{
    ++writeCount();
    StoreAccess().remove(key);
}

} // namespace

PersistentStateBatch::PersistentStateBatch()
{
    if (batchDepth()++ == 0)
        batchStore() = new Store;
}

PersistentStateBatch::~PersistentStateBatch()
{
    if (--batchDepth() == 0) {
        delete batchStore(); // writes the file
        batchStore() = nullptr;
    }
}

quint64 persistentStateWriteCount()
{
    return writeCount();
}

QString settingsFilePath()
{
    return Store().fileName();
}

QUuid lastUsedCollection()
{
    QUuid &cache = cachedLastUsedCollection();
    if (!cache.isNull())
        return cache;
    StoreAccess store;
    if (store.contains(LastUsedCollectionKey))
        cache = QUuid(store.value(LastUsedCollectionKey).toString());
    return cache;
}

void setLastUsedCollection(const QUuid &uuid)
{
    write(LastUsedCollectionKey, uuid.toString());
    cachedLastUsedCollection() = uuid;
}

qint64 hostApplicationPid()
{
    return readInteger(HostApplicationPidKey, 0, 0);
}

void setHostApplicationPid(qint64 pid)
{
    write(HostApplicationPidKey, pid);
}

int segmentIndex(const QUuid &collection)
{
    return clampToInt(readInteger(collectionKey(collection, QStringLiteral("SegmentIndex")), 1, 0));
}

void setSegmentIndex(const QUuid &collection, int segment)
{
    write(collectionKey(collection, QStringLiteral("SegmentIndex")), segment);
}

int moodFilter(const QUuid &collection)
{
    const qint64 mood = readInteger(collectionKey(collection, QStringLiteral("MoodFilter")), 7, 7);
    return mood >= 1 && mood <= 7 ? int(mood) : 7;
}

void setMoodFilter(const QUuid &collection, int mood)
{
    write(collectionKey(collection, QStringLiteral("MoodFilter")), mood);
}

bool exteriorColors(const QUuid &collection)
{
    return readBoolean(collectionKey(collection, QStringLiteral("ExteriorColors")), false, false);
}

void setExteriorColors(const QUuid &collection, bool exteriorOnly)
{
    write(collectionKey(collection, QStringLiteral("ExteriorColors")), exteriorOnly);
}

bool showMto(const QUuid &collection)
{
    return readBoolean(collectionKey(collection, QStringLiteral("ShowMto")), false, false);
}

void setShowMto(const QUuid &collection, bool show)
{
    write(collectionKey(collection, QStringLiteral("ShowMto")), show);
}

int pageIndex(const QUuid &collection)
{
    return clampToInt(readInteger(collectionKey(collection, QStringLiteral("PageIndex")), 1, 0));
}

void setPageIndex(const QUuid &collection, int page)
{
    write(collectionKey(collection, QStringLiteral("PageIndex")), page);
}

int rowIndex(const QUuid &collection)
{
    return clampToInt(readInteger(collectionKey(collection, QStringLiteral("RowIndex")), 1, 0));
}

void setRowIndex(const QUuid &collection, int row)
{
    write(collectionKey(collection, QStringLiteral("RowIndex")), row);
}

int tabPageIndex(const QUuid &collection)
{
    return acceptedOr(readInteger(collectionKey(collection, QStringLiteral("TabPageIndex")), 0, 0), {1, 2, 4, 8}, 0);
}

void setTabPageIndex(const QUuid &collection, int page)
{
    write(collectionKey(collection, QStringLiteral("TabPageIndex")), page);
}

int schemeKind(const QUuid &collection)
{
    const qint64 kind = readInteger(collectionKey(collection, QStringLiteral("SchemeKind")), 0, 0);
    return kind >= 1 && kind <= 9 ? int(kind) : 0;
}

void setSchemeKind(const QUuid &collection, int kind)
{
    write(collectionKey(collection, QStringLiteral("SchemeKind")), kind);
}

int schemeNeutralSubKind(const QUuid &collection)
{
    return acceptedOr(readInteger(collectionKey(collection, QStringLiteral("SchemeNeutralSubKind")), 7, 7),
                      {7, 8, 9}, 7);
}

void setSchemeNeutralSubKind(const QUuid &collection, int kind)
{
    write(collectionKey(collection, QStringLiteral("SchemeNeutralSubKind")), kind == 8 || kind == 9 ? kind : 7);
}

bool prospectGroupOpenState(const QUuid &collection, qint64 groupId, bool defaultOpen)
{
    const QString key = collectionKey(collection, QStringLiteral("ProspectGroup_%1_OpenState").arg(groupId));
    return readBoolean(key, defaultOpen, defaultOpen);
}

void setProspectGroupOpenState(const QUuid &collection, qint64 groupId, bool open)
{
    write(collectionKey(collection, QStringLiteral("ProspectGroup_%1_OpenState").arg(groupId)), open);
}

DB::ItemIndex myPaletteEntry(int row, int column)
{
    return DB::ItemIndex::fromString(StoreAccess().value(cellKey(row, column, ".Entry"), QString()).toString());
}

void setMyPaletteEntry(int row, int column, const DB::ItemIndex &entry)
{
    const QString key = cellKey(row, column, ".Entry");
    if (entry.rowId <= 0)
        remove(key);
    else
        write(key, entry.toString());
}

bool myPaletteCellSelected(int row, int column)
{
    return readBoolean(cellKey(row, column, ".Selected"), false, false);
}

void setMyPaletteCellSelected(int row, int column, bool selected)
{
    StoreAccess store;
    const QString key = cellKey(row, column, ".Selected");
    store.remove(key);
    if (selected)
        store.setValue(key, true);
}

QString myPaletteCellRoom(int row, int column)
{
    const QVariant value = StoreAccess().value(cellKey(row, column, ".Room"), QString());
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

QString myPaletteCellSurface(int row, int column)
{
    const QVariant value = StoreAccess().value(cellKey(row, column, ".Surface"), QString());
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void setMyPaletteCellRoom(int row, int column, const QString &room, const QString &surface)
{
    const PersistentStateBatch batch;
    for (const auto &[suffix, text] : {std::pair<const char *, QString>{".Room", room}, {".Surface", surface}}) {
        if (text.isEmpty())
            remove(cellKey(row, column, suffix));
        else
            write(cellKey(row, column, suffix), text);
    }
}

bool myPaletteGridVisible()
{
    return readBoolean(MyPaletteGroup + QStringLiteral("/MyPaletteGridVisible"), true, true);
}

void setMyPaletteGridVisible(bool visible)
{
    write(MyPaletteGroup + QStringLiteral("/MyPaletteGridVisible"), visible);
}

QPoint myPaletteZoomed()
{
    const QVariant value = StoreAccess().value(MyPaletteGroup + QStringLiteral("/MyPaletteZoomed"));
    return value.typeId() == QMetaType::QPoint ? value.toPoint() : QPoint(-1, -1);
}

int myPaletteSaveFileFormat()
{
    return readInteger(MyPaletteGroup + QStringLiteral("/MyPaletteSaveFileFormat"), 0, 0) == 1 ? 1 : 0;
}

void setMyPaletteSaveFileFormat(int format)
{
    write(MyPaletteGroup + QStringLiteral("/MyPaletteSaveFileFormat"), format);
}

QString myPaletteLastSavePath()
{
    const QVariant value = StoreAccess().value(MyPaletteGroup + QStringLiteral("/MyPaletteLastSavePath"), QString());
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void setMyPaletteLastSavePath(const QString &path)
{
    write(MyPaletteGroup + QStringLiteral("/MyPaletteLastSavePath"), path);
}

QString myPaletteDescription()
{
    const QVariant value = StoreAccess().value(MyPaletteGroup + QStringLiteral("/MyPaletteDescription"), QString());
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void setMyPaletteDescription(const QString &description)
{
    write(MyPaletteGroup + QStringLiteral("/MyPaletteDescription"), description);
}

int myPaletteFullBackgroundColor()
{
    return clampToInt(readInteger(MyPaletteGroup + QStringLiteral("/MyPaletteFullBackgroundColor"), 176, 176));
}

void setMyPaletteFullBackgroundColor(int grey)
{
    write(MyPaletteGroup + QStringLiteral("/MyPaletteFullBackgroundColor"), grey);
}

namespace PersistentStateInternals {
void forgetCachedLastUsedCollection()
{
    cachedLastUsedCollection() = QUuid();
}
} // namespace PersistentStateInternals

} // namespace Vantor
