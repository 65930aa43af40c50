#pragma once

#include "engine/db/CollectionKeys.h"
#include "engine/db/SharedTypes.h"
#include "engine/db/ThemeResources.h"

namespace Vantor {

// What each scheme kind looks like on the schemer's buttons: its two pictures, its name
// and its tooltip. The neutral forms (6 to 9) share the tonal-neutral pictures.
struct SchemeKindLook
{
    DB::ThemeKey normalImage;
    DB::ThemeKey selectedImage;
    DB::LocaleKey name;
    DB::LocaleKey tooltip;
};

// The look of kinds 1 to 9; false for any other value.
bool schemeKindLook(int kind, SchemeKindLook &look);

// The neutral button stands for one of its forms (7, 8 or 9).
inline bool isNeutralForm(int kind)
{
    return kind == SchemeTonalNeutral || kind == SchemeComplementaryNeutral || kind == SchemeNaturalNeutral;
}

// The kind whose schemes are shown for a button: the neutral button shows its form.
inline int effectiveSchemeKind(int kind, int neutralSubKind)
{
    return kind == SchemeNeutral ? neutralSubKind : kind;
}

} // namespace Vantor
