#include "Captions.h"

#include "engine/db/CollectionSettings.h"

namespace Vantor {

QString elideCaption(const QString &text, const QFontMetrics &metrics, int width)
{
    // No character is narrower than a pixel but those of no width at all; a few times
    // the width in characters is more than any caption can show.
    const qsizetype limit = qsizetype(qMax(width, 0)) * 4 + 16;
    if (text.size() <= limit)
        return metrics.elidedText(text, Qt::ElideRight, width, Qt::TextSingleLine);
    QString shown = metrics.elidedText(text.left(limit), Qt::ElideRight, width, Qt::TextSingleLine);
    // The rest was cut off here, so the caption always says that something is missing.
    const QChar ellipsis(0x2026);
    if (!shown.endsWith(ellipsis))
        shown = metrics.elidedText(shown + ellipsis, Qt::ElideRight, width, Qt::TextSingleLine);
    return shown;
}

QString localeTextOr(const QUuid &collection, const QString &key, const QString &english)
{
    const QString text = DB::localizedString(collection, key);
    return text.isEmpty() || text == key ? english : text;
}

} // namespace Vantor
