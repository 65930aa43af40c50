#include "CollectionSettings.h"

#include "CollectionRegistry.h"
#include "NavigationQueries.h"
#include "SharedTypes.h"
#include "SqlSupport.h"
#include "TextSort.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlQuery>

#include <limits>

namespace Vantor::DB {

namespace {

const char *const LocalizedStringStatement =
    "SELECT L.STRING FROM LOCALE L WHERE L.COLLECTION_ID = :COLLECTION_ID AND       "
    "L.KEY = :KEY COLLATE NOCASE";

const char *const SettingValueStatement =
    "SELECT S.VALUE FROM SETTING S WHERE S.COLLECTION_ID = :COLLECTION_ID AND       "
    "S.NAME = :NAME COLLATE NOCASE AND       S.VALUE_INDEX = 0 ";

const char *const SettingValuesStatement =
    "SELECT S.VALUE FROM SETTING S WHERE S.COLLECTION_ID = :COLLECTION_ID AND       "
    "S.NAME = :NAME COLLATE NOCASE ORDER BY S.VALUE_INDEX ASC ";

struct OrderLists
{
    QVector<int> pageNameDisplay;
    QVector<int> pageExtraDisplay;
    QVector<int> pageNameSearch;
    QVector<int> rowNameDisplay;
    QVector<int> rowExtraDisplay;
    QVector<int> rowNameSearch;
};

OrderLists &orderLists()
{
    static OrderLists lists;
    return lists;
}

// Runs one of the lookups above on the collection's connection with the name bound,
// and gives the first column of its rows, at most `limit` of them. The statements are
// prepared once: a collection switch looks up dozens of texts and settings. Returns
// false when the collection cannot be opened or the statement fails.
bool runLookup(const QUuid &uuid, const char *statement, const QString &value, int limit, QVariantList &values)
{
    values.clear();
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(uuid) != StatusOk)
        return false;
    PreparedStatement lookup(registry.connection(uuid), QLatin1String(statement));
    if (!lookup.exec({registry.collectionId(uuid), value})) {
        logQueryError(lookup.query());
        return false;
    }
    while (values.size() < limit && lookup.query().next())
        values << lookup.query().value(0);
    return true;
}

// A collection's texts and settings as a batch reads them: by folded key or name. A key
// met twice is left to its statement (which of the two it answers is the statement's).
struct LookupSnapshot
{
    bool usable = false;
    QHash<QString, QVariant> strings;
    QHash<QString, QMap<qint64, QVariant>> settings; // name → values by index
    QSet<QString> twice;                             // keys and names ("S:" + name) met twice
};

struct LookupBatches
{
    int depth = 0;
    QHash<QUuid, LookupSnapshot> snapshots;
};

LookupBatches &lookupBatches()
{
    static LookupBatches batches;
    return batches;
}

LookupSnapshot readSnapshot(const QUuid &uuid)
{
    LookupSnapshot snapshot;
    auto &registry = CollectionRegistry::instance();
    if (registry.openCollection(uuid) != StatusOk)
        return snapshot;
    const QSqlDatabase db = registry.connection(uuid);
    {
        PreparedStatement texts(db, QStringLiteral("SELECT L.\"KEY\", L.STRING FROM LOCALE L WHERE L.COLLECTION_ID = ?"));
        if (!texts.exec({registry.collectionId(uuid)}))
            return snapshot;
        while (texts.query().next()) {
            const QVariant key = texts.query().value(0);
            if (key.typeId() != QMetaType::QString)
                return snapshot; // compared as the statement would compare it: not here
            const QString folded = sqliteAsciiUpper(key.toString());
            if (snapshot.strings.contains(folded))
                snapshot.twice.insert(folded);
            snapshot.strings.insert(folded, texts.query().value(1));
        }
    }
    PreparedStatement settings(db, QStringLiteral("SELECT S.NAME, S.VALUE, S.VALUE_INDEX FROM SETTING S WHERE S.COLLECTION_ID = ?"));
    if (!settings.exec({registry.collectionId(uuid)}))
        return snapshot;
    while (settings.query().next()) {
        const QVariant name = settings.query().value(0);
        const QVariant index = settings.query().value(2);
        if (name.typeId() != QMetaType::QString || index.typeId() != QMetaType::LongLong)
            return snapshot;
        const QString folded = sqliteAsciiUpper(name.toString());
        QMap<qint64, QVariant> &values = snapshot.settings[folded];
        if (values.contains(index.toLongLong()))
            snapshot.twice.insert(QStringLiteral("S:") + folded);
        values.insert(index.toLongLong(), settings.query().value(1));
    }
    snapshot.usable = true;
    return snapshot;
}

// The batch's snapshot of the collection, or null outside a batch or where the batch
// cannot answer.
const LookupSnapshot *snapshotOf(const QUuid &uuid, const QString &keyOrName)
{
    LookupBatches &batches = lookupBatches();
    // A null text binds as NULL, which equals nothing, where the snapshot would take it
    // for an empty key.
    if (batches.depth == 0 || keyOrName.isNull())
        return nullptr;
    auto found = batches.snapshots.find(uuid);
    if (found == batches.snapshots.end())
        found = batches.snapshots.insert(uuid, readSnapshot(uuid));
    return found->usable ? &*found : nullptr;
}

} // namespace

