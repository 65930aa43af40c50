#include "CollectionSelectWidget.h"

#include "Captions.h"

#include "DropDownButton.h"
#include "ImageButton.h"
#include "NestedDialogs.h"
#include "engine/PersistentState.h"
#include "engine/colour/CapsureImport.h"
#include "CapsureSelectDialog.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/ThemeResources.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QKeyEvent>
#include <QResizeEvent>

namespace Vantor {

CollectionSelectWidget::CollectionSelectWidget(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(234, 30);
    setFocusPolicy(Qt::StrongFocus);
    setFont(DB::normalFont(3));
    loadCollection(lastUsedCollection());

    dropDown = new DropDownButton(this);
    if (DB::CollectionRegistry::instance().orderedCollectionUuids().size() < 2)
        dropDown->hide();
    const QImage capsureImage = DB::themeImage(DB::ThemeKey::ImageCapsureButtonNormal, QSize(16, 16));
    capsure = new ImageButton(capsureImage, capsureImage, this);
    capsure->setToolTip(localeTextOr(lastUsedCollection(), QStringLiteral("tiptext.cardselect.colormatch.button"),
                                     QStringLiteral("Colours matching the Capsure measurement")));
    capsure->setFixedSize(20, 20);
    capsure->hide();
    dropDown->setAccessibleName(tr("Choose a collection"));
    capsure->setAccessibleName(tr("Capsure match"));

    // A child of the main window, so that it opens over the panels below.
    list = new QListWidget(parentWidget() ? parentWidget() : this);
    list->setFont(font());
    list->setFrameShape(QFrame::NoFrame);
    list->hide();
    list->setAccessibleName(tr("Collections"));
    list->setStyleSheet(QStringLiteral("QListWidget { background: qlineargradient(spread:pad, x1:0.35, y1:1, x2:0.65, y2:0, "
                                       "stop:0 rgba(204, 204, 204, 255), stop:1 rgba(238, 238, 238, 255)); }"));
    fillList();
    list->installEventFilter(this);

    connect(dropDown, &QPushButton::clicked, this, &CollectionSelectWidget::dropDownButtonClicked);
    connect(capsure, &QPushButton::clicked, this, &CollectionSelectWidget::capsureButtonClicked);
    connect(list, &QListWidget::itemActivated, this, &CollectionSelectWidget::listWidgetItemActivated);
    connect(list, &QListWidget::itemClicked, this, &CollectionSelectWidget::listWidgetItemActivated);
    layOut();
}

void CollectionSelectWidget::loadCollection(const QUuid &collection)
{
    backgroundImage = DB::themeImage(DB::ThemeKey::ImageWidgetBarBackground, size());
    textColour = DB::themeColor(DB::ThemeKey::ColorWidgetCollectionselectorText, QColor(0, 0, 0));
    QSharedPointer<DB::Collection> record;
    if (DB::loadCollection(collection, record) == DB::StatusOk)
        m_collectionName = record->name;
    setAccessibleName(tr("Collection %1").arg(m_collectionName));
}

void CollectionSelectWidget::fillList()
{
    list->clear();
    const QFontMetrics metrics(list->font());
    for (const QUuid &uuid : DB::CollectionRegistry::instance().orderedCollectionUuids()) {
        QSharedPointer<DB::Collection> record;
        if (DB::loadCollection(uuid, record) != DB::StatusOk)
            continue;
        const QString name = elideCaption(record->name, metrics, WidestShownCaption);
        auto *item = new QListWidgetItem(name, list);
        item->setData(Qt::UserRole, uuid.toString());
        // A size hint is used only when both its width and height are set.
        item->setSizeHint(QSize(metrics.horizontalAdvance(name), 28));
    }
}

void CollectionSelectWidget::selectedCollectionChanged(QUuid collectionId)
{
    loadCollection(collectionId);
    layOut();
    refreshButtonBackground();
    update();
}

void CollectionSelectWidget::keyPressEvent(QKeyEvent *event)
{
    // The list of collections opens as from its button.
    const bool altDown = event->key() == Qt::Key_Down && event->modifiers().testFlag(Qt::AltModifier);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space || altDown) {
        dropDownButtonClicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CollectionSelectWidget::capsureFileChanged(QString fileName)
{
    const bool available = capsureFileAvailable(fileName);
    if (available)
        measurementPath = fileName;
    if (available == capsure->isHidden()) {
        capsure->setVisible(available);
        // The layout makes room for the button, or takes it back.
        QApplication::postEvent(this, new QResizeEvent(size(), size()));
    }
    if (available)
        capsure->startAttentionAnimation();
}

void CollectionSelectWidget::capsureButtonClicked()
{
    capsure->endAttentionAnimation();
    const QVector<DB::ColorEntry> matches = capsureMatches(capsureMeasurementNames(measurementPath));
    if (!matches.isEmpty()) {
        const QPointer<CapsureSelectDialog> dialog = new CapsureSelectDialog(matches, this);
        dialog->setWindowModality(Qt::WindowModal);
        if (NestedDialogs::exec(dialog) == QDialog::Accepted && dialog) {
            const DB::ColorEntry chosen = dialog->chosenColour();
            const QUuid collection = DB::CollectionRegistry::instance().collectionOwning(chosen.collectionId);
            if (!collection.isNull())
                emit capsureItemSelectedInteractively(collection, chosen);
        }
    }
    capsure->endAttentionAnimation();
}

void CollectionSelectWidget::layOut()
{
    const int w = width();
    const int h = height();
    const int tallest = std::max(dropDown->height(), capsure->height());
    const int m = (h - tallest) / 2;
    const int right = w - 1 - m;
    auto centred = [m, h](int height) { return m + ((h - 1 - m) - m + 1 - height) / 2; };
    if (capsure->isVisibleTo(this)) {
        capsure->move(right - capsure->width(), centred(capsure->height()));
        dropDown->move(right - capsure->width() - 2 - dropDown->width(), centred(dropDown->height()));
    } else {
        dropDown->move(right - dropDown->width(), centred(dropDown->height()));
    }
    if (parentWidget() && list->parentWidget() == parentWidget())
        list->setGeometry(geometry().translated(0, height()).adjusted(0, 0, 0, 128 - height()));
    refreshButtonBackground();
}

void CollectionSelectWidget::refreshButtonBackground()
{
    dropDown->setBackgroundCopy(backgroundImage.scaled(size()).copy(dropDown->geometry()));
}

void CollectionSelectWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    backgroundImage = DB::themeImage(DB::ThemeKey::ImageWidgetBarBackground, size());
    layOut();
}

void CollectionSelectWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    layOut();
}

void CollectionSelectWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(rect(), backgroundImage);
    refreshButtonBackground();
    QRect textRect = rect();
    if (dropDown->isVisibleTo(this))
        textRect.setRight(dropDown->x() - 1);
    painter.setPen(textColour);
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
                     elideCaption(m_collectionName, QFontMetrics(font()), textRect.width()));
}

void CollectionSelectWidget::dropDownButtonClicked()
{
    if (list->isHidden()) {
        list->show();
        const QString current = lastUsedCollection().toString();
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem *item = list->item(i);
            if (!item->isHidden() && QUuid(item->data(Qt::UserRole).toString()).toString() == current)
                item->setSelected(true);
        }
        list->setFocus();
    } else {
        list->hide();
        emitPendingChoice();
    }
}

void CollectionSelectWidget::listWidgetItemActivated(QListWidgetItem *item)
{
    const QVariant data = item ? item->data(Qt::UserRole) : QVariant();
    if (data.canConvert<QString>())
        pendingChoice = QUuid(data.toString());
    list->hide();
    emitPendingChoice();
}

void CollectionSelectWidget::emitPendingChoice()
{
    if (pendingChoice.isNull())
        return;
    const QUuid choice = pendingChoice;
    pendingChoice = QUuid();
    emit collectionSelectedInteractively(choice);
}

bool CollectionSelectWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list) {
        switch (event->type()) {
        case QEvent::Show:
            list->raise();
            list->setFocus();
            dropDown->setClosed(false);
            break;
        case QEvent::Hide:
            dropDown->setClosed(true);
            break;
        case QEvent::FocusOut: {
            QWidget *focus = QApplication::focusWidget();
            if (focus != dropDown)
                list->hide();
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Vantor
