#include "ThemeResources.h"

#include "CollectionRegistry.h"
#include "SharedTypes.h"
#include "SqlSupport.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QMap>
#include <QPainter>
#include <QStringList>

#include <array>

namespace Vantor::DB {

namespace {

const char *const ThemeItemStatement =
    "SELECT T.ITEM_DATA FROM THEME T WHERE T.COLLECTION_ID = ? AND        T.ITEM_KEY = ? COLLATE NOCASE";

const std::array<QString, static_cast<int>(ThemeKey::Count)> &themeKeyTable()
{
    static const std::array<QString, static_cast<int>(ThemeKey::Count)> table{
        QStringLiteral("image.widget.main.background"),
        QStringLiteral("image.widget.bar.background"),
        QStringLiteral("image.widget.dropdown.arrow.up"),
        QStringLiteral("image.widget.dropdown.arrow.down"),
        QStringLiteral("color.widget.collectionselector.text"),
        QStringLiteral("image.widget.color.wheel.background"),
        QStringLiteral("image.mood.calm.normal"),
        QStringLiteral("image.mood.calm.selected"),
        QStringLiteral("image.mood.fresh.normal"),
        QStringLiteral("image.mood.fresh.selected"),
        QStringLiteral("image.mood.neutral.normal"),
        QStringLiteral("image.mood.neutral.selected"),
        QStringLiteral("image.mood.offwhite.normal"),
        QStringLiteral("image.mood.offwhite.selected"),
        QStringLiteral("image.mood.rich.normal"),
        QStringLiteral("image.mood.rich.selected"),
        QStringLiteral("image.mood.warm.normal"),
        QStringLiteral("image.mood.warm.selected"),
        QStringLiteral("image.tick.normal"),
        QStringLiteral("image.mood.all.moods"),
        QStringLiteral("image.mood.external.colors.only"),
        QStringLiteral("image.mood.disabled"),
        QStringLiteral("image.widget.search.magnifying.glass"),
        QStringLiteral("image.widget.roll.backward.normal"),
        QStringLiteral("image.widget.roll.backward.down"),
        QStringLiteral("image.widget.roll.forward.normal"),
        QStringLiteral("image.widget.roll.forward.down"),
        QStringLiteral("image.scheme.contrasting.normal"),
        QStringLiteral("image.scheme.contrasting.selected"),
        QStringLiteral("image.scheme.dramatic.normal"),
        QStringLiteral("image.scheme.dramatic.selected"),
        QStringLiteral("image.scheme.dynamic.normal"),
        QStringLiteral("image.scheme.dynamic.selected"),
        QStringLiteral("image.scheme.harmonising.normal"),
        QStringLiteral("image.scheme.harmonising.selected"),
        QStringLiteral("image.scheme.tonal.neutral.normal"),
        QStringLiteral("image.scheme.tonal.neutral.selected"),
        QStringLiteral("image.scheme.wide.contrast.normal"),
        QStringLiteral("image.scheme.wide.contrast.selected"),
        QStringLiteral("image.mypalette.eraser"),
        QStringLiteral("image.mypalette.grid.off"),
        QStringLiteral("image.mypalette.trash"),
        QStringLiteral("image.mypalette.zoom"),
        QStringLiteral("image.mypalette.clear.question.icon"),
        QStringLiteral("image.mypalettefull.back"),
        QStringLiteral("image.mypalettefull.slider.background"),
        QStringLiteral("image.mypalettefull.slider.background.mask"),
        QStringLiteral("image.mypalettefull.slider.thumb"),
        QStringLiteral("image.prospect.group.open"),
        QStringLiteral("image.prospect.group.closed"),
        QStringLiteral("image.vertical.scrollbar.thumb"),
        QStringLiteral("image.complementary.neutral.marker.normal"),
        QStringLiteral("image.complementary.neutral.marker.selected"),
        QStringLiteral("image.banner"),
        QStringLiteral("image.window.icon"),
        QStringLiteral("image.capsure.button.normal"),
        QStringLiteral("list.of.preferred.font.faces"),
        QStringLiteral("image.about.logo"),
        QStringLiteral("image.mto"),
    };
    return table;
}

struct FontState
{
    QString family;
    int basePointSize = 0;
    QHash<QString, QFont> cache;
};

FontState &fontState()
{
    static FontState state;
    return state;
}

const char *const DefaultFontList = "Myriad Pro,10;Arial,8";
const char *const PlatformSuffix = ".windows";

void determinePreferredFont()
{
    FontState &state = fontState();
    QByteArray data;
    const QString key = themeKeyText(ThemeKey::ListOfPreferredFontFaces);
    if (themeItem(SystemWideCollectionUuid, key, data) != StatusOk
        && themeItem(SystemWideCollectionUuid, key + QLatin1String(PlatformSuffix), data) != StatusOk)
        data = DefaultFontList;

    QList<std::pair<QString, int>> entries = parseThemeFontList(QString::fromUtf8(data));
    if (entries.isEmpty())
        entries = parseThemeFontList(QLatin1String(DefaultFontList));

    if (!QGuiApplication::instance())
        return;
    const QStringList installed = QFontDatabase::families();
    for (const auto &[family, size] : entries) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            state.family = family;
            state.basePointSize = size;
            return;
        }
    }
}