CollectionLookupBatch::CollectionLookupBatch()
{
    ++lookupBatches().depth;
}

CollectionLookupBatch::~CollectionLookupBatch()
{
    if (--lookupBatches().depth == 0)
        lookupBatches().snapshots.clear();
}

QString localizedString(const QUuid &uuid, const QString &key)
{
    if (const LookupSnapshot *snapshot = snapshotOf(uuid, key)) {
        const QString folded = sqliteAsciiUpper(key);
        if (!snapshot->twice.contains(folded)) {
            const QVariant value = snapshot->strings.value(folded);
            return value.typeId() == QMetaType::QString ? value.toString() : key;
        }
    }
    QVariantList values;
    if (runLookup(uuid, LocalizedStringStatement, key, 1, values) && !values.isEmpty()
        && values.first().typeId() == QMetaType::QString)
        return values.first().toString();
    return key;
}

QString localizedString(const QUuid &uuid, LocaleKey key)
{
    return localizedString(uuid, localeKeyText(key));
}

QVariant settingValue(const QUuid &uuid, const QString &name, const QVariant &defaultValue)
{
    if (const LookupSnapshot *snapshot = snapshotOf(uuid, name)) {
        const QString folded = sqliteAsciiUpper(name);
        if (!snapshot->twice.contains(QStringLiteral("S:") + folded)) {
            const auto found = snapshot->settings.constFind(folded);
            return found != snapshot->settings.constEnd() && found->contains(0) ? found->value(0) : defaultValue;
        }
    }
    QVariantList values;
    if (runLookup(uuid, SettingValueStatement, name, 1, values) && !values.isEmpty())
        return values.first();
    return defaultValue;
}

QVariantList settingValues(const QUuid &uuid, const QString &name)
{
    if (const LookupSnapshot *snapshot = snapshotOf(uuid, name)) {
        const QString folded = sqliteAsciiUpper(name);
        if (!snapshot->twice.contains(QStringLiteral("S:") + folded))
            return snapshot->settings.value(folded).values();
    }
    QVariantList values;
    runLookup(uuid, SettingValuesStatement, name, std::numeric_limits<int>::max(), values);
    return values;
}

void loadOrderLists(const QUuid &uuid)
{
    OrderLists &lists = orderLists();
    lists = OrderLists();
    if (CollectionRegistry::instance().openCollection(uuid) != StatusOk)
        return;

    const std::pair<SettingKey, QVector<int> *> targets[] = {
        {SettingKey::PageNameSearchOrder, &lists.pageNameSearch},
        {SettingKey::PageNameDisplayOrder, &lists.pageNameDisplay},
        {SettingKey::PageExtraDisplayOrder, &lists.pageExtraDisplay},
        {SettingKey::RowNameSearchOrder, &lists.rowNameSearch},
        {SettingKey::RowNameDisplayOrder, &lists.rowNameDisplay},
        {SettingKey::RowExtraDisplayOrder, &lists.rowExtraDisplay},
    };
    for (const auto &[key, list] : targets) {
        const QVariantList values = settingValues(uuid, settingKeyText(key));
        for (const QVariant &value : values)
            list->append(value.toInt());
    }
}

