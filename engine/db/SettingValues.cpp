#include "SettingValues.h"

#include "SharedTypes.h"

#include <QStringList>

#include <initializer_list>
#include <utility>

namespace Vantor::SettingValues {

using DB::SettingKey;
using DB::settingKeyText;

namespace {

// The number of the word in the table, ignoring letter case; 0 when unknown.
int numberOfWord(const QString &word, std::initializer_list<std::pair<QString, int>> words)
{
    for (const auto &[known, number] : words) {
        if (word.compare(known, Qt::CaseInsensitive) == 0)
            return number;
    }
    return 0;
}

// The same for words the key table spells.
int numberOfKeyWord(const QString &word, std::initializer_list<std::pair<SettingKey, int>> words)
{
    for (const auto &[key, number] : words) {
        if (word.compare(settingKeyText(key), Qt::CaseInsensitive) == 0)
            return number;
    }
    return 0;
}

int wordOf(const QVariant &value, std::initializer_list<std::pair<QString, int>> words)
{
    return value.isNull() ? 0 : numberOfWord(value.toString(), words);
}

bool isText(const QVariant &value)
{
    return !value.isNull() && value.typeId() == QMetaType::QString;
}

} // namespace

int wholeNumber(const QVariant &value, int fallback)
{
    return value.isNull() ? fallback : value.toInt();
}

bool isOne(const QVariant &value, bool fallback)
{
    return value.isNull() ? fallback : value.toInt() == 1;
}

QString text(const QVariant &value, const QString &fallback)
{
    return value.isNull() ? fallback : value.toString();
}

CollectionSettings::CardType cardTypeOf(const QVariant &value)
{
    return CollectionSettings::CardType(wordOf(value, {{QStringLiteral("normal"), CollectionSettings::NormalCard},
                                                       {QStringLiteral("pulvex"), CollectionSettings::PulvexCard}}));
}

CollectionSettings::Orientation orientationOf(const QVariant &value)
{
    return CollectionSettings::Orientation(wordOf(value, {{QStringLiteral("CW"), CollectionSettings::Clockwise},
                                                          {QStringLiteral("CCW"), CollectionSettings::CounterClockwise}}));
}

CollectionSettings::CardMode cardModeOf(const QVariant &value)
{
    return CollectionSettings::CardMode(
        wordOf(value, {{QStringLiteral("ModeColorToColor"), CollectionSettings::ModeColorToColor},
                       {QStringLiteral("ModeColorToCard"), CollectionSettings::ModeColorToCard},
                       {QStringLiteral("ModeCardToCard"), CollectionSettings::ModeCardToCard}}));
}

CollectionSettings::MoodMode moodModeOf(const QVariant &value)
{
    return CollectionSettings::MoodMode(
        wordOf(value, {{QStringLiteral("MoodModeNormal"), CollectionSettings::MoodModeNormal},
                       {QStringLiteral("MoodModeWarmFreshEquals"), CollectionSettings::MoodModeWarmFreshEquals}}));
}

CollectionSettings::ProductGroupsMode productGroupsModeOf(const QVariant &value)
{
    if (value.isNull())
        return CollectionSettings::ListProductGroups;
    return numberOfKeyWord(value.toString(), {{SettingKey::WordProducts, CollectionSettings::ListProducts}})
            == CollectionSettings::ListProducts
        ? CollectionSettings::ListProducts
        : CollectionSettings::ListProductGroups;
}

QVector<int> schemesOf(const QVariantList &values)
{
    QVector<int> kinds;
    for (const QVariant &value : values) {
        if (!isText(value))
            break;
        kinds << numberOfKeyWord(value.toString().trimmed(),
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

QVector<int> tabBarPageOrderOf(const QVariantList &values)
{
    QVector<int> order;
    for (const QVariant &value : values) {
        if (!isText(value))
            return {PageOfColorSchemes, PageOfProducts, PageOfProspect, PageOfTextures};
        order << numberOfKeyWord(value.toString().trimmed(),
                                 {{SettingKey::WordPageOfColorSchemes, PageOfColorSchemes},
                                  {SettingKey::WordPageOfProducts, PageOfProducts},
                                  {SettingKey::WordPageOfProspect, PageOfProspect},
                                  {SettingKey::WordPageOfTextures, PageOfTextures}});
    }
    return order;
}

QVector<double> deltaIntervalsOf(const QVariant &value)
{
    QVector<double> intervals;
    if (value.isNull())
        return intervals;
    const QStringList parts = value.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const double number = part.trimmed().toDouble();
        if (number > 0.0)
            intervals << number;
    }
    return intervals;
}

std::optional<QSize> sizeOf(const QVariant &width, const QVariant &height)
{
    if (width.isNull() || height.isNull())
        return std::nullopt;
    bool widthOk = false;
    bool heightOk = false;
    const QSize size(width.toString().trimmed().toInt(&widthOk), height.toString().trimmed().toInt(&heightOk));
    if (!widthOk || !heightOk)
        return std::nullopt;
    return size;
}

std::optional<QSize> sizeOf(const QVariant &widthCommaHeight)
{
    const QStringList parts = widthCommaHeight.toString().split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    return sizeOf(QVariant(parts.at(0)), QVariant(parts.at(1)));
}

QVector<int> orderListOf(const QVariantList &values)
{
    QVector<int> positions;
    positions.reserve(values.size());
    for (const QVariant &value : values)
        positions.append(value.toInt());
    return positions;
}

} // namespace Vantor::SettingValues
