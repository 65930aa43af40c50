#pragma once

// The engine's look, stored per database: images, a few colours and the font list in
// THEME. Most items belong to the file's virtual collection; the banner, the about logo
// and the made-to-order mark belong to the collection shown.

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QList>
#include <QImage>
#include <QSize>
#include <QString>
#include <QUuid>

#include <utility>

namespace Vantor::DB {

enum class ThemeKey : int {
    ImageWidgetMainBackground,
    ImageWidgetBarBackground,
    ImageWidgetDropdownArrowUp,
    ImageWidgetDropdownArrowDown,
    ColorWidgetCollectionselectorText,
    ImageWidgetColorWheelBackground,
    ImageMoodCalmNormal,
    ImageMoodCalmSelected,
    ImageMoodFreshNormal,
    ImageMoodFreshSelected,
    ImageMoodNeutralNormal,
    ImageMoodNeutralSelected,
    ImageMoodOffwhiteNormal,
    ImageMoodOffwhiteSelected,
    ImageMoodRichNormal,
    ImageMoodRichSelected,
    ImageMoodWarmNormal,
    ImageMoodWarmSelected,
    ImageTickNormal,
    ImageMoodAllMoods,
    ImageMoodExternalColorsOnly,
    ImageMoodDisabled,
    ImageWidgetSearchMagnifyingGlass,
    ImageWidgetRollBackwardNormal,
    ImageWidgetRollBackwardDown,
    ImageWidgetRollForwardNormal,
    ImageWidgetRollForwardDown,
    ImageSchemeContrastingNormal,
    ImageSchemeContrastingSelected,
    ImageSchemeDramaticNormal,
    ImageSchemeDramaticSelected,
    ImageSchemeDynamicNormal,
    ImageSchemeDynamicSelected,
    ImageSchemeHarmonisingNormal,
    ImageSchemeHarmonisingSelected,
    ImageSchemeTonalNeutralNormal,
    ImageSchemeTonalNeutralSelected,
    ImageSchemeWideContrastNormal,
    ImageSchemeWideContrastSelected,
    ImageMypaletteEraser,
    ImageMypaletteGridOff,
    ImageMypaletteTrash,
    ImageMypaletteZoom,
    ImageMypaletteClearQuestionIcon,
    ImageMypalettefullBack,
    ImageMypalettefullSliderBackground,
    ImageMypalettefullSliderBackgroundMask,
    ImageMypalettefullSliderThumb,
    ImageProspectGroupOpen,
    ImageProspectGroupClosed,
    ImageVerticalScrollbarThumb,
    ImageComplementaryNeutralMarkerNormal,
    ImageComplementaryNeutralMarkerSelected,
    ImageBanner,
    ImageWindowIcon,
    ImageCapsureButtonNormal,
    ListOfPreferredFontFaces,
    ImageAboutLogo,
    ImageMto,
    Count
};

QString themeKeyText(ThemeKey key);

// The raw item: 0, -1 when absent or not a blob, or a code of openCollection. The
// output is cleared first.
int themeItem(const QUuid &uuid, const QString &key, QByteArray &data);

// The decoded image; when there is none, a white placeholder with a red frame of the
// given size (or a null image when the size is empty).
QImage themeImage(const QUuid &uuid, ThemeKey key, const QSize &placeholderSize);
QImage themeImage(ThemeKey key, const QSize &placeholderSize);
// Decoded pictures are kept for the process; a registry emptied and filled again (other
// files, perhaps) starts afresh.
void forgetDecodedThemeImages();
QImage placeholderImage(const QSize &size);
// An image item's bytes as a picture, or the placeholder when they do not decode.
QImage decodeThemeImage(const QByteArray &data, const QSize &placeholderSize);
// Reads the font list "family,size;family,size": the families in order with their
// sizes. Empty when no entry is usable or a family is listed twice.
QList<std::pair<QString, int>> parseThemeFontList(const QString &text);

// A colour written "r,g,b" or "r,g,b,a" (each 0 to 255), or the default.
QColor themeColor(ThemeKey key, const QColor &defaultColor);
QColor parseThemeColor(const QByteArray &text, const QColor &defaultColor);

// The first installed family of the theme's font list; empty when none is installed.
QString preferredFontFamily();
// The base point size that goes with it (0 while no family is found).
int baseFontPointSize();

// Theme fonts at a size step: 0 is two points below the base size, 1 one below, 3 one
// above, 4 two above, anything else the base size.
QFont normalFont(int sizeStep);
QFont italicFont(int sizeStep);
QFont boldFont(int sizeStep);

} // namespace Vantor::DB