const QVector<int> &pageNameDisplayOrder() { return orderLists().pageNameDisplay; }
const QVector<int> &pageExtraDisplayOrder() { return orderLists().pageExtraDisplay; }
const QVector<int> &pageNameSearchOrder() { return orderLists().pageNameSearch; }
const QVector<int> &rowNameDisplayOrder() { return orderLists().rowNameDisplay; }
const QVector<int> &rowExtraDisplayOrder() { return orderLists().rowExtraDisplay; }
const QVector<int> &rowNameSearchOrder() { return orderLists().rowNameSearch; }

} // namespace Vantor::DB

namespace Vantor {

using DB::SettingKey;
using DB::settingKeyText;
using DB::settingValue;
using DB::settingValues;

namespace {

// The process-wide cache of one collection's settings.
struct SettingsCache
{
    QUuid uuid;
    QHash<QString, QVariant> values;
};

SettingsCache &settingsCache()
{
    static SettingsCache cache;
    return cache;
}

SettingsCache &cacheFor(const QUuid &uuid)
{
    SettingsCache &cache = settingsCache();
    if (cache.uuid != uuid) {
        cache.values.clear();
        cache.uuid = uuid;
    }
    return cache;
}

// The cached value of a setting; null when the collection has none (then not cached,
// so it is looked up again next time).
QVariant cachedValue(const QUuid &uuid, const QString &key)
{
    SettingsCache &cache = cacheFor(uuid);
    QVariant value = cache.values.value(key);
    if (value.isNull()) {
        value = settingValue(uuid, key);
        if (value.isNull())
            return value;
        cache.values.insert(key, value);
    }
    return value;
}

QVariant cachedValue(const QUuid &uuid, SettingKey key)
{
    return cachedValue(uuid, settingKeyText(key));
}

int cachedInt(const QUuid &uuid, SettingKey key, int defaultValue)
{
    const QVariant value = cachedValue(uuid, key);
    return value.isNull() ? defaultValue : value.toInt();
}

bool cachedIsOne(const QUuid &uuid, SettingKey key, bool defaultValue)
{
    const QVariant value = cachedValue(uuid, key);
    return value.isNull() ? defaultValue : value.toInt() == 1;
}

QString cachedText(const QUuid &uuid, SettingKey key, const QString &defaultValue)
{
    const QVariant value = cachedValue(uuid, key);
    return value.isNull() ? defaultValue : value.toString();
}

// Maps a word of the value table to its number, ignoring letter case; 0 when unknown.
int wordValue(const QString &word, std::initializer_list<std::pair<SettingKey, int>> words)
{
    for (const auto &[key, number] : words) {
        if (word.compare(settingKeyText(key), Qt::CaseInsensitive) == 0)
            return number;
    }
    return 0;
}

int cachedWord(const QUuid &uuid, SettingKey key, std::initializer_list<std::pair<QString, int>> words)
{
    const QVariant value = cachedValue(uuid, key);
    if (value.isNull())
        return 0;
    const QString text = value.toString();
    for (const auto &[word, number] : words) {
        if (text.compare(word, Qt::CaseInsensitive) == 0)
            return number;
    }
    return 0;
}

// The tooltip switches: a primary key with an optional older fallback key, cached under
// the primary key; true when the value is 1.
bool tooltipSwitch(const QUuid &uuid, SettingKey primary, const SettingKey *fallback, bool defaultValue)
{
    SettingsCache &cache = cacheFor(uuid);
    const QString primaryText = settingKeyText(primary);
    QVariant value = cache.values.value(primaryText);
    if (value.isNull()) {
        value = settingValue(uuid, primaryText);
        if (value.isNull() && fallback)
            value = settingValue(uuid, settingKeyText(*fallback));
        if (value.isNull())
            return defaultValue;
        cache.values.insert(primaryText, value);
    }
    return value.toInt() == 1;
}

bool tooltipSwitch(const QUuid &uuid, SettingKey primary, SettingKey fallback)
{
    return tooltipSwitch(uuid, primary, &fallback, false);
}

// A list-valued setting, cached as a list; empty (and not cached) when absent.
QVariantList cachedList(const QUuid &uuid, SettingKey key)
{
    SettingsCache &cache = cacheFor(uuid);
    const QString keyText = settingKeyText(key);
    QVariant value = cache.values.value(keyText);
    if (value.isNull()) {
        const QVariantList values = settingValues(uuid, keyText);
        if (values.isEmpty())
            return values;
        value = values;
        cache.values.insert(keyText, value);
    }
    return value.toList();
}

bool isText(const QVariant &value)
{
    return !value.isNull() && value.typeId() == QMetaType::QString;
}

} // namespace

int CollectionSettings::maxChipsOnAPage(const QUuid &uuid)
{
    return cachedInt(uuid, SettingKey::MaxChipsOnAPage, 0);
}

CollectionSettings::CardType CollectionSettings::cardType(const QUuid &uuid)
{
    return CardType(cachedWord(uuid, SettingKey::CardType,
                               {{QStringLiteral("normal"), NormalCard}, {QStringLiteral("pulvex"), PulvexCard}}));
}

int CollectionSettings::numOfSegments(const QUuid &uuid)
{
    return cachedInt(uuid, SettingKey::NumOfSegments, 12);
}

double CollectionSettings::firstSegmentAngle(const QUuid &uuid)
{
    const QVariant value = cachedValue(uuid, SettingKey::FirstSegmentAngle);
    return value.isNull() ? 0.0 : value.toDouble();
}

CollectionSettings::Orientation CollectionSettings::segmentIncrementOrientation(const QUuid &uuid)
{
    return Orientation(cachedWord(uuid, SettingKey::SegmentIncrementOrientation,
                                  {{QStringLiteral("CW"), Clockwise}, {QStringLiteral("CCW"), CounterClockwise}}));
}

CollectionSettings::CardMode CollectionSettings::modeCard(const QUuid &uuid)
{
    return CardMode(cachedWord(uuid, SettingKey::ModeCard,
                               {{QStringLiteral("ModeColorToColor"), ModeColorToColor},
                                {QStringLiteral("ModeColorToCard"), ModeColorToCard},
                                {QStringLiteral("ModeCardToCard"), ModeCardToCard}}));
}

CollectionSettings::MoodMode CollectionSettings::modeMood(const QUuid &uuid)
{
    return MoodMode(cachedWord(uuid, SettingKey::ModeMood,
                               {{QStringLiteral("MoodModeNormal"), MoodModeNormal},
                                {QStringLiteral("MoodModeWarmFreshEquals"), MoodModeWarmFreshEquals}}));
}

bool CollectionSettings::hasExteriorFilter(const QUuid &uuid)
{
    return cachedIsOne(uuid, SettingKey::HasExteriorFilter, true);
}

bool CollectionSettings::moodVisible(const QUuid &uuid)
{
    return cachedIsOne(uuid, SettingKey::MoodVisible, true);
}

CollectionSettings::ProductGroupsMode CollectionSettings::productGroupsMode(const QUuid &uuid)
{
    const QVariant value = cachedValue(uuid, SettingKey::ProductGroupsMode);
    if (value.isNull())
        return ListProductGroups;
    return wordValue(value.toString(), {{SettingKey::WordProducts, ListProducts}}) == ListProducts
        ? ListProducts
        : ListProductGroups;
}

QString CollectionSettings::productNameCodeSeparator(const QUuid &uuid)
{
    return cachedText(uuid, SettingKey::ProductGroupProductnameProductcodeSeparator, QStringLiteral(": "));
}

bool CollectionSettings::hasColorSchemesPage(const QUuid &uuid)
{
    return cachedIsOne(uuid, SettingKey::HasColorSchemesPage, false);
}

QVector<int> CollectionSettings::schemes(const QUuid &uuid)
{
    QVector<int> kinds;
    const QVariantList values = cachedList(uuid, SettingKey::Schemes);
    for (const QVariant &value : values) {
        if (!isText(value))
            break;
        kinds << wordValue(value.toString().trimmed(),
                           {{SettingKey::WordHarmonic, SchemeHarmonic},
                            {SettingKey::WordContrast, SchemeContrast},
                            {SettingKey::WordWideContrast, SchemeWideContrast},
                            {SettingKey::WordDynamic, SchemeDynamic},
                            {SettingKey::WordDramatic, SchemeDramatic},
                            {SettingKey::WordNeutral, SchemeNeutral},
                            {SettingKey::WordTonalNeutral, SchemeTonalNeutral},
                            {SettingKey::WordComplementaryNeutral, SchemeComplementaryNeutral},
                            {SettingKey::WordNaturalNeutral, SchemeNaturalNeutral}});
    }
    return kinds;
}

bool CollectionSettings::tooltipShowPageName(const QUuid &uuid)
{
    return tooltipSwitch(uuid, SettingKey::ColorTooltipShowPageName, SettingKey::ColorTooltipShowCardName);
}

bool CollectionSettings::tooltipShowRowName(const QUuid &uuid)
{
    return tooltipSwitch(uuid, SettingKey::ColorTooltipShowRowName, SettingKey::ColorTooltipShowColorName);
}

bool CollectionSettings::tooltipShowRowCode(const QUuid &uuid)
{
    return tooltipSwitch(uuid, SettingKey::ColorTooltipShowRowCode, SettingKey::ColorTooltipShowColorCode);
}

bool CollectionSettings::tooltipShowRowAuxiliary(const QUuid &uuid)
{
    return tooltipSwitch(uuid, SettingKey::ColorTooltipShowRowAuxiliaryInfo, SettingKey::ColorTooltipShowAuxiliary);
}

bool CollectionSettings::tooltipShowCollectionName(const QUuid &uuid)
{
    return tooltipSwitch(uuid, SettingKey::ColorTooltipShowCollectionName, nullptr, false);
}

bool CollectionSettings::tooltipShowPageIndex(const QUuid &uuid)
{
    return tooltipSwitch(uuid, SettingKey::ColorTooltipShowPageIndex, nullptr, false);
}

bool CollectionSettings::tooltipShowRowIndex(const QUuid &uuid)
{
    return tooltipSwitch(uuid, SettingKey::ColorTooltipShowRowRowIndex, nullptr, false);
}

QVector<double> CollectionSettings::cie2000DeltaIntervals(const QUuid &uuid)
{
    SettingsCache &cache = cacheFor(uuid);
    const QString key = settingKeyText(SettingKey::Cie2000DeltaIntervals);
    QVector<double> intervals;
    const QVariant cached = cache.values.value(key);
    if (!cached.isNull()) {
        for (const QVariant &value : cached.toList())
            intervals << value.toDouble();
        return intervals;
    }

    const QVariant value = settingValue(uuid, key);
    QVariantList list;
    if (!value.isNull()) {
        const QStringList parts = value.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &part : parts) {
            const double number = part.trimmed().toDouble();
            if (number > 0.0) {
                intervals << number;
                list << number;
            }
        }
    }
    if (intervals.isEmpty())
        return {0.05};
    cache.values.insert(key, list);
    return intervals;
}

