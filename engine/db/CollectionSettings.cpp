#include "CollectionSettings.h"

#include "NavigationQueries.h"
#include "SettingValues.h"
#include "SharedTypes.h"

#include <QHash>

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

// The answer cached under the key, else the one `compute` gives. A null answer (the
// collection has nothing) is not cached, so it is looked up again next time.
template<typename Compute>
QVariant cachedOr(const QUuid &uuid, const QString &key, Compute compute)
{
    SettingsCache &cache = cacheFor(uuid);
    const auto found = cache.values.constFind(key);
    if (found != cache.values.constEnd())
        return *found;
    const QVariant value = compute();
    if (!value.isNull())
        cache.values.insert(key, value);
    return value;
}

// The stored value of a setting at index 0, cached.
QVariant cachedValue(const QUuid &uuid, SettingKey key)
{
    const QString name = settingKeyText(key);
    return cachedOr(uuid, name, [&] { return settingValue(uuid, name); });
}

// A switch under its key or, where a collection has none, an older key; cached under the
// first.
QVariant cachedValue(const QUuid &uuid, SettingKey key, SettingKey olderKey)
{
    return cachedOr(uuid, settingKeyText(key), [&] {
        const QVariant value = settingValue(uuid, settingKeyText(key));
        return value.isNull() ? settingValue(uuid, settingKeyText(olderKey)) : value;
    });
}

// A list-valued setting, cached as a list; empty (and not cached) when absent.
QVariantList cachedList(const QUuid &uuid, SettingKey key)
{
    const QString name = settingKeyText(key);
    return cachedOr(uuid, name, [&] {
               const QVariantList values = settingValues(uuid, name);
               return values.isEmpty() ? QVariant() : QVariant(values);
           })
        .toList();
}

} // namespace

namespace SV = SettingValues;

int CollectionSettings::maxChipsOnAPage(const QUuid &uuid)
{
    return SV::wholeNumber(cachedValue(uuid, SettingKey::MaxChipsOnAPage), 0);
}

CollectionSettings::CardType CollectionSettings::cardType(const QUuid &uuid)
{
    return SV::cardTypeOf(cachedValue(uuid, SettingKey::CardType));
}

int CollectionSettings::numOfSegments(const QUuid &uuid)
{
    return SV::wholeNumber(cachedValue(uuid, SettingKey::NumOfSegments), 12);
}

double CollectionSettings::firstSegmentAngle(const QUuid &uuid)
{
    const QVariant value = cachedValue(uuid, SettingKey::FirstSegmentAngle);
    return value.isNull() ? 0.0 : value.toDouble();
}

CollectionSettings::Orientation CollectionSettings::segmentIncrementOrientation(const QUuid &uuid)
{
    return SV::orientationOf(cachedValue(uuid, SettingKey::SegmentIncrementOrientation));
}

CollectionSettings::CardMode CollectionSettings::modeCard(const QUuid &uuid)
{
    return SV::cardModeOf(cachedValue(uuid, SettingKey::ModeCard));
}

CollectionSettings::MoodMode CollectionSettings::modeMood(const QUuid &uuid)
{
    return SV::moodModeOf(cachedValue(uuid, SettingKey::ModeMood));
}

bool CollectionSettings::hasExteriorFilter(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::HasExteriorFilter), true);
}

bool CollectionSettings::moodVisible(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::MoodVisible), true);
}

CollectionSettings::ProductGroupsMode CollectionSettings::productGroupsMode(const QUuid &uuid)
{
    return SV::productGroupsModeOf(cachedValue(uuid, SettingKey::ProductGroupsMode));
}

QString CollectionSettings::productNameCodeSeparator(const QUuid &uuid)
{
    return SV::text(cachedValue(uuid, SettingKey::ProductGroupProductnameProductcodeSeparator), QStringLiteral(": "));
}

bool CollectionSettings::hasColorSchemesPage(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::HasColorSchemesPage), false);
}

QVector<int> CollectionSettings::schemes(const QUuid &uuid)
{
    return SV::schemesOf(cachedList(uuid, SettingKey::Schemes));
}

bool CollectionSettings::tooltipShowPageName(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::ColorTooltipShowPageName, SettingKey::ColorTooltipShowCardName), false);
}

