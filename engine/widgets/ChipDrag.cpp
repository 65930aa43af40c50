#include "ChipDrag.h"

#include "engine/db/ChipDragRecord.h"
#include "engine/db/ThemeResources.h"

#include <QDrag>
#include <QWidget>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>

namespace Vantor {

namespace {

ChipDragRunner &chipDragRunner()
{
    static ChipDragRunner runner;
    return runner;
}

} // namespace

QPixmap chipDragPixmap(const DB::ColorEntry &entry)
{
    QPixmap pixmap(128, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QLinearGradient gradient(QPointF(0, 0), QPointF(16, pixmap.height()));
    QColor colour = entry.color();
    colour.setAlpha(255);
    gradient.setColorAt(0.0, colour);
    colour.setAlpha(208);
    gradient.setColorAt(0.65, colour);
    colour.setAlpha(160);
    gradient.setColorAt(1.0, colour);
    painter.fillRect(pixmap.rect(), gradient);
    painter.setPen(Qt::black);
    painter.setFont(DB::italicFont(2));
    painter.drawText(QRect(2, 2, pixmap.width() - 4, pixmap.height() - 4), Qt::AlignRight | Qt::AlignTop, entry.code);
    return pixmap;
}

Qt::DropAction startChipDrag(QWidget *source, int from, const QUuid &collectionId, const DB::ColorEntry &entry,
                             Qt::DropActions supportedActions, Qt::DropAction defaultAction)
{
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(DB::ChipMimeType), DB::writeChipRecord(from, collectionId, entry));
    auto *drag = new QDrag(source);
    drag->setMimeData(mime);
    drag->setPixmap(chipDragPixmap(entry));
    const ChipDragRunner &runner = chipDragRunner();
    return runner ? runner(drag, supportedActions, defaultAction) : drag->exec(supportedActions, defaultAction);
}

void setChipDragRunner(ChipDragRunner runner)
{
    chipDragRunner() = std::move(runner);
}

} // namespace Vantor