QVector<int> CollectionSettings::tabBarPageOrder(const QUuid &uuid)
{
    QVector<int> order;
    const QVariantList values = cachedList(uuid, SettingKey::TabBarPage);
    for (const QVariant &value : values) {
        if (!isText(value))
            return {PageOfColorSchemes, PageOfProducts, PageOfProspect, PageOfTextures};
        order << wordValue(value.toString().trimmed(),
                           {{SettingKey::WordPageOfColorSchemes, PageOfColorSchemes},
                            {SettingKey::WordPageOfProducts, PageOfProducts},
                            {SettingKey::WordPageOfProspect, PageOfProspect},
                            {SettingKey::WordPageOfTextures, PageOfTextures}});
    }
    return order;
}

QSize CollectionSettings::prospectChipSize(const QUuid &uuid, const QSize &defaultSize)
{
    SettingsCache &cache = cacheFor(uuid);
    const QString key = QStringLiteral("ProspectChipSize");
    const QVariant cached = cache.values.value(key);
    if (!cached.isNull())
        return cached.toSize();

    bool widthOk = false;
    bool heightOk = false;
    const QVariant width = settingValue(uuid, settingKeyText(SettingKey::WidgetProspectChipWidth));
    const QVariant height = settingValue(uuid, settingKeyText(SettingKey::WidgetProspectChipHeight));
    const int w = width.toString().trimmed().toInt(&widthOk);
    const int h = height.toString().trimmed().toInt(&heightOk);
    if (width.isNull() || height.isNull() || !widthOk || !heightOk)
        return defaultSize;
    cache.values.insert(key, QSize(w, h));
    return QSize(w, h);
}

