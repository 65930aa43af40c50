#include "ProspectWidget.h"

#include "ChipDrag.h"
#include "ChipFrame.h"
#include "OrvaCustomStyle.h"
#include "WindowBackground.h"
#include "engine/colour/ColourValueText.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/TabContentQueries.h"
#include "engine/db/ThemeResources.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace Vantor {

namespace {
const QSize DefaultChipSize(64, 48);
const QSize HeaderImageSize(16, 16);
const int Margin = 10;
} // namespace

ProspectViewport::ProspectViewport(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ProspectViewport"));
    setMouseTracking(true);
}

QFont ProspectViewport::nameFont() const
{
    return DB::normalFont(2);
}

QFont ProspectViewport::captionFont() const
{
    return DB::italicFont(2);
}

const DB::ProspectGroup &ProspectViewport::group(qint64 id) const
{
    static const DB::ProspectGroup none;
    const auto found = groups.constFind(id);
    return found != groups.constEnd() ? *found : none;
}

void ProspectViewport::loadCollection(const QUuid &uuid)
{
    collection = uuid;
    groups.clear();
    groupOrder.clear();
    groupOpen.clear();
    QMap<qint64, DB::ProspectGroup> loaded;
    DB::loadProspectGroups(uuid, loaded);
    for (auto it = loaded.cbegin(); it != loaded.cend(); ++it) {
        groups.insert(it.key(), it.value());
        groupOrder << it.key();
        groupOpen.insert(it.key(), prospectGroupOpenState(uuid, it.key(), it->defaultOpen));
    }
    // By their order value; groups of equal order keep the order of their ids.
    std::stable_sort(groupOrder.begin(), groupOrder.end(),
                     [this](qint64 a, qint64 b) { return groups.value(a).order < groups.value(b).order; });
    openImage = DB::themeImage(DB::ThemeKey::ImageProspectGroupOpen, HeaderImageSize);
    closedImage = DB::themeImage(DB::ThemeKey::ImageProspectGroupClosed, HeaderImageSize);
}

void ProspectViewport::layOut()
{
    if (layingOut)
        return;
    layingOut = true;
    QSize chip = CollectionSettings::prospectChipSize(collection, DefaultChipSize);
    if (chip.width() <= 0 || chip.height() <= 0)
        chip = DefaultChipSize;
    const QFontMetrics names(nameFont());
    const QFontMetrics captions(captionFont());
    const int imageHeight = std::max(openImage.height(), closedImage.height());
    QVector<ProspectGroupInput> inputs;
    for (qint64 id : std::as_const(groupOrder)) {
        const DB::ProspectGroup &each = groups[id];
        ProspectGroupInput input;
        input.open = groupOpen.value(id);
        input.headerHeight = std::max(names.height(), imageHeight);
        for (const DB::ProspectEntry &entry : each.entries)
            input.entries << ProspectEntryInput{captions.size(Qt::TextSingleLine, entry.name1),
                                                captions.size(Qt::TextSingleLine, entry.name2)};
        inputs << input;
    }
    m_layout = layoutProspectGroups(width(), chip, inputs);
    resize(width(), m_layout.height);
    layingOut = false;
    update();
}

void ProspectViewport::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != width())
        layOut();
}

