#pragma once

#include "CollectionSettings.h"

#include <QSize>
#include <QVariant>
#include <QVariantList>
#include <QVector>

#include <optional>

// What the values a collection file stores for a setting mean: pure functions of the
// stored values (a null value where the file has none), shared by the cached accessors
// and by the fuzzing of hand-edited and third-party files.
namespace Vantor::SettingValues {

// A whole number, or the fallback where nothing is stored.
int wholeNumber(const QVariant &value, int fallback);
// A switch that is on when the value is 1, or the fallback where nothing is stored.
bool isOne(const QVariant &value, bool fallback);
// A text, or the fallback where nothing is stored.
QString text(const QVariant &value, const QString &fallback);

CollectionSettings::CardType cardTypeOf(const QVariant &value);
CollectionSettings::Orientation orientationOf(const QVariant &value);
CollectionSettings::CardMode cardModeOf(const QVariant &value);
CollectionSettings::MoodMode moodModeOf(const QVariant &value);
CollectionSettings::ProductGroupsMode productGroupsModeOf(const QVariant &value);

// The scheme kinds of the list, up to its first value that is not a text; unknown words
// give 0.
QVector<int> schemesOf(const QVariantList &values);
// The tab order (TabBarPage values); a list holding anything but texts gives the
// default order.
QVector<int> tabBarPageOrderOf(const QVariantList &values);
// The positive numbers of a comma-separated list; empty when there is none.
QVector<double> deltaIntervalsOf(const QVariant &value);
// A size from separate width and height values; nothing unless both are whole numbers.
std::optional<QSize> sizeOf(const QVariant &width, const QVariant &height);
// A size from one "width,height" value; nothing unless it is exactly that.
std::optional<QSize> sizeOf(const QVariant &widthCommaHeight);
// The positions of one of the name-order lists.
QVector<int> orderListOf(const QVariantList &values);

} // namespace Vantor::SettingValues