QString CollectionSettings::headerLink(const QUuid &uuid)
{
    return settingValue(uuid, settingKeyText(SettingKey::HeaderLink), QString()).toString();
}

QString CollectionSettings::helpLink(const QUuid &uuid)
{
    const QString link = settingValue(uuid, settingKeyText(SettingKey::HelpLink), QString()).toString();
    return link.isEmpty() ? QStringLiteral("file:///%APP%/Contents/Resources/help/main.html") : link;
}

QSize CollectionSettings::textureSize(const QUuid &uuid, const QSize &defaultSize)
{
    SettingsCache &cache = cacheFor(uuid);
    const QString key = settingKeyText(SettingKey::TextureSize);
    const QVariant cached = cache.values.value(key);
    if (!cached.isNull())
        return cached.toSize();

    QVariant value = settingValue(uuid, key);
    if (value.isNull())
        value = settingValue(SystemWideCollectionUuid, key);
    const QStringList parts = value.toString().split(QLatin1Char(','));
    if (parts.size() != 2)
        return defaultSize;
    bool widthOk = false;
    bool heightOk = false;
    const QSize size(parts.at(0).trimmed().toInt(&widthOk), parts.at(1).trimmed().toInt(&heightOk));
    if (!widthOk || !heightOk)
        return defaultSize;
    cache.values.insert(key, size);
    return size;
}