bool CollectionSettings::tooltipShowRowName(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::ColorTooltipShowRowName, SettingKey::ColorTooltipShowColorName), false);
}

bool CollectionSettings::tooltipShowRowCode(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::ColorTooltipShowRowCode, SettingKey::ColorTooltipShowColorCode), false);
}

bool CollectionSettings::tooltipShowRowAuxiliary(const QUuid &uuid)
{
    return SV::isOne(
        cachedValue(uuid, SettingKey::ColorTooltipShowRowAuxiliaryInfo, SettingKey::ColorTooltipShowAuxiliary), false);
}

bool CollectionSettings::tooltipShowCollectionName(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::ColorTooltipShowCollectionName), false);
}

bool CollectionSettings::tooltipShowPageIndex(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::ColorTooltipShowPageIndex), false);
}

bool CollectionSettings::tooltipShowRowIndex(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::ColorTooltipShowRowRowIndex), false);
}

QVector<double> CollectionSettings::cie2000DeltaIntervals(const QUuid &uuid)
{
    const QString key = settingKeyText(SettingKey::Cie2000DeltaIntervals);
    const QVariant intervals = cachedOr(uuid, key, [&] {
        const QVector<double> numbers = SV::deltaIntervalsOf(settingValue(uuid, key));
        return numbers.isEmpty() ? QVariant() : QVariant::fromValue(numbers);
    });
    return intervals.isNull() ? QVector<double>{0.05} : intervals.value<QVector<double>>();
}

QVector<int> CollectionSettings::tabBarPageOrder(const QUuid &uuid)
{
    return SV::tabBarPageOrderOf(cachedList(uuid, SettingKey::TabBarPage));
}

QSize CollectionSettings::prospectChipSize(const QUuid &uuid, const QSize &defaultSize)
{
    const QVariant size = cachedOr(uuid, QStringLiteral("ProspectChipSize"), [&] {
        const std::optional<QSize> stored =
            SV::sizeOf(settingValue(uuid, settingKeyText(SettingKey::WidgetProspectChipWidth)),
                       settingValue(uuid, settingKeyText(SettingKey::WidgetProspectChipHeight)));
        return stored ? QVariant(*stored) : QVariant();
    });
    return size.isNull() ? defaultSize : size.toSize();
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
    const QString key = settingKeyText(SettingKey::TextureSize);
    const QVariant size = cachedOr(uuid, key, [&] {
        QVariant value = settingValue(uuid, key);
        if (value.isNull())
            value = settingValue(SystemWideCollectionUuid, key);
        const std::optional<QSize> stored = SV::sizeOf(value);
        return stored ? QVariant(*stored) : QVariant();
    });
    return size.isNull() ? defaultSize : size.toSize();
}

bool CollectionSettings::savePaletteTextFormat(const QUuid &uuid, bool defaultValue)
{
    return SV::isOne(cachedValue(uuid, SettingKey::SavePaletteTextFormat), defaultValue);
}

bool CollectionSettings::capsureEnabled(const QUuid &uuid)
{
    return SV::isOne(cachedValue(uuid, SettingKey::CapsureEnabled), false);
}

QString CollectionSettings::capsureFilenameToWatch(const QUuid &uuid)
{
    return SV::text(cachedValue(uuid, SettingKey::CapsureFilenameToWatch), QString());
}

QString CollectionSettings::capsureFolderToWatch(const QUuid &uuid)
{
    return SV::text(cachedValue(uuid, SettingKey::CapsureFolderToWatchWindows), QString());
}

int CollectionSettings::availableTabBarPages(const QUuid &uuid)
{
    return cachedOr(uuid, QStringLiteral("availableTabBarPages"), [&] {
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
               return QVariant(pages);
           })
        .toInt();
}

bool CollectionSettings::hasPageWithExteriorMood(const QUuid &uuid, int mood)
{
    return cachedOr(uuid, QStringLiteral("hasPageWithExteriorMood:%1").arg(mood),
                    [&] { return QVariant(DB::hasExteriorPagesWithMood(uuid, mood)); })
        .toBool();
}

QUuid CollectionSettings::cachedCollection()
{
    return settingsCache().uuid;
}

void CollectionSettings::useCollection(const QUuid &uuid)
{
    cacheFor(uuid);
}

void CollectionSettings::forgetCachedValues()
{
    settingsCache().values.clear();
}

} // namespace Vantor
