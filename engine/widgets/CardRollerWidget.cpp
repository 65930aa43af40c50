#include "CardRollerWidget.h"

#include "ChipDrag.h"
#include "ChipFrame.h"
#include "engine/PersistentState.h"
#include "engine/db/CapsureQueries.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ColorTooltip.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/ThemeResources.h"
#include "engine/colour/ColourDifference.h"
#include "engine/colour/ColourValueText.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFontMetrics>
#include <QMimeData>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

namespace Vantor {

namespace {
const QColor FrameColour(64, 64, 64);
}

CardRollerWidget::CardRollerWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_MouseTracking);
    setAcceptDrops(true);
    selectedCollectionChanged(lastUsedCollection());
    setFont(DB::boldFont(1));
}

void CardRollerWidget::selectedCollectionChanged(QUuid collectionId)
{
    mtoPixmap = QPixmap::fromImage(DB::themeImage(collectionId, DB::ThemeKey::ImageMto, QSize(96, 50)));
}

void CardRollerWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layout = layoutCardRoller(size(), QFontMetrics(font()).size(Qt::TextSingleLine, QStringLiteral("X")).height());
    laidOut = true;
}

bool CardRollerWidget::isHiddenMto(const DB::ColorEntry &row) const
{
    const QUuid collection = lastUsedCollection();
    return CollectionSettings::cardType(collection) == CollectionSettings::PulvexCard && !showMto(collection) && row.isMto;
}

void CardRollerWidget::paintEvent(QPaintEvent *)
{
    const PersistentStateBatch stateReads;
    const PaintScope toldAfterwards(this, this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (!laidOut)
        return;

    for (const QRect &card : layout.cards)
        paintChipFrame(painter, card);

    const QUuid collection = lastUsedCollection();
    const int mood = moodFilter(collection);
    const bool exterior = exteriorColors(collection);
    for (auto &chips : chipRectsOfSlot)
        chips.clear();
    if (DB::loadPageByIndex(collection, pageIndex(collection), pages[1]) != DB::StatusOk
        || DB::loadAdjacentPage(collection, pages[1].pageIndex, false, mood, exterior, pages[2]) != DB::StatusOk
        || DB::loadAdjacentPage(collection, pages[1].pageIndex, true, mood, exterior, pages[0]) != DB::StatusOk)
        return;

    const QVector<int> &nameOrder = DB::pageNameDisplayOrder();
    const int storedRow = rowIndex(collection);
    QRect selectedChip;
    for (int slot : paintOrder) {
        const DB::ColorPage &page = pages[slot];
        QString label = nameOrder.isEmpty() ? QString() : page.name(nameOrder.first());
        if (label.isEmpty())
            label = QStringLiteral("%1").arg(page.pageIndex);
        cardLabels[slot] = label;
        const QRect &labelRect = layout.labels[slot];
        painter.setPen(Qt::white);
        painter.drawText(labelRect, Qt::AlignCenter | Qt::TextSingleLine,
                         QFontMetrics(font()).elidedText(label, Qt::ElideRight, labelRect.width()));

        const QVector<QRect> chips = chipRects(layout.cards[slot], int(page.rows.size()));
        for (int j = 0; j < chips.size(); ++j) {
            const DB::ColorEntry &row = page.rows.at(j);
            const QRect &chip = chips.at(j);
            const QColor colour = row.color();
            painter.fillRect(chip, colour);
            if (isHiddenMto(row) && !mtoPixmap.isNull())
                painter.drawPixmap(chip, mtoPixmap.scaled(chip.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
            QColor highlight = colour.lighter(150);
            highlight.setAlpha(32);
            paintRectOutline(painter, chip, highlight);
            chipRectsOfSlot[slot].append(chip);
            if (j < chips.size() - 1) {
                painter.setPen(FrameColour);
                painter.drawLine(chip.left(), chip.bottom() + 1, chip.right(), chip.bottom() + 1);
            }
            if (slot == 1 && row.rowIndex == storedRow)
                selectedChip = chip;
        }
    }
    if (!selectedChip.isNull()) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(QColor(255, 255, 255, 224), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(selectedChip.left() - 1, selectedChip.top() - 1),
                               QPoint(selectedChip.right() + 1, selectedChip.bottom() + 1)));
    }
}

QVector<AccessibleChip> CardRollerWidget::describeChips() const
{
    const QString cardWords[3] = {tr("Previous card \u201c%1\u201d"), tr("Card \u201c%1\u201d"), tr("Next card \u201c%1\u201d")};
    const int storedRow = rowIndex(lastUsedCollection());
    QVector<AccessibleChip> chips;
    for (int slot : paintOrder) {
        const QVector<QRect> &rects = chipRectsOfSlot[slot];
        for (int i = 0; i < rects.size() && i < pages[slot].rows.size(); ++i) {
            const DB::ColorEntry &row = pages[slot].rows.at(i);
            AccessibleChip chip;
            chip.name = isHiddenMto(row) ? tr("%1, made to order").arg(row.code) : chipInWords(row);
            chip.description = tr("%1, chip %2 of %3").arg(cardWords[slot].arg(cardLabels[slot])).arg(i + 1).arg(rects.size());
            chip.rect = rects.at(i);
            chip.selectable = slot == 1;
            chip.selected = slot == 1 && row.rowIndex == storedRow;
            chips.append(chip);
        }
    }
    return chips;
}

int CardRollerWidget::keyboardChip() const
{
    const int storedRow = rowIndex(lastUsedCollection());
    const int shown = std::min(int(chipRectsOfSlot[1].size()), int(pages[1].rows.size()));
    for (int i = 0; i < shown; ++i) {
        if (pages[1].rows.at(i).rowIndex == storedRow)
            return int(std::min(chipRectsOfSlot[0].size(), qsizetype(pages[0].rows.size()))) + i;
    }
    return -1;
}

void CardRollerWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first click chose the chip; the second counts only where that chip still is
    // (a click on a side card rolls the cards away from under the pointer).
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !laidOut || !layout.cards[1].contains(point))
        return;
    const QVector<QRect> &chips = chipRectsOfSlot[1];
    const int row = rowIndex(lastUsedCollection());
    if (row >= 1 && row <= chips.size() && chips.at(row - 1).contains(point))
        emit chipDoubleClicked();
}

