#include "ColorSchemerWidget.h"

#include "ChipDrag.h"
#include "ChipFrame.h"
#include "SchemeKinds.h"
#include "engine/colour/ColourValueText.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ColorTooltip.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/ThemeResources.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace Vantor {

namespace {

const QSize ButtonImageSize(44, 44);
const QSize MarkerSize(9, 9);
const QColor QuietText(188, 188, 188);
const QColor GridLine(64, 64, 64);

// A text of the current collection; the scheme collection's where the current one has
// none (a collection without schemes of its own need not carry their texts).
QString schemerText(const QUuid &current, const QUuid &schemeCollection, DB::LocaleKey key)
{
    const QString text = DB::localizedString(current, key);
    const bool missing = text.isEmpty() || text == DB::localeKeyText(key);
    return missing && !schemeCollection.isNull() ? DB::localizedString(schemeCollection, key) : text;
}

} // namespace

ColorSchemerWidget::ColorSchemerWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    selectedCollectionChanged(lastUsedCollection());
    setFont(DB::normalFont(2));

    void (ColorSchemerWidget::*const switchSlots[])() = {
        &ColorSchemerWidget::switchToScheme1, &ColorSchemerWidget::switchToScheme2, &ColorSchemerWidget::switchToScheme3,
        &ColorSchemerWidget::switchToScheme4, &ColorSchemerWidget::switchToScheme5, &ColorSchemerWidget::switchToScheme6,
        &ColorSchemerWidget::switchToScheme7, &ColorSchemerWidget::switchToScheme8, &ColorSchemerWidget::switchToScheme9};
    for (int n = 0; n < 9; ++n) {
        auto *action = new QAction(this);
        action->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_S),
                                         QKeyCombination(Qt::ControlModifier, Qt::Key(Qt::Key_1 + n))));
        addAction(action);
        connect(action, &QAction::triggered, this, switchSlots[n]);
    }
}

void ColorSchemerWidget::selectedCollectionChanged(QUuid collectionId)
{
    m_model.setUp(collectionId);
    const QUuid schemes = m_model.schemeCollection();
    normalImages.clear();
    selectedImages.clear();
    names.clear();
    tooltips.clear();
    markerNormal = DB::themeImage(DB::ThemeKey::ImageComplementaryNeutralMarkerNormal, MarkerSize);
    markerSelected = DB::themeImage(DB::ThemeKey::ImageComplementaryNeutralMarkerSelected, MarkerSize);
    auto load = [&](int kind) {
        SchemeKindLook look;
        if (!schemeKindLook(kind, look))
            return;
        normalImages.insert(kind, DB::themeImage(look.normalImage, ButtonImageSize));
        selectedImages.insert(kind, DB::themeImage(look.selectedImage, ButtonImageSize));
        names.insert(kind, schemerText(collectionId, schemes, look.name));
    };
    for (int kind : m_model.kinds()) {
        load(kind);
        if (kind == SchemeNeutral) {
            for (int form : {int(SchemeTonalNeutral), int(SchemeComplementaryNeutral), int(SchemeNaturalNeutral)}) {
                SchemeKindLook look;
                schemeKindLook(form, look);
                names.insert(form, schemerText(collectionId, schemes, look.name));
            }
        }
    }
    m_buttonSize = QSize();
    for (const QImage &image : normalImages.values() + selectedImages.values())
        m_buttonSize = m_buttonSize.expandedTo(image.size());
    layOut();
    update();
}

void ColorSchemerWidget::layOut()
{
    const QFontMetrics metrics(font());
    auto textSize = [&metrics](const QString &text) { return metrics.size(Qt::TextSingleLine, text); };
    const QVector<int> &kinds = m_model.kinds();
    QVector<QSize> labelTexts;
    for (int kind : kinds)
        labelTexts << textSize(names.value(kind));
    const int neutral = int(kinds.indexOf(SchemeNeutral));
    const QSize forms = textSize(names.value(SchemeTonalNeutral)).expandedTo(textSize(names.value(SchemeComplementaryNeutral)));
    m_layout = layoutColorSchemer(size(), m_buttonSize, labelTexts, neutral, forms, textSize(names.value(SchemeNaturalNeutral)),
                                  markerNormal.size());
}

void ColorSchemerWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

int ColorSchemerWidget::shownKind(int index) const
{
    const int kind = m_model.kinds().value(index);
    return effectiveSchemeKind(kind, schemeNeutralSubKind(lastUsedCollection()));
}

QRect ColorSchemerWidget::nameRect(int index) const
{
    const int shown = shownKind(index);
    if (m_model.kinds().value(index) == SchemeNeutral) {
        if (shown == SchemeTonalNeutral || shown == SchemeComplementaryNeutral)
            return m_layout.neutralFormLabel;
        if (shown == SchemeNaturalNeutral)
            return m_layout.naturalFormLabel;
    }
    return m_layout.labels.value(index);
}

int ColorSchemerWidget::buttonAt(const QPoint &point) const
{
    const QVector<int> &kinds = m_model.kinds();
    for (int i = 0; i < kinds.size() && i < m_layout.buttons.size(); ++i) {
        // Unknown words hold a place but show nothing that could be pressed.
        if (kinds.at(i) < SchemeHarmonic || kinds.at(i) > SchemeNaturalNeutral)
            continue;
        if (m_layout.shapes.at(i).contains(QPointF(point)) || nameRect(i).contains(point))
            return i;
    }
    return -1;
}

const SchemeCell *ColorSchemerWidget::cellAt(const QPoint &point) const
{
    for (const SchemeCell &cell : m_model.cells()) {
        if (cell.rect.contains(point))
            return &cell;
    }
    return nullptr;
}

void ColorSchemerWidget::react(const ColorSchemerModel::Choice &choice)
{
    if (choice.what == ColorSchemerModel::Choice::Kind)
        emit schemeKindChangedInteractively(SchemeKind(choice.value));
    else if (choice.what == ColorSchemerModel::Choice::NeutralSubKind)
        emit schemeNeutralSubKindChangedInteractively(SchemeKind(choice.value));
}

void ColorSchemerWidget::switchToScheme(int n)
{
    if (!isVisible())
        return;
    react(m_model.shortcut(n));
}

bool ColorSchemerWidget::keyboardCell(SchemeCell &cell) const
{
    const QVector<SchemeCell> &cells = m_model.cells();
    if (cells.isEmpty())
        return false;
    cell = cells.at(std::clamp(keyboardIndex, 0, int(cells.size()) - 1));
    return true;
}

QVector<AccessibleChip> ColorSchemerWidget::describeChips() const
{
    QVector<AccessibleChip> chips;
    const int storedKind = schemeKind(lastUsedCollection());
    const QVector<int> &kinds = m_model.kinds();
    for (int i = 0; i < kinds.size() && i < m_layout.buttons.size(); ++i) {
        AccessibleChip button;
        button.name = names.value(shownKind(i));
        button.description = tr("Scheme");
        button.rect = m_layout.buttons.at(i).united(nameRect(i));
        button.role = QAccessible::RadioButton;
        button.checkable = true;
        button.checked = kinds.at(i) == storedKind;
        chips.append(button);
    }
    const QVector<SchemeCell> &cells = m_model.cells();
    for (int i = 0; i < cells.size(); ++i) {
        const SchemeCell &cell = cells.at(i);
        AccessibleChip chip;
        DB::ColorEntry entry;
        chip.name = DB::loadColorById(cell.collection, cell.rowId, entry) == DB::StatusOk
            ? chipInWords(entry)
            : cell.colour.name(QColor::HexRgb).toUpper();
        chip.description = tr("Scheme chip %1 of %2").arg(i + 1).arg(cells.size());
        chip.rect = cell.rect;
        chips.append(chip);
    }
    return chips;
}

