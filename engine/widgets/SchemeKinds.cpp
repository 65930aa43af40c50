#include "SchemeKinds.h"

namespace Vantor {

bool schemeKindLook(int kind, SchemeKindLook &look)
{
    using DB::LocaleKey;
    using DB::ThemeKey;
    switch (kind) {
    case SchemeHarmonic:
        look = {ThemeKey::ImageSchemeHarmonisingNormal, ThemeKey::ImageSchemeHarmonisingSelected,
                LocaleKey::HarmonizerPaletteSchemeHarmonic, LocaleKey::TiptextHarmonizerPaletteSchemeHarmonic};
        return true;
    case SchemeContrast:
        look = {ThemeKey::ImageSchemeContrastingNormal, ThemeKey::ImageSchemeContrastingSelected,
                LocaleKey::HarmonizerPaletteSchemeContrast, LocaleKey::TiptextHarmonizerPaletteSchemeContrast};
        return true;
    case SchemeWideContrast:
        look = {ThemeKey::ImageSchemeWideContrastNormal, ThemeKey::ImageSchemeWideContrastSelected,
                LocaleKey::HarmonizerPaletteSchemeWideContrast, LocaleKey::TiptextHarmonizerPaletteSchemeWideContrast};
        return true;
    case SchemeDynamic:
        look = {ThemeKey::ImageSchemeDynamicNormal, ThemeKey::ImageSchemeDynamicSelected,
                LocaleKey::HarmonizerPaletteSchemeDynamic, LocaleKey::TiptextHarmonizerPaletteSchemeDynamic};
        return true;
    case SchemeDramatic:
        look = {ThemeKey::ImageSchemeDramaticNormal, ThemeKey::ImageSchemeDramaticSelected,
                LocaleKey::HarmonizerPaletteSchemeDramatic, LocaleKey::TiptextHarmonizerPaletteSchemeDramatic};
        return true;
    case SchemeNeutral:
    case SchemeTonalNeutral:
        // The neutral button is named after its tonal form.
        look = {ThemeKey::ImageSchemeTonalNeutralNormal, ThemeKey::ImageSchemeTonalNeutralSelected,
                LocaleKey::HarmonizerPaletteSchemeTonalNeutral, LocaleKey::TiptextHarmonizerPaletteSchemeTonalNeutral};
        return true;
    case SchemeComplementaryNeutral:
        look = {ThemeKey::ImageSchemeTonalNeutralNormal, ThemeKey::ImageSchemeTonalNeutralSelected,
                LocaleKey::HarmonizerPaletteSchemeComplementaryNeutral,
                LocaleKey::TiptextHarmonizerPaletteSchemeComplementaryNeutral};
        return true;
    case SchemeNaturalNeutral:
        look = {ThemeKey::ImageSchemeTonalNeutralNormal, ThemeKey::ImageSchemeTonalNeutralSelected,
                LocaleKey::HarmonizerPaletteSchemeNaturalNeutral, LocaleKey::TiptextHarmonizerPaletteSchemeNaturalNeutral};
        return true;
    default:
        return false;
    }
}

} // namespace Vantor