int pointSizeForStep(int base, int sizeStep)
{
    switch (sizeStep) {
    case 0: return base - 2;
    case 1: return base - 1;
    case 3: return base + 1;
    case 4: return base + 2;
    default: return base;
    }
}

QFont themeFont(int sizeStep, QFont::Weight weight, bool italic)
{
    FontState &state = fontState();
    QString family = preferredFontFamily();
    int base = state.basePointSize;
    // No family of the list is installed: the application's own font, so that text
    // still shows at a sensible size.
    if (family.isEmpty()) {
        const QFont fallback = QGuiApplication::instance() ? QGuiApplication::font() : QFont();
        family = fallback.family();
        base = fallback.pointSize() > 0 ? fallback.pointSize() : 9;
    }
    const int pointSize = qMax(1, pointSizeForStep(base, sizeStep));
    const int letterSpacing = 100;
    const int stretch = 100;
    const QString key = QStringList{family, QString::number(pointSize), QString::number(int(weight)),
                                    QString::number(italic ? 1 : 0), QString::number(letterSpacing),
                                    QString::number(stretch)}
                            .join(QLatin1Char(','));
    auto it = state.cache.find(key);
    if (it == state.cache.end()) {
        QFont font(family, pointSize, weight, italic);
        font.setStyleStrategy(QFont::PreferAntialias);
        font.setLetterSpacing(QFont::PercentageSpacing, letterSpacing);
        font.setStretch(stretch);
        it = state.cache.insert(key, font);
    }
    return it.value();
}

} // namespace

QList<std::pair<QString, int>> parseThemeFontList(const QString &text)
{
    QList<std::pair<QString, int>> entries;
    QMap<QString, int> sizes;
    const QStringList items = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const QStringList parts = item.split(QLatin1Char(','), Qt::SkipEmptyParts);
        if (parts.size() != 2 || parts.at(0).isEmpty())
            continue;
        bool ok = false;
        const int size = parts.at(1).toInt(&ok);
        if (!ok || size <= 0)
            continue;
        entries << std::pair<QString, int>(parts.at(0), size);
        sizes.insert(parts.at(0), size);
    }
    if (sizes.size() < entries.size())
        return {};
    return entries;
}

QString themeKeyText(ThemeKey key)
{
    return themeKeyTable().at(static_cast<std::size_t>(key));
}

int themeItem(const QUuid &uuid, const QString &key, QByteArray &data)
{
    data.clear();
    auto &registry = CollectionRegistry::instance();
    const int status = registry.openCollection(uuid);
    if (status < 0)
        return status;
    PreparedStatement statement(registry.connection(uuid), QLatin1String(ThemeItemStatement));
    if (!statement.exec({registry.collectionId(uuid), key})) {
        logQueryError(statement.query());
        return StatusQueryFailed;
    }
    if (!statement.query().next())
        return StatusQueryFailed;
    const QVariant value = statement.query().value(0);
    if (value.typeId() != QMetaType::QByteArray)
        return StatusQueryFailed;
    data.append(value.toByteArray());
    return StatusOk;
}