void CardRollerWidget::mousePressEvent(QMouseEvent *event)
{
    QToolTip::hideText();
    if (event->buttons() != Qt::LeftButton)
        return;
    pressGlobalPos = event->globalPosition().toPoint();
    const QPoint point = event->position().toPoint();
    for (int slot : paintOrder) {
        if (!laidOut || !layout.cards[slot].contains(point))
            continue;
        const QVector<QRect> &chips = chipRectsOfSlot[slot];
        for (int i = 0; i < chips.size(); ++i) {
            if (!chips.at(i).contains(point))
                continue;
            if (slot == 0)
                emit roll(Backward);
            else if (slot == 2)
                emit roll(Forward);
            const bool hiddenMto = i < pages[slot].rows.size() && isHiddenMto(pages[slot].rows.at(i));
            if (i + 1 != rowIndex(lastUsedCollection()) && !hiddenMto)
                emit rowChangedInteractively(i + 1);
            return;
        }
        return;
    }
}

void CardRollerWidget::mouseReleaseEvent(QMouseEvent *)
{
    pressGlobalPos = QPoint(0, 0);
}

void CardRollerWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->buttons() == Qt::LeftButton) {
        if ((event->globalPosition().toPoint() - pressGlobalPos).manhattanLength() <= QApplication::startDragDistance()
            || !layout.cards[1].contains(point))
            return;
        const QVector<QRect> &chips = chipRectsOfSlot[1];
        for (int i = 0; i < chips.size(); ++i) {
            if (chips.at(i).contains(point) && i < pages[1].rows.size()) {
                startChipDrag(this, DB::FromCardRoller, lastUsedCollection(), pages[1].rows.at(i), Qt::CopyAction,
                              Qt::CopyAction);
                return;
            }
        }
        return;
    }
    if (event->buttons() != Qt::NoButton)
        return;
    for (int slot : paintOrder) {
        if (!layout.cards[slot].contains(point))
            continue;
        const QVector<QRect> &chips = chipRectsOfSlot[slot];
        for (int i = 0; i < chips.size(); ++i) {
            if (!chips.at(i).contains(point) || i >= pages[slot].rows.size())
                continue;
            const DB::ColorEntry &row = pages[slot].rows.at(i);
            if (isHiddenMto(row))
                QToolTip::hideText();
            else
                QToolTip::showText(mapToGlobal(chips.at(i).topRight()),
                                   DB::colorTooltipText(lastUsedCollection(), row.id, true), this);
            return;
        }
    }
    if (QToolTip::isVisible())
        QToolTip::hideText();
}

