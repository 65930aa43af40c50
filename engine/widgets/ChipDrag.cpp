#include "ChipDrag.h"

#include "NestedDialogs.h"

#include "engine/colour/ColourValueText.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/ThemeResources.h"

#include <QDrag>
#include <QDragEnterEvent>
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

namespace {

QPixmap dragPixmap(QColor colour, const QString &text, int alignment)
{
    QPixmap pixmap(128, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QLinearGradient gradient(QPointF(0, 0), QPointF(16, pixmap.height()));
    colour.setAlpha(255);
    gradient.setColorAt(0.0, colour);
    colour.setAlpha(208);
    gradient.setColorAt(0.65, colour);
    colour.setAlpha(160);
    gradient.setColorAt(1.0, colour);
    painter.fillRect(pixmap.rect(), gradient);
    painter.setPen(Qt::black);
    painter.setFont(DB::italicFont(2));
    painter.drawText(QRect(2, 2, pixmap.width() - 4, pixmap.height() - 4), alignment, text);
    return pixmap;
}

Qt::DropAction runDrag(QWidget *source, QMimeData *mime, const QPixmap &pixmap, Qt::DropActions supportedActions,
                       Qt::DropAction defaultAction)
{
    auto *drag = new QDrag(source);
    drag->setMimeData(mime);
    drag->setPixmap(pixmap);
    // A drag runs an event loop of its own: the picker's widgets must outlive it, even
    // when the host tears the picker down meanwhile.
    const ChipDragRunner runner = chipDragRunner();
    return NestedDialogs::execDrag(drag, [&](QDrag *running) {
        return runner ? runner(running, supportedActions, defaultAction) : running->exec(supportedActions, defaultAction);
    });
}

} // namespace

QPixmap chipDragPixmap(const DB::ColorEntry &entry)
{
    return dragPixmap(entry.color(), entry.code, Qt::AlignRight | Qt::AlignTop);
}

QPixmap colourDragPixmap(const QColor &colour, const QString &label)
{
    return dragPixmap(colour, label, Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap);
}

Qt::DropAction startChipDrag(QWidget *source, int from, const QUuid &collectionId, const DB::ColorEntry &entry,
                             Qt::DropActions supportedActions, Qt::DropAction defaultAction)
{
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(DB::ChipMimeType), DB::writeChipRecord(from, collectionId, entry));
    // What other programs take: a colour well the colour, a text field the chip in words.
    mime->setColorData(entry.color());
    mime->setText(chipInWords(entry));
    return runDrag(source, mime, chipDragPixmap(entry), supportedActions, defaultAction);
}

Qt::DropAction startColourDrag(QWidget *source, int from, const QColor &colour, const QString &name1, const QString &name2,
                               const QString &label, Qt::DropActions supportedActions, Qt::DropAction defaultAction)
{
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(DB::ChipMimeType), DB::writeColourRecord(from, colour, name1, name2));
    mime->setColorData(colour);
    mime->setText(colourInWords(QString(), name1, colour, labFromColour(colour)));
    return runDrag(source, mime, colourDragPixmap(colour, label), supportedActions, defaultAction);
}

namespace {

// Keeps a chip's drag out of a text field of the picker: the words it carries are for
// other programs, and the picker's own fields take no chips.
class ChipDropRefusal : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::DragEnter && event->type() != QEvent::DragMove && event->type() != QEvent::Drop)
            return false;
        auto *drop = static_cast<QDropEvent *>(event);
        if (!drop->mimeData() || !drop->mimeData()->hasFormat(QLatin1String(DB::ChipMimeType)))
            return false;
        drop->ignore();
        return true;
    }
};

} // namespace

void refuseChipDrops(QWidget *field)
{
    field->installEventFilter(new ChipDropRefusal(field));
}

void setChipDragRunner(ChipDragRunner runner)
{
    chipDragRunner() = std::move(runner);
}

} // namespace Vantor