void ProspectViewport::paintEvent(QPaintEvent *)
{
    const PersistentStateBatch stateReads;
    const PaintScope toldAfterwards(this, this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrush(Qt::NoBrush);
    for (int g = 0; g < m_layout.groups.size() && g < groupOrder.size(); ++g) {
        const qint64 id = groupOrder.at(g);
        const ProspectGroupPlace &place = m_layout.groups.at(g);
        const QRect &area = place.area;
        const QImage &image = groupOpen.value(id) ? openImage : closedImage;
        painter.drawImage(area.topLeft(), image);
        painter.setFont(nameFont());
        painter.setPen(Qt::white);
        painter.drawText(QRect(area.left() + image.width() + 8, area.top(), area.width() - image.width() - 8, image.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, groups[id].name);
        const QList<DB::ProspectEntry> &entries = groups[id].entries;
        painter.setFont(captionFont());
        for (int e = 0; e < place.entries.size() && e < entries.size(); ++e) {
            const ProspectEntryPlace &entryPlace = place.entries.at(e);
            const QColor colour = entries.at(e).color;
            const QRect &chip = entryPlace.chip;
            painter.fillRect(chip, colour);
            painter.setPen(QColor(64, 64, 64));
            painter.drawRect(chip.adjusted(0, 0, -1, -1));
            QColor highlight = colour.lighter(150);
            highlight.setAlpha(32);
            painter.setPen(highlight);
            painter.drawRect(chip.adjusted(1, 1, -2, -2));
            painter.setPen(Qt::white);
            painter.drawText(entryPlace.firstCaption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, entries.at(e).name1);
            painter.drawText(entryPlace.secondCaption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, entries.at(e).name2);
        }
    }
    const QRect onKeyboard = keyboardMarkShown ? keyboardRect() : QRect();
    if (onKeyboard.isValid())
        paintKeyboardMark(painter, keyboardPlace.second < 0 ? onKeyboard.adjusted(-4, -2, 4, 2) : onKeyboard);
}

int ProspectViewport::groupAt(const QPoint &point) const
{
    for (int g = 0; g < m_layout.groups.size(); ++g) {
        if (m_layout.groups.at(g).area.contains(point))
            return g;
    }
    return -1;
}

QRect ProspectViewport::headerRect(int group) const
{
    const int side = std::max(openImage.height(), closedImage.height());
    const QRect &area = m_layout.groups.at(group).area;
    const int nameWidth = QFontMetrics(nameFont()).horizontalAdvance(groups.value(groupOrder.value(group)).name);
    const int headerHeight = std::max(side, QFontMetrics(nameFont()).height());
    const int width = std::min(area.width(), side + 8 + nameWidth);
    return QRect(area.topLeft(), QSize(std::max(width, side), headerHeight));
}

bool ProspectViewport::onToggle(int group, const QPoint &point) const
{
    return headerRect(group).contains(point);
}

void ProspectViewport::toggleGroup(int group)
{
    const qint64 id = groupOrder.at(group);
    const bool open = !groupOpen.value(id);
    groupOpen[id] = open;
    setProspectGroupOpenState(collection, id, open);
    layOut();
}

QVector<QPair<int, int>> ProspectViewport::keyboardPlaces() const
{
    QVector<QPair<int, int>> places;
    for (int g = 0; g < m_layout.groups.size() && g < groupOrder.size(); ++g) {
        places.append({g, -1});
        const int shown = std::min(int(m_layout.groups.at(g).entries.size()), int(group(groupOrder.at(g)).entries.size()));
        for (int e = 0; e < shown; ++e)
            places.append({g, e});
    }
    return places;
}

QVector<AccessibleChip> ProspectViewport::describeChips() const
{
    // In the keyboard's order: each group's header, then its chips when open.
    QVector<AccessibleChip> chips;
    for (const auto &[g, e] : keyboardPlaces()) {
        const DB::ProspectGroup &trend = group(groupOrder.at(g));
        AccessibleChip place;
        if (e < 0) {
            place.name = trend.name;
            const int count = int(trend.entries.size());
            place.description = count == 1 ? tr("Trend group, 1 colour") : tr("Trend group, %1 colours").arg(count);
            place.rect = headerRect(g);
            place.expandable = true;
            place.expanded = groupOpen.value(groupOrder.at(g));
        } else {
            const DB::ProspectEntry &entry = trend.entries.at(e);
            // Named as a copy names it: a colour that stands for a chip as that chip.
            DB::ColorEntry chip;
            place.name = entry.rowId > 0 && DB::loadColorById(collection, entry.rowId, chip) == DB::StatusOk
                ? chipInWords(chip)
                : colourInWords(QString(), entry.name1, entry.color, labFromColour(entry.color));
            place.description = tr("%1, colour %2 of %3").arg(trend.name).arg(e + 1).arg(trend.entries.size());
            place.rect = m_layout.groups.at(g).entries.at(e).chip;
        }
        chips.append(place);
    }
    return chips;
}

int ProspectViewport::keyboardChip() const
{
    return int(keyboardPlaces().indexOf(keyboardPlace));
}

void ProspectViewport::stepKeyboard(int step)
{
    const QVector<QPair<int, int>> places = keyboardPlaces();
    if (places.isEmpty())
        return;
    int at = int(places.indexOf(keyboardPlace));
    if (at < 0) // its group was closed, or the collection changed: from that group's header
        at = std::max(0, int(places.indexOf(QPair<int, int>(keyboardPlace.first, -1))));
    keyboardPlace = places.at(std::clamp(at + step, 0, int(places.size()) - 1));
    update();
}

bool ProspectViewport::toggleKeyboardGroup()
{
    stepKeyboard(0);
    if (keyboardPlace.second >= 0 || keyboardPlace.first >= groupOrder.size() || keyboardPlace.first >= m_layout.groups.size())
        return false;
    toggleGroup(keyboardPlace.first);
    return true;
}

bool ProspectViewport::keyboardEntry(DB::ProspectEntry &entry) const
{
    if (!keyboardPlaces().contains(keyboardPlace) || keyboardPlace.second < 0)
        return false;
    entry = group(groupOrder.at(keyboardPlace.first)).entries.at(keyboardPlace.second);
    return true;
}

QRect ProspectViewport::keyboardRect() const
{
    if (!keyboardPlaces().contains(keyboardPlace))
        return QRect();
    if (keyboardPlace.second < 0)
        return headerRect(keyboardPlace.first);
    return m_layout.groups.at(keyboardPlace.first).entries.at(keyboardPlace.second).chip;
}

void ProspectViewport::setKeyboardMarkShown(bool shown)
{
    keyboardMarkShown = shown;
    update();
}

int ProspectViewport::chipAt(int group, const QPoint &point) const
{
    const QVector<ProspectEntryPlace> &entries = m_layout.groups.at(group).entries;
    for (int e = 0; e < entries.size(); ++e) {
        if (entries.at(e).chip.contains(point))
            return e;
    }
    return -1;
}

void ProspectViewport::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressGlobalPos = event->globalPosition().toPoint();
    // Only a press on a chip arms a drag, never one left over from an earlier press.
    pressedColor = Qt::transparent;
    const QPoint point = event->position().toPoint();
    const int g = groupAt(point);
    if (g < 0)
        return;
    const qint64 id = groupOrder.at(g);
    if (onToggle(g, point)) {
        toggleGroup(g);
        return;
    }
    const int e = chipAt(g, point);
    if (e < 0 || e >= groups[id].entries.size())
        return;
    const DB::ProspectEntry &entry = groups[id].entries.at(e);
    pressedColor = entry.color;
    pressedName1 = entry.name1;
    pressedName2 = entry.name2;
    pressedLabel = groups[id].name;
    if (!entry.name1.isEmpty())
        pressedLabel += QLatin1Char('\n') + entry.name1;
    if (!entry.name2.isEmpty())
        pressedLabel += QLatin1Char('\n') + entry.name2;
}

void ProspectViewport::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int g = event->button() == Qt::LeftButton ? groupAt(point) : -1;
    const int e = g >= 0 ? chipAt(g, point) : -1;
    if (e < 0 || e >= group(groupOrder.value(g)).entries.size())
        return;
    keyboardPlace = {g, e};
    update();
    emit chipDoubleClicked();
}