QImage placeholderImage(const QSize &size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return QImage();
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(255, 255, 255));
    QPainter painter(&image);
    painter.setPen(QColor(255, 0, 0));
    painter.setBrush(Qt::NoBrush);
    // The frame runs through the pixels (1, 1) and (width-2, height-2); a stroked QRect
    // covers one pixel more to the right and below than the rectangle itself.
    const QRect frame(QPoint(1, 1), QPoint(size.width() - 2, size.height() - 2));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    return image;
}

namespace {

// Decoded theme pictures by database file, collection and key. Collection files are only
// read, so a picture never changes while they stay registered; decoding them again made
// up most of the time a picker took to open. Placeholders are not kept: they depend on
// the size asked for.
struct ThemeImageKey
{
    QString databasePath;
    qint64 collectionId;
    ThemeKey key;
    bool operator==(const ThemeImageKey &other) const
    {
        return collectionId == other.collectionId && key == other.key && databasePath == other.databasePath;
    }
};

size_t qHash(const ThemeImageKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.databasePath, key.collectionId, int(key.key));
}

QHash<ThemeImageKey, QImage> &decodedThemeImages()
{
    static QHash<ThemeImageKey, QImage> images;
    return images;
}

} // namespace

void forgetDecodedThemeImages()
{
    decodedThemeImages().clear();
}

QImage themeImage(const QUuid &uuid, ThemeKey key, const QSize &placeholderSize)
{
    const CollectionLocation location = CollectionRegistry::instance().collectionLocation(uuid);
    const ThemeImageKey cacheKey{location.databasePath, location.id, key};
    if (!location.uuid.isNull()) {
        const auto found = decodedThemeImages().constFind(cacheKey);
        if (found != decodedThemeImages().constEnd())
            return *found;
    }
    QByteArray data;
    if (themeItem(uuid, themeKeyText(key), data) != StatusOk)
        return placeholderImage(placeholderSize);
    const QImage image = QImage::fromData(data);
    if (image.isNull())
        return placeholderImage(placeholderSize);
    // The registry may have learnt the collection only while the item was read.
    const CollectionLocation read = CollectionRegistry::instance().collectionLocation(uuid);
    if (!read.uuid.isNull())
        decodedThemeImages().insert(ThemeImageKey{read.databasePath, read.id, key}, image);
    return image;
}

QImage decodeThemeImage(const QByteArray &data, const QSize &placeholderSize)
{
    const QImage image = QImage::fromData(data);
    return image.isNull() ? placeholderImage(placeholderSize) : image;
}

QImage themeImage(ThemeKey key, const QSize &placeholderSize)
{
    return themeImage(SystemWideCollectionUuid, key, placeholderSize);
}

QColor parseThemeColor(const QByteArray &text, const QColor &defaultColor)
{
    const QStringList parts = QString::fromUtf8(text).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.size() != 3 && parts.size() != 4)
        return defaultColor;
    int components[4] = {0, 0, 0, 255};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        components[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok || components[i] < 0 || components[i] > 255)
            return defaultColor;
    }
    return QColor(components[0], components[1], components[2], components[3]);
}

QColor themeColor(ThemeKey key, const QColor &defaultColor)
{
    QByteArray data;
    if (themeItem(SystemWideCollectionUuid, themeKeyText(key), data) != StatusOk)
        return defaultColor;
    return parseThemeColor(data, defaultColor);
}

QString preferredFontFamily()
{
    if (fontState().family.isEmpty())
        determinePreferredFont();
    return fontState().family;
}

int baseFontPointSize()
{
    preferredFontFamily();
    return fontState().basePointSize;
}

QFont normalFont(int sizeStep)
{
    return themeFont(sizeStep, QFont::Normal, false);
}

QFont italicFont(int sizeStep)
{
    return themeFont(sizeStep, QFont::Normal, true);
}

QFont boldFont(int sizeStep)
{
    return themeFont(sizeStep, QFont::Bold, false);
}

} // namespace Vantor::DB