int ColorSchemerWidget::keyboardChip() const
{
    const int count = int(m_model.cells().size());
    if (count == 0)
        return -1;
    return int(std::min(m_model.kinds().size(), qsizetype(m_layout.buttons.size()))) + std::clamp(keyboardIndex, 0, count - 1);
}

void ColorSchemerWidget::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        // Up and Down walk the scheme's chips, Left and Right its buttons.
        const int count = int(m_model.cells().size());
        if (count > 0)
            keyboardIndex = std::clamp(keyboardIndex + (event->key() == Qt::Key_Up ? -1 : 1), 0, count - 1);
        update();
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Insert:
        emit chipCollectedInteractively();
        return;
    default:
        break;
    }
    const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
    const QVector<int> &kinds = m_model.kinds();
    if (step == 0 || kinds.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int stored = schemeKind(lastUsedCollection());
    int at = int(kinds.indexOf(stored));
    if (at < 0 && stored > SchemeNeutral)
        at = int(kinds.indexOf(SchemeNeutral)); // a kind of neutral is chosen on the neutral button
    const int next = std::clamp(at + step, 0, int(kinds.size()) - 1);
    if (next != at)
        switchToScheme(next + 1);
}

void ColorSchemerWidget::switchToScheme1() { switchToScheme(1); }
void ColorSchemerWidget::switchToScheme2() { switchToScheme(2); }
void ColorSchemerWidget::switchToScheme3() { switchToScheme(3); }
void ColorSchemerWidget::switchToScheme4() { switchToScheme(4); }
void ColorSchemerWidget::switchToScheme5() { switchToScheme(5); }
void ColorSchemerWidget::switchToScheme6() { switchToScheme(6); }
void ColorSchemerWidget::switchToScheme7() { switchToScheme(7); }
void ColorSchemerWidget::switchToScheme8() { switchToScheme(8); }
void ColorSchemerWidget::switchToScheme9() { switchToScheme(9); }

void ColorSchemerWidget::paintName(QPainter &painter, const QRect &rect, const QString &name, bool selected) const
{
    const int flags = Qt::AlignTop | Qt::AlignHCenter | Qt::TextSingleLine;
    if (!selected) {
        painter.setPen(QuietText);
        painter.drawText(rect, flags, name);
        return;
    }
    // A soft glow: faint copies around the name, then the name itself.
    painter.setPen(QColor(255, 255, 255, 12));
    for (int dx = -2; dx <= 2; ++dx) {
        painter.drawText(rect.translated(dx, -2), flags, name);
        painter.drawText(rect.translated(dx, 2), flags, name);
    }
    painter.setPen(QColor(255, 255, 255, 24));
    for (int dx : {-1, 1})
        for (int dy : {-1, 1})
            painter.drawText(rect.translated(dx, dy), flags, name);
    painter.setPen(Qt::white);
    painter.drawText(rect, flags, name);
}

void ColorSchemerWidget::paintEvent(QPaintEvent *)
{
    // A paint reads the stored state a few dozen times: through one settings store.
    const PersistentStateBatch stateReads;
    const PaintScope toldAfterwards(this, this);
    m_model.refresh(m_layout.schemeArea);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QUuid current = lastUsedCollection();
    const int storedKind = schemeKind(current);
    const QVector<int> &kinds = m_model.kinds();
    for (int i = 0; i < kinds.size() && i < m_layout.buttons.size(); ++i) {
        const int kind = kinds.at(i);
        const bool selected = kind == storedKind;
        const QImage image = (selected ? selectedImages : normalImages).value(kind);
        if (!image.isNull())
            painter.drawImage(m_layout.buttons.at(i), image);
        const QRect rect = nameRect(i);
        if (kind == SchemeNeutral) {
            // The marker sits in the room at the right end of the name's place.
            const QImage &marker = selected ? markerSelected : markerNormal;
            if (m_model.complementaryAvailable() && !marker.isNull())
                painter.drawImage(QPoint(rect.right() - marker.width() + 1, rect.top() + (rect.height() - marker.height()) / 2),
                                  marker);
        }
        paintName(painter, rect, names.value(shownKind(i)), selected);
    }

    const QVector<SchemeCell> &cells = m_model.cells();
    QRect all;
    for (const SchemeCell &cell : cells) {
        painter.fillRect(cell.rect, cell.colour);
        all = all.united(cell.rect);
    }
    painter.setPen(GridLine);
    for (const SchemeCell &cell : cells) {
        const QRect &r = cell.rect;
        painter.drawLine(r.right() + 1, r.top(), r.right() + 1, r.bottom() + 1);
        painter.drawLine(r.left(), r.bottom() + 1, r.right() + 1, r.bottom() + 1);
    }
    if (!all.isNull())
        paintChipFrame(painter, all.adjusted(-1, -1, 1, 1));
    SchemeCell onKeyboard;
    if (hasFocus() && keyboardCell(onKeyboard))
        paintKeyboardMark(painter, onKeyboard.rect);

    const QRect &area = m_layout.schemeArea;
    QFont hintFont = font();
    hintFont.setItalic(true);
    painter.setFont(hintFont);
    painter.setPen(QuietText);
    const QRect band(QPoint(area.left(), area.bottom() + 1), QPoint(area.right(), height() - 1));
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     schemerText(current, m_model.schemeCollection(), DB::LocaleKey::HarmonizerDragDropMessage));
}

void ColorSchemerWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::LeftButton)
        return;
    const int button = buttonAt(event->position().toPoint());
    if (button >= 0) {
        react(m_model.pressOn(m_model.kinds().at(button)));
        return;
    }
    pressGlobalPos = event->globalPosition().toPoint();
    dragArmed = true;
}

void ColorSchemerWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    const SchemeCell *cell = event->button() == Qt::LeftButton ? cellAt(event->position().toPoint()) : nullptr;
    if (!cell)
        return;
    keyboardIndex = int(cell - m_model.cells().constData());
    update();
    emit chipDoubleClicked();
}

void ColorSchemerWidget::mouseReleaseEvent(QMouseEvent *)
{
    pressGlobalPos = QPoint(0, 0);
    dragArmed = false;
}

QString ColorSchemerWidget::buttonTooltip(int index) const
{
    SchemeKindLook look;
    if (!schemeKindLook(shownKind(index), look))
        return QString();
    QString text = schemerText(lastUsedCollection(), m_model.schemeCollection(), look.tooltip);
    text.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
    return QStringLiteral("<span style=\"font-size: 12px;\">%1</span>").arg(text);
}

QString ColorSchemerWidget::cellTooltip(const SchemeCell &cell)
{
    auto known = tooltips.constFind(cell.rowId);
    if (known == tooltips.constEnd())
        known = tooltips.insert(cell.rowId, DB::colorTooltipText(cell.collection, cell.rowId, true));
    return *known;
}

void ColorSchemerWidget::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(Qt::ArrowCursor);
    const QPoint point = event->position().toPoint();
    if (event->buttons() == Qt::LeftButton) {
        if (!dragArmed || (event->globalPosition().toPoint() - pressGlobalPos).manhattanLength() <= QApplication::startDragDistance()
            || !m_layout.schemeArea.contains(point))
            return;
        const SchemeCell *cell = cellAt(point);
        DB::ColorEntry entry;
        if (cell && DB::loadColorById(cell->collection, cell->rowId, entry) == DB::StatusOk)
            startChipDrag(this, DB::FromColorSchemer, cell->collection, entry, Qt::CopyAction, Qt::CopyAction);
        return;
    }
    if (event->buttons() != Qt::NoButton)
        return;
    const int button = buttonAt(point);
    if (button >= 0) {
        setCursor(Qt::PointingHandCursor);
        QToolTip::showText(mapToGlobal(m_layout.buttons.at(button).bottomRight()), buttonTooltip(button), this);
    } else if (const SchemeCell *cell = cellAt(point)) {
        QToolTip::showText(mapToGlobal(cell->rect.topRight()), cellTooltip(*cell), this);
    } else {
        QToolTip::hideText();
    }
}

} // namespace Vantor