void ProspectViewport::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const int g = groupAt(point);
    const bool onSomething = g >= 0 && (onToggle(g, point) || (groupOpen.value(groupOrder.at(g)) && chipAt(g, point) >= 0));
    setCursor(onSomething ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (event->buttons() == Qt::LeftButton && pressedColor != QColor(Qt::transparent)
        && (event->globalPosition().toPoint() - pressGlobalPos).manhattanLength() > QApplication::startDragDistance())
        startColourDrag(this, DB::FromProspectGroups, pressedColor, pressedName1, pressedName2, pressedLabel,
                        Qt::CopyAction, Qt::CopyAction);
}

ProspectWidget::ProspectWidget(QWidget *parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("ProspectWidget"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setViewportMargins(Margin, Margin, Margin, Margin);
    setFrameShape(QFrame::NoFrame);
    viewportWidget = new ProspectViewport;
    viewportWidget->setAccessibleName(tr("Trend groups"));
    setWidget(viewportWidget);
    // After setWidget, which switches the fill on: the groups paint no background of
    // their own, so that nothing scrolls with them but the groups themselves.
    viewportWidget->setAutoFillBackground(false);
    setAutoFillBackground(true);
    scrollBarStyle = new OrvaCustomStyle(this);
    verticalScrollBar()->setStyle(scrollBarStyle);
    viewportWidget->loadCollection(lastUsedCollection());
    connect(viewportWidget, &ProspectViewport::chipDoubleClicked, this, &ProspectWidget::chipDoubleClicked);
    setFont(DB::normalFont(2));
    viewportWidget->setFont(DB::normalFont(2));
}

void ProspectWidget::layOut()
{
    viewportWidget->setMinimumSize(maximumViewportSize());
    QPalette background = palette();
    // The scroll area's viewport, inside the margins, fills with this piece from its own
    // corner: the piece under the scroll area moved by the margins lines up with the
    // window around it.
    background.setBrush(QPalette::Window, windowBackground.under(this, this, QPoint(Margin, Margin)));
    setPalette(background);
    viewportWidget->layOut();
}

void ProspectWidget::setWindowBackground(const WindowBackground &background)
{
    windowBackground = background;
    layOut();
}

void ProspectWidget::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    layOut();
}

void ProspectWidget::keyPressEvent(QKeyEvent *event)
{
    // The arrows walk headers and chips; Space or Return on a header opens or closes its
    // group, Return or Insert on a chip puts it into My Palette.
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        viewportWidget->stepKeyboard(event->key() == Qt::Key_Left || event->key() == Qt::Key_Up ? -1 : 1);
        break;
    case Qt::Key_Space:
        viewportWidget->toggleKeyboardGroup();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Insert:
        if (!viewportWidget->toggleKeyboardGroup())
            emit chipCollectedInteractively();
        break;
    default:
        QScrollArea::keyPressEvent(event);
        return;
    }
    const QRect shown = viewportWidget->keyboardRect();
    if (shown.isValid())
        ensureVisible(shown.center().x(), shown.center().y(), shown.width() / 2 + Margin, shown.height() / 2 + Margin);
}

void ProspectWidget::focusInEvent(QFocusEvent *event)
{
    QScrollArea::focusInEvent(event);
    viewportWidget->setKeyboardMarkShown(true);
}

void ProspectWidget::focusOutEvent(QFocusEvent *event)
{
    QScrollArea::focusOutEvent(event);
    viewportWidget->setKeyboardMarkShown(false);
}

void ProspectWidget::selectedCollectionChanged(QUuid collectionId)
{
    viewportWidget->loadCollection(collectionId);
    viewportWidget->layOut();
}

} // namespace Vantor