bool CollectionSettings::savePaletteTextFormat(const QUuid &uuid, bool defaultValue)
{
    return tooltipSwitch(uuid, SettingKey::SavePaletteTextFormat, nullptr, defaultValue);
}

bool CollectionSettings::capsureEnabled(const QUuid &uuid)
{
    return tooltipSwitch(uuid, SettingKey::CapsureEnabled, nullptr, false);
}

QString CollectionSettings::capsureFilenameToWatch(const QUuid &uuid)
{
    return cachedText(uuid, SettingKey::CapsureFilenameToWatch, QString());
}

QString CollectionSettings::capsureFolderToWatch(const QUuid &uuid)
{
    return cachedText(uuid, SettingKey::CapsureFolderToWatchWindows, QString());
}

int CollectionSettings::availableTabBarPages(const QUuid &uuid)
{
    SettingsCache &cache = cacheFor(uuid);
    const QString key = QStringLiteral("availableTabBarPages");
    const QVariant cached = cache.values.value(key);
    if (!cached.isNull())
        return cached.toInt();

    auto isOn = [](const QUuid &collection, SettingKey setting) {
        return settingValue(collection, settingKeyText(setting)).toInt() != 0;
    };
    int pages = PageOfColorSchemes;
    if (isOn(uuid, SettingKey::HasProductGroupsPage))
        pages |= PageOfProducts;
    if (isOn(SystemWideCollectionUuid, SettingKey::HasTexturesPage) && isOn(uuid, SettingKey::HasTexturesPage))
        pages |= PageOfTextures;
    if (isOn(uuid, SettingKey::HasProspectPage))
        pages |= PageOfProspect;
    cache.values.insert(key, pages);
    return pages;
}

bool CollectionSettings::hasPageWithExteriorMood(const QUuid &uuid, int mood)
{
    SettingsCache &cache = cacheFor(uuid);
    const QString key = QStringLiteral("hasPageWithExteriorMood:%1").arg(mood);
    const QVariant cached = cache.values.value(key);
    if (!cached.isNull())
        return cached.toBool();
    const bool found = DB::hasExteriorPagesWithMood(uuid, mood);
    cache.values.insert(key, found);
    return found;
}

QUuid CollectionSettings::cachedCollection()
{
    return settingsCache().uuid;
}

void CollectionSettings::useCollection(const QUuid &uuid)
{
    cacheFor(uuid);
}

} // namespace Vantor
