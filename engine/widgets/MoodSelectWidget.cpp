#include "MoodSelectWidget.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ThemeResources.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace Vantor {

namespace {

struct MoodLook
{
    DB::ThemeKey normal;
    DB::ThemeKey selected;
    DB::LocaleKey tooltip;
};

// In mood order (1 to 6).
const MoodLook Looks[6] = {
    {DB::ThemeKey::ImageMoodFreshNormal, DB::ThemeKey::ImageMoodFreshSelected, DB::LocaleKey::TiptextMoodFreshButton},
    {DB::ThemeKey::ImageMoodWarmNormal, DB::ThemeKey::ImageMoodWarmSelected, DB::LocaleKey::TiptextMoodWarmButton},
    {DB::ThemeKey::ImageMoodCalmNormal, DB::ThemeKey::ImageMoodCalmSelected, DB::LocaleKey::TiptextMoodCalmButton},
    {DB::ThemeKey::ImageMoodRichNormal, DB::ThemeKey::ImageMoodRichSelected, DB::LocaleKey::TiptextMoodRichButton},
    {DB::ThemeKey::ImageMoodOffwhiteNormal, DB::ThemeKey::ImageMoodOffwhiteSelected, DB::LocaleKey::TiptextMoodOffwhiteButton},
    {DB::ThemeKey::ImageMoodNeutralNormal, DB::ThemeKey::ImageMoodNeutralSelected, DB::LocaleKey::TiptextMoodNeutralButton},
};

const QColor TextColour(188, 188, 188);
const QColor SeparatorColour(159, 159, 159);
const QColor FrameColour(64, 64, 64);

QSize textSize(const QFontMetrics &metrics, const QString &text)
{
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

} // namespace

MoodSelectWidget::MoodSelectWidget(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFont(DB::normalFont(2));
    loadImages(lastUsedCollection());
    layOut();
}

void MoodSelectWidget::loadImages(const QUuid &collection)
{
    Q_UNUSED(collection);
    for (int i = 0; i < 6; ++i) {
        normalImages[i] = DB::themeImage(Looks[i].normal, QSize(23, 21));
        selectedImages[i] = DB::themeImage(Looks[i].selected, QSize(23, 21));
    }
    tickImage = DB::themeImage(DB::ThemeKey::ImageTickNormal, QSize(12, 11));
    disabledImage = DB::themeImage(DB::ThemeKey::ImageMoodDisabled, QSize(11, 11));
}

bool MoodSelectWidget::isPulvex() const
{
    return CollectionSettings::cardType(lastUsedCollection()) == CollectionSettings::PulvexCard;
}

bool MoodSelectWidget::isNormal() const
{
    return CollectionSettings::cardType(lastUsedCollection()) == CollectionSettings::NormalCard;
}

bool MoodSelectWidget::moodAvailable(int mood) const
{
    const QUuid collection = lastUsedCollection();
    return !exteriorColors(collection) || CollectionSettings::hasPageWithExteriorMood(collection, mood);
}

void MoodSelectWidget::layOut()
{
    const QUuid collection = lastUsedCollection();
    const QFontMetrics metrics(font());
    MoodSelectMetrics m;
    for (int i = 0; i < 6; ++i)
        m.buttonSizes[i] = normalImages[i].size();
    m.tickSize = tickImage.size();
    m.allMoodsText = textSize(metrics, DB::localizedString(collection, DB::LocaleKey::MoodFilterAllMoods));
    m.exteriorText = textSize(metrics, DB::localizedString(collection, DB::LocaleKey::MoodFilterExteriorColors));
    m.mtoText = textSize(metrics, DB::localizedString(collection, DB::LocaleKey::DoNotShowMto));
    m.hasExteriorFilter = CollectionSettings::hasExteriorFilter(collection);

    // A card type other than normal and pulvex has nothing to filter: no size at all.
    if (isNormal())
        layout = layoutNormalMoodSelect(m);
    else if (isPulvex())
        layout = layoutPulvexMoodSelect(m);
    else
        layout = MoodSelectLayout{};
    setFixedSize(layout.size);
    lastGeometry = QRect(pos(), layout.size);
}

void MoodSelectWidget::selectedCollectionChanged(QUuid collectionId)
{
    lastGeometry = QRect();
    loadImages(collectionId);
    layOut();
}

void MoodSelectWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (geometry() != lastGeometry)
        layOut();
}

void MoodSelectWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (geometry() != lastGeometry)
        layOut();
}

void MoodSelectWidget::paintCheckLine(QPainter &painter, const QRect &rect, const QString &text, bool ticked) const
{
    painter.setPen(TextColour);
    const QRect textRect(QPoint(rect.left() + tickImage.width() + 3, rect.top()), rect.bottomRight());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text);
    if (ticked)
        painter.drawImage(rect.left(), rect.top() + (rect.height() - tickImage.height()) / 2, tickImage);
}

void MoodSelectWidget::paintEvent(QPaintEvent *)
{
    const PersistentStateBatch stateReads;
    const PaintScope toldAfterwards(this, this);
    const QUuid collection = lastUsedCollection();
    QPainter painter(this);
    if (isPulvex()) {
        paintCheckLine(painter, layout.mtoRect, DB::localizedString(collection, DB::LocaleKey::DoNotShowMto), !showMto(collection));
        return;
    }
    if (!isNormal())
        return;

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(FrameColour.lighter(140));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRect(QPoint(0, 0), QPoint(width() - 2, height() - 2)), 7, 7);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(FrameColour);
    painter.drawRoundedRect(rect(), 7, 7);
    painter.setRenderHint(QPainter::Antialiasing, false);

    const int stored = moodFilter(collection);
    for (int i = 0; i < 6; ++i) {
        const QRect &button = layout.moodButtons[i];
        if (!moodAvailable(i + 1)) {
            painter.drawImage(button.topLeft(), normalImages[i]);
            painter.drawImage(button.right() - disabledImage.width(), button.bottom() - disabledImage.height(), disabledImage);
        } else {
            painter.drawImage(button.topLeft(), stored == i + 1 ? selectedImages[i] : normalImages[i]);
        }
    }
    paintCheckLine(painter, layout.allMoodsRect, DB::localizedString(collection, DB::LocaleKey::MoodFilterAllMoods),
                   stored == MoodAll);
    QPen separator(SeparatorColour);
    separator.setCosmetic(true);
    if (CollectionSettings::hasExteriorFilter(collection)) {
        paintCheckLine(painter, layout.exteriorRect, DB::localizedString(collection, DB::LocaleKey::MoodFilterExteriorColors),
                       exteriorColors(collection));
        painter.setPen(separator);
        painter.drawLine(layout.separatorLines[2]);
    }
    painter.setPen(separator);
    painter.drawLine(layout.separatorLines[0]);
    painter.drawLine(layout.separatorLines[1]);
}

void MoodSelectWidget::mousePressEvent(QMouseEvent *event)
{
    const QUuid collection = lastUsedCollection();
    const QPoint point = event->position().toPoint();
    if (isPulvex()) {
        if (layout.mtoRect.contains(point))
            emit showMtoChangedInteractively(!showMto(collection));
        return;
    }
    if (!isNormal())
        return;

    int mood = moodFilter(collection);
    bool exterior = exteriorColors(collection);
    for (int i = 0; i < 6; ++i) {
        if (layout.moodButtons[i].contains(point) && (!exterior || CollectionSettings::hasPageWithExteriorMood(collection, i + 1)))
            mood = i + 1;
    }
    if (layout.allMoodsRect.contains(point))
        mood = MoodAll;
    else if (CollectionSettings::hasExteriorFilter(collection) && layout.exteriorRect.contains(point))
        exterior = !exterior;
    choose(mood, exterior);
}

void MoodSelectWidget::choose(int mood, bool exterior)
{
    const QUuid collection = lastUsedCollection();
    if (exterior && mood != MoodAll && !CollectionSettings::hasPageWithExteriorMood(collection, mood))
        mood = MoodAll;
    if (mood != moodFilter(collection))
        emit moodFilterChangedInteractively(Mood(mood));
    if (exterior != exteriorColors(collection))
        emit exteriorFilterChangedInteractively(exterior);
}

