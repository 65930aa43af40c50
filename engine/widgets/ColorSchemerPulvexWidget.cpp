#include "ColorSchemerPulvexWidget.h"

#include "ChipDrag.h"
#include "ChipFrame.h"
#include "engine/colour/ColourValueText.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ColorTooltip.h"
#include "engine/db/SchemeQueries.h"
#include "engine/db/StatusCodes.h"
#include "engine/db/ThemeResources.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace Vantor {

ColorSchemerPulvexWidget::ColorSchemerPulvexWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setFont(DB::normalFont(2));
    selectedCollectionChanged(lastUsedCollection());
}

void ColorSchemerPulvexWidget::selectedCollectionChanged(QUuid collectionId)
{
    wideContrastText = DB::localizedString(collectionId, DB::LocaleKey::HarmonizerPaletteSchemeWideContrast);
    contrastText = DB::localizedString(collectionId, DB::LocaleKey::HarmonizerPaletteSchemeContrast);
    layOut();
    update();
}

QStringList ColorSchemerPulvexWidget::labelTexts() const
{
    QStringList texts;
    for (const auto &label : labels)
        texts << label.second;
    return texts;
}

void ColorSchemerPulvexWidget::layOut()
{
    m_layout = layoutPulvexSchemer(size(), QFontMetrics(font()).height());
    const QString texts[3] = {QStringLiteral("%1 1").arg(wideContrastText), contrastText,
                              QStringLiteral("%1 2").arg(wideContrastText)};
    labels.clear();
    for (int i = 0; i < 3; ++i)
        labels.append({m_layout.labels[std::size_t(i)], texts[i]});
}

void ColorSchemerPulvexWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void ColorSchemerPulvexWidget::loadCells()
{
    const QUuid collection = lastUsedCollection();
    QVector<DB::ColorEntry> partners;
    cells.clear();
    // In query order: the first wide-contrast partner, the contrast one, the second
    // wide-contrast one.
    if (DB::loadContrastSchemeColors(collection, pageIndex(collection), rowIndex(collection), partners) != DB::StatusOk
        || partners.size() != 3)
        return;
    for (int i = 0; i < 3; ++i)
        cells.append({m_layout.chips[std::size_t(i)], partners.at(i)});
}

void ColorSchemerPulvexWidget::paintEvent(QPaintEvent *)
{
    const PersistentStateBatch stateReads;
    const PaintScope toldAfterwards(this, this);
    loadCells();
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const auto &[rect, text] : labels) {
        painter.fillRect(rect, QColor(99, 99, 99));
        painter.setPen(Qt::white);
        painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    for (const auto &[rect, entry] : cells) {
        painter.fillRect(rect, entry.color());
        paintChipFrame(painter, rect.adjusted(-1, -1, 1, 1));
    }
    if (hasFocus() && !cells.isEmpty())
        paintKeyboardMark(painter, cells.at(std::clamp(keyboardIndex, 0, int(cells.size()) - 1)).first);
    QFont hintFont = font();
    hintFont.setItalic(true);
    painter.setFont(hintFont);
    painter.setPen(QColor(188, 188, 188));
    painter.drawText(m_layout.hintBand, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     DB::localizedString(lastUsedCollection(), DB::LocaleKey::HarmonizerDragDropMessage));
}

QVector<AccessibleChip> ColorSchemerPulvexWidget::describeChips() const
{
    QVector<AccessibleChip> chips;
    for (int i = 0; i < cells.size(); ++i) {
        AccessibleChip chip;
        chip.name = chipInWords(cells.at(i).second);
        chip.description = i < labels.size() ? labels.at(i).second : QString();
        chip.rect = cells.at(i).first;
        chips.append(chip);
    }
    return chips;
}

int ColorSchemerPulvexWidget::keyboardChip() const
{
    return cells.isEmpty() ? -1 : std::clamp(keyboardIndex, 0, int(cells.size()) - 1);
}

bool ColorSchemerPulvexWidget::keyboardCell(DB::ColorEntry &chip)
{
    loadCells();
    if (cells.isEmpty())
        return false;
    chip = cells.at(std::clamp(keyboardIndex, 0, int(cells.size()) - 1)).second;
    return true;
}

void ColorSchemerPulvexWidget::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        keyboardIndex = std::clamp(keyboardIndex + (event->key() == Qt::Key_Left ? -1 : 1), 0, 2);
        update();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Insert:
        emit chipCollectedInteractively();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ColorSchemerPulvexWidget::mousePressEvent(QMouseEvent *event)
{
    // Only a press of the left button alone can start a drag.
    dragArmed = event->buttons() == Qt::LeftButton;
    if (dragArmed)
        pressGlobalPos = event->globalPosition().toPoint();
}

void ColorSchemerPulvexWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    for (int i = 0; i < cells.size(); ++i) {
        if (event->button() == Qt::LeftButton && cells.at(i).first.contains(event->position().toPoint())) {
            keyboardIndex = i;
            update();
            emit chipDoubleClicked();
            return;
        }
    }
}

void ColorSchemerPulvexWidget::mouseReleaseEvent(QMouseEvent *)
{
    pressGlobalPos = QPoint(0, 0);
    dragArmed = false;
}

void ColorSchemerPulvexWidget::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(Qt::ArrowCursor);
    const QPoint point = event->position().toPoint();
    if (event->buttons() == Qt::LeftButton) {
        if (!dragArmed || cells.size() != 3
            || (event->globalPosition().toPoint() - pressGlobalPos).manhattanLength() <= QApplication::startDragDistance())
            return;
        for (const auto &[rect, entry] : cells) {
            if (rect.contains(point)) {
                startChipDrag(this, DB::FromColorSchemer, lastUsedCollection(), entry, Qt::CopyAction, Qt::CopyAction);
                return;
            }
        }
        return;
    }
    if (event->buttons() != Qt::NoButton)
        return;
    for (int i = 0; i < labels.size(); ++i) {
        if (!labels.at(i).first.contains(point))
            continue;
        const DB::LocaleKey key = i == 1 ? DB::LocaleKey::TiptextHarmonizerPaletteSchemeContrast
                                         : DB::LocaleKey::TiptextHarmonizerPaletteSchemeWideContrast;
        QString text = DB::localizedString(lastUsedCollection(), key);
        text.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
        QToolTip::showText(mapToGlobal(labels.at(i).first.topRight()),
                           QStringLiteral("<span style=\"font-size: 12px;\">%1</span>").arg(text), this);
        return;
    }
    for (const auto &[rect, entry] : cells) {
        if (rect.contains(point)) {
            QToolTip::showText(mapToGlobal(rect.topRight()), DB::colorTooltipText(lastUsedCollection(), entry.id, true), this);
            return;
        }
    }
    QToolTip::hideText();
}

} // namespace Vantor