void CardRollerWidget::wheelEvent(QWheelEvent *event)
{
    emit roll(event->angleDelta().y() >= 0 ? Backward : Forward);
}

void CardRollerWidget::keyPressEvent(QKeyEvent *event)
{
    // The keys report what the mouse does: a chip chosen, the cards rolled.
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        emit roll(Backward);
        return;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        emit roll(Forward);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const QUuid collection = lastUsedCollection();
        DB::ColorPage card;
        if (DB::loadPageByIndex(collection, pageIndex(collection), card) != DB::StatusOk || card.rows.isEmpty())
            return;
        const int step = event->key() == Qt::Key_Up ? -1 : 1;
        // The next chip that can be chosen, skipping made-to-order chips the filter hides.
        for (int row = rowIndex(collection) + step; row >= 1 && row <= card.rows.size(); row += step) {
            if (!isHiddenMto(card.rows.at(row - 1))) {
                emit rowChangedInteractively(row);
                return;
            }
        }
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Insert:
        emit chipCollectedInteractively();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool CardRollerWidget::acceptableDrag(const QMimeData *mime)
{
    const int source = DB::chipRecordSource(mime);
    return DB::hasChipRecord(mime)
        && (source == DB::FromColorSchemer || source == DB::FromMyPalette || source == DB::FromProspectGroups);
}

void CardRollerWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptableDrag(event->mimeData()))
        event->acceptProposedAction();
}

void CardRollerWidget::dragMoveEvent(QDragMoveEvent *event)
{
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
    if (acceptableDrag(event->mimeData()) && layout.cardStrip.contains(event->position().toPoint())) {
        event->setDropAction(event->proposedAction());
        event->accept();
    }
}

void CardRollerWidget::dragLeaveEvent(QDragLeaveEvent *)
{
}

bool CardRollerWidget::resolveDrop(const QMimeData *mime, QUuid &collection, DB::ColorPage &card, DB::ColorEntry &row) const
{
    // A chip of a collection: found by its identity.
    QUuid named;
    if (DB::readChipRecord(mime, named, row) == DB::StatusOk && DB::loadPageById(named, row.pageId, true, card) == DB::StatusOk) {
        collection = named;
        return true;
    }

    // A bare colour: by one of its names as a code, by its exact RGB, or as the nearest
    // colour of the current collection when that is close enough.
    QColor colour;
    if (DB::readColourRecordRgb(mime, colour) != DB::StatusOk)
        return false;
    QString name1, name2;
    DB::readColourRecordNames(mime, name1, name2);
    QUuid found;
    if (DB::findColorByCode(name1, row) == DB::StatusOk || DB::findColorByCode(name2, row) == DB::StatusOk
        || DB::findColorByRgb(colour, row) == DB::StatusOk) {
        found = DB::CollectionRegistry::instance().collectionOwning(row.collectionId);
    } else {
        const QUuid current = lastUsedCollection();
        const LabColour target = labFromColour(colour);
        QVector<DB::LabCandidate> table;
        DB::loadLabColors(current, table);
        const QVector<ColourMatch> nearest = nearestColours(target, table, 1);
        if (nearest.isEmpty() || DB::loadColorById(current, nearest.first().second, row) != DB::StatusOk)
            return false;
        const double difference = deltaE2000(labFromColour(row.color()), target);
        if (!(CollectionSettings::cie2000DeltaIntervals(current).first() > difference))
            return false;
        found = current;
    }
    if (found.isNull() || DB::loadPageById(found, row.pageId, true, card) != DB::StatusOk)
        return false;
    collection = found;
    return true;
}

void CardRollerWidget::dropEvent(QDropEvent *event)
{
    if (!DB::hasChipRecord(event->mimeData()))
        return;
    event->acceptProposedAction();
    QUuid target;
    DB::ColorPage card;
    DB::ColorEntry row;
    if (!resolveDrop(event->mimeData(), target, card, row))
        return;
    QUuid current = lastUsedCollection();
    if (target != current) {
        emit collectionSelectedInteractively(target);
        current = lastUsedCollection();
    }
    if (target != current)
        return;
    if (card.pageIndex != pageIndex(current))
        emit pageChangedInteractively(card.pageIndex);
    if (row.rowIndex != rowIndex(current))
        emit rowChangedInteractively(row.rowIndex);
}

} // namespace Vantor