QVector<AccessibleChip> MoodSelectWidget::describeChips() const
{
    QVector<AccessibleChip> lines;
    const QUuid collection = lastUsedCollection();
    auto line = [&](const QString &name, const QRect &rect, bool ticked, QAccessible::Role role) {
        AccessibleChip chip;
        chip.name = name;
        chip.rect = rect;
        chip.role = role;
        chip.checkable = true;
        chip.checked = ticked;
        lines.append(chip);
    };
    if (isPulvex()) {
        line(DB::localizedString(collection, DB::LocaleKey::DoNotShowMto), layout.mtoRect, !showMto(collection),
             QAccessible::CheckBox);
        return lines;
    }
    if (!isNormal())
        return lines;
    const int stored = moodFilter(collection);
    line(DB::localizedString(collection, DB::LocaleKey::MoodFilterAllMoods), layout.allMoodsRect, stored == MoodAll,
         QAccessible::RadioButton);
    for (int i = 0; i < 6; ++i) {
        line(DB::localizedString(collection, Looks[i].tooltip), layout.moodButtons[i], stored == i + 1,
             QAccessible::RadioButton);
        if (!moodAvailable(i + 1))
            lines.last().description = tr("Not in this collection");
    }
    if (CollectionSettings::hasExteriorFilter(collection))
        line(DB::localizedString(collection, DB::LocaleKey::MoodFilterExteriorColors), layout.exteriorRect,
             exteriorColors(collection), QAccessible::CheckBox);
    return lines;
}

int MoodSelectWidget::keyboardChip() const
{
    if (!isNormal())
        return isPulvex() ? 0 : -1;
    const int stored = moodFilter(lastUsedCollection());
    return stored >= 1 && stored <= 6 ? stored : 0;
}

void MoodSelectWidget::keyPressEvent(QKeyEvent *event)
{
    // The arrows step through all moods and each mood in turn; Space switches the
    // exterior filter (or, on a powder deck, the made-to-order chips).
    const QUuid collection = lastUsedCollection();
    const int key = event->key();
    if (isPulvex() && key == Qt::Key_Space) {
        emit showMtoChangedInteractively(!showMto(collection));
        return;
    }
    if (!isNormal()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool exterior = exteriorColors(collection);
    if (key == Qt::Key_Space) {
        if (CollectionSettings::hasExteriorFilter(collection))
            choose(moodFilter(collection), !exterior);
        return;
    }
    const int step = key == Qt::Key_Left || key == Qt::Key_Up ? -1 : key == Qt::Key_Right || key == Qt::Key_Down ? 1 : 0;
    if (step == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The ring: all moods, then moods 1 to 6, skipping those the exterior filter hides.
    const int order[] = {MoodAll, MoodFresh, MoodWarm, MoodCalm, MoodRich, MoodOffWhite, MoodNeutral};
    int at = 0;
    while (at < 7 && order[at] != moodFilter(collection))
        ++at;
    for (int tried = 1; tried < 7; ++tried) {
        const int mood = order[((at % 7) + step * tried + 7 * 7) % 7];
        if (mood == MoodAll || !exterior || CollectionSettings::hasPageWithExteriorMood(collection, mood)) {
            choose(mood, exterior);
            return;
        }
    }
}

bool MoodSelectWidget::overClickable(const QPoint &point) const
{
    if (isPulvex())
        return layout.mtoRect.contains(point);
    if (!isNormal())
        return false;
    for (const QRect &button : layout.moodButtons) {
        if (button.contains(point))
            return true;
    }
    return layout.allMoodsRect.contains(point)
        || (CollectionSettings::hasExteriorFilter(lastUsedCollection()) && layout.exteriorRect.contains(point));
}

void MoodSelectWidget::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(overClickable(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool MoodSelectWidget::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QPoint point = help->pos();
    setCursor(overClickable(point) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (isNormal()) {
        for (int i = 0; i < 6; ++i) {
            if (!layout.moodButtons[i].contains(point))
                continue;
            const QString text = DB::localizedString(lastUsedCollection(), Looks[i].tooltip);
            if (!text.isEmpty()) {
                QToolTip::showText(mapToGlobal(layout.moodButtons[i].topRight()),
                                   QStringLiteral("<span style=\"font-size: 12px;\">%1</span>").arg(text), this);
                return true;
            }
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

} // namespace Vantor
