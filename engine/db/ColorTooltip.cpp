#include "ColorTooltip.h"

#include "Collection.h"
#include "CollectionSettings.h"
#include "NavigationQueries.h"

#include <QStringList>

namespace Vantor::DB {

QString colorTooltipText(const QUuid &uuid, qint64 rowId, bool html)
{
    const bool showCollectionName = CollectionSettings::tooltipShowCollectionName(uuid);
    const bool showPageName = CollectionSettings::tooltipShowPageName(uuid);
    const bool showRowCode = CollectionSettings::tooltipShowRowCode(uuid);
    const bool showRowName = CollectionSettings::tooltipShowRowName(uuid);
    const bool showRowAuxiliary = CollectionSettings::tooltipShowRowAuxiliary(uuid);
    const bool showPageIndex = CollectionSettings::tooltipShowPageIndex(uuid);
    const bool showRowIndex = CollectionSettings::tooltipShowRowIndex(uuid);

    ColorEntry entry;
    if (loadColorById(uuid, rowId, entry) != StatusOk)
        return QString();

    QStringList lines;
    auto add = [&lines](const QString &line) {
        if (!line.isEmpty())
            lines << line;
    };

    if (showCollectionName) {
        QSharedPointer<Collection> collection;
        if (loadCollection(uuid, collection) == StatusOk)
            add(collection->name);
    }
    ColorPage page;
    const bool pageLoaded = (showPageName || showPageIndex) && loadPageById(uuid, entry.pageId, true, page) == StatusOk;
    if (showPageName && pageLoaded) {
        for (int position : pageNameDisplayOrder())
            add(page.name(position));
    }
    if (showRowCode)
        add(entry.code);
    if (showRowName) {
        for (int position : rowNameDisplayOrder())
            add(entry.name(position));
    }
    if (showRowAuxiliary) {
        for (int position : rowExtraDisplayOrder()) {
            const QString extra = entry.extra(position);
            if (!extra.isEmpty())
                add(html ? QStringLiteral("<span style=\"font-style:italic;\">%1</span>").arg(extra) : extra);
        }
    }
    if (showPageIndex && pageLoaded)
        add(QString::number(page.pageIndex));
    if (showRowIndex)
        add(QString::number(entry.rowIndex));

    if (html)
        return QStringLiteral("<div style=\"margin:2px;\">%1</div>").arg(lines.join(QStringLiteral("<br/>")));
    return lines.join(QLatin1Char('\n'));
}

} // namespace Vantor::DB
