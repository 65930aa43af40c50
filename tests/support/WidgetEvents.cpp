#include "WidgetEvents.h"

#include "engine/db/ChipDragRecord.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QWidget>

namespace Palettra::Test {

void dropChipRecord(QWidget *target, const QPoint &at, const QByteArray &record)
{
    QMimeData mime;
    mime.setData(QLatin1String(Vantor::DB::ChipMimeType), record);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace Palettra::Test
