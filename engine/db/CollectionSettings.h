#pragma once

#include "CollectionLookups.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <QVector>

namespace Vantor {

// Typed, cached access to a collection's behaviour switches. The cache is bound to one
// collection: asking for another empties it first.
class CollectionSettings
{
public:
    enum CardType { UnknownCardType = 0, NormalCard = 1, PulvexCard = 2 };
    enum Orientation { UnknownOrientation = 0, Clockwise = 1, CounterClockwise = 2 };
    enum CardMode { UnknownCardMode = 0, ModeColorToColor = 1, ModeColorToCard = 2, ModeCardToCard = 3 };
    enum MoodMode { UnknownMoodMode = 0, MoodModeNormal = 1, MoodModeWarmFreshEquals = 2 };
    enum ProductGroupsMode { ListProductGroups = 0, ListProducts = 1 };

    static int maxChipsOnAPage(const QUuid &uuid);
    static CardType cardType(const QUuid &uuid);
    static int numOfSegments(const QUuid &uuid);
    static double firstSegmentAngle(const QUuid &uuid);
    static Orientation segmentIncrementOrientation(const QUuid &uuid);
    static CardMode modeCard(const QUuid &uuid);
    static MoodMode modeMood(const QUuid &uuid);
    static bool hasExteriorFilter(const QUuid &uuid);
    static bool moodVisible(const QUuid &uuid);
    static ProductGroupsMode productGroupsMode(const QUuid &uuid);
    static QString productNameCodeSeparator(const QUuid &uuid);
    static bool hasColorSchemesPage(const QUuid &uuid);
    static QVector<int> schemes(const QUuid &uuid);

    // Colour tooltip switches.
    static bool tooltipShowPageName(const QUuid &uuid);
    static bool tooltipShowRowName(const QUuid &uuid);
    static bool tooltipShowRowCode(const QUuid &uuid);
    static bool tooltipShowRowAuxiliary(const QUuid &uuid);
    static bool tooltipShowCollectionName(const QUuid &uuid);
    static bool tooltipShowPageIndex(const QUuid &uuid);
    static bool tooltipShowRowIndex(const QUuid &uuid);

    static QVector<double> cie2000DeltaIntervals(const QUuid &uuid);
    // The tab order (TabBarPage values).
    static QVector<int> tabBarPageOrder(const QUuid &uuid);
    static QSize prospectChipSize(const QUuid &uuid, const QSize &defaultSize);
    static QString headerLink(const QUuid &uuid);
    static QString helpLink(const QUuid &uuid);
    static QSize textureSize(const QUuid &uuid, const QSize &defaultSize);
    static bool savePaletteTextFormat(const QUuid &uuid, bool defaultValue);
    static bool capsureEnabled(const QUuid &uuid);
    static QString capsureFilenameToWatch(const QUuid &uuid);
    static QString capsureFolderToWatch(const QUuid &uuid);

    // Bit set of the available TabBarPage values.
    static int availableTabBarPages(const QUuid &uuid);
    static bool hasPageWithExteriorMood(const QUuid &uuid, int mood);

    // The collection the cache is bound to (null before the first cached lookup).
    static QUuid cachedCollection();
    // Binds the cache to a collection (emptying it when that is another one).
    static void useCollection(const QUuid &uuid);
    // Empties the cache (a collection file changed).
    static void forgetCachedValues();
};

} // namespace Vantor
