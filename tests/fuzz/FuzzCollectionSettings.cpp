// Collection settings as a paint maker's file or a hand edit may have them: after the
// first byte, the input's lines are the stored values of every setting in turn (eight
// at most each), and the reading that the first byte names reads them as the accessors
// do. The values are what the file's look-ups would return, so no file is written.

#include "FuzzSupport.h"

#include "engine/db/CollectionKeys.h"
#include "engine/db/SettingValues.h"

#include <QHash>

#include <iterator>

using Vantor::DB::SettingKey;
namespace SV = Vantor::SettingValues;

namespace {

struct StoredSettings
{
    QHash<int, QVariantList> values; // by key, in index order

    QVariant value(SettingKey key) const
    {
        const QVariantList list = values.value(int(key));
        return list.isEmpty() ? QVariant() : list.first();
    }
    QVariantList list(SettingKey key) const { return values.value(int(key)); }
};

StoredSettings storedSettings(const QList<QByteArray> &lines)
{
    StoredSettings stored;
    const int keys = int(SettingKey::Count);
    for (int i = 0; i < lines.size() && i < 8 * keys; ++i)
        stored.values[i % keys].append(QString::fromUtf8(lines.at(i)));
    return stored;
}

void switches(const StoredSettings &s, std::initializer_list<SettingKey> keys)
{
    for (SettingKey key : keys)
        SV::isOne(s.value(key), false);
}

// Every reading of stored values, one per input as its first byte chooses: the run
// covers them all.
using Reading = void (*)(const StoredSettings &);
const Reading Readings[] = {
    [](const StoredSettings &s) {
        for (SettingKey key : {SettingKey::PageNameSearchOrder, SettingKey::PageNameDisplayOrder,
                               SettingKey::PageExtraDisplayOrder, SettingKey::RowNameSearchOrder,
                               SettingKey::RowNameDisplayOrder, SettingKey::RowExtraDisplayOrder})
            SV::orderListOf(s.list(key));
    },
    [](const StoredSettings &s) { SV::wholeNumber(s.value(SettingKey::MaxChipsOnAPage), 0); },
    [](const StoredSettings &s) { SV::cardTypeOf(s.value(SettingKey::CardType)); },
    [](const StoredSettings &s) { SV::wholeNumber(s.value(SettingKey::NumOfSegments), 12); },
    [](const StoredSettings &s) { s.value(SettingKey::FirstSegmentAngle).toDouble(); },
    [](const StoredSettings &s) { SV::orientationOf(s.value(SettingKey::SegmentIncrementOrientation)); },
    [](const StoredSettings &s) { SV::cardModeOf(s.value(SettingKey::ModeCard)); },
    [](const StoredSettings &s) { SV::moodModeOf(s.value(SettingKey::ModeMood)); },
    [](const StoredSettings &s) { switches(s, {SettingKey::HasExteriorFilter, SettingKey::MoodVisible}); },
    [](const StoredSettings &s) { switches(s, {SettingKey::HasColorSchemesPage, SettingKey::CapsureEnabled}); },
    [](const StoredSettings &s) { SV::productGroupsModeOf(s.value(SettingKey::ProductGroupsMode)); },
    [](const StoredSettings &s) {
        SV::text(s.value(SettingKey::ProductGroupProductnameProductcodeSeparator), QStringLiteral(": "));
    },
    [](const StoredSettings &s) {
        switches(s, {SettingKey::ColorTooltipShowPageName, SettingKey::ColorTooltipShowCardName,
                     SettingKey::ColorTooltipShowRowName, SettingKey::ColorTooltipShowColorName,
                     SettingKey::ColorTooltipShowRowCode, SettingKey::ColorTooltipShowColorCode,
                     SettingKey::ColorTooltipShowRowAuxiliaryInfo, SettingKey::ColorTooltipShowAuxiliary,
                     SettingKey::ColorTooltipShowCollectionName, SettingKey::ColorTooltipShowPageIndex,
                     SettingKey::ColorTooltipShowRowRowIndex, SettingKey::SavePaletteTextFormat});
    },
    [](const StoredSettings &s) { SV::schemesOf(s.list(SettingKey::Schemes)); },
    [](const StoredSettings &s) {
        for (double interval : SV::deltaIntervalsOf(s.value(SettingKey::Cie2000DeltaIntervals))) {
            if (!(interval > 0.0))
                Palettra::Fuzz::broken("a colour-difference interval that is not positive");
        }
    },
    [](const StoredSettings &s) { SV::tabBarPageOrderOf(s.list(SettingKey::TabBarPage)); },
    [](const StoredSettings &s) {
        SV::sizeOf(s.value(SettingKey::WidgetProspectChipWidth), s.value(SettingKey::WidgetProspectChipHeight));
    },
    [](const StoredSettings &s) { SV::sizeOf(s.value(SettingKey::TextureSize)); },
    [](const StoredSettings &s) {
        for (SettingKey key : {SettingKey::HeaderLink, SettingKey::HelpLink, SettingKey::CapsureFilenameToWatch,
                               SettingKey::CapsureFolderToWatchWindows})
            SV::text(s.value(key), QString());
    },
    [](const StoredSettings &s) {
        for (SettingKey key : {SettingKey::HasProductGroupsPage, SettingKey::HasTexturesPage, SettingKey::HasProspectPage})
            SV::wholeNumber(s.value(key), 0);
    },
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const StoredSettings stored =
        storedSettings(QByteArray(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1).split('\n'));
    Readings[data[0] % std::size(Readings)](stored);
    return 0;
}
