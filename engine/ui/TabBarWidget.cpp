#include "TabBarWidget.h"

#include "engine/widgets/Captions.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ThemeResources.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace Vantor {

TabBarWidget::TabBarWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    selectedCollectionChanged(lastUsedCollection());
    setFont(DB::normalFont(3));

    void (TabBarWidget::*const switchSlots[])() = {&TabBarWidget::switchToTab1, &TabBarWidget::switchToTab2,
                                             &TabBarWidget::switchToTab3, &TabBarWidget::switchToTab4};
    const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
    for (int n = 0; n < 4; ++n) {
        auto *action = new QAction(this);
        action->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_T),
                                         QKeyCombination(Qt::ControlModifier, digits[n])));
        addAction(action);
        connect(action, &QAction::triggered, this, switchSlots[n]);
    }
}

QVector<TabBarPage> TabBarWidget::pagesOffered(const QVector<int> &order, int availablePages)
{
    const QVector<int> list = order.isEmpty() ? QVector<int>{PageOfColorSchemes, PageOfProducts, PageOfProspect, PageOfTextures}
                                              : order;
    QVector<TabBarPage> pages;
    for (int page : list) {
        const bool offered = page == 0 ? availablePages == 0 : (page & availablePages) == page;
        if (offered)
            pages << TabBarPage(page);
    }
    return pages;
}

void TabBarWidget::selectedCollectionChanged(QUuid collectionId)
{
    barImage = DB::themeImage(DB::ThemeKey::ImageWidgetBarBackground, QSize(30, 30));
    const std::pair<TabBarPage, DB::LocaleKey> captions[] = {
        {PageOfTextures, DB::LocaleKey::TabBarTexturesCaption},
        {PageOfProspect, DB::LocaleKey::TabBarProspectCaption},
        {PageOfProducts, DB::LocaleKey::TabBarProductsCaption},
        {PageOfColorSchemes, DB::LocaleKey::TabBarColorSchemesCaption},
    };
    for (const auto &[page, key] : captions)
        tabs.insert(page, {QRect(), DB::localizedString(collectionId, key)});
    visiblePages = pagesOffered(CollectionSettings::tabBarPageOrder(collectionId),
                                CollectionSettings::availableTabBarPages(collectionId));
}

void TabBarWidget::switchToTab(int n)
{
    if (!isVisible() || visiblePages.size() < n)
        return;
    const TabBarPage page = visiblePages.at(n - 1);
    if (page != tabPageIndex(lastUsedCollection()))
        emit tabPageSelected(page);
}

void TabBarWidget::keyPressEvent(QKeyEvent *event)
{
    // The arrows show the tab beside the current one; Space the next, round again.
    const int current = int(visiblePages.indexOf(TabBarPage(tabPageIndex(lastUsedCollection())))) + 1;
    switch (event->key()) {
    case Qt::Key_Left: switchToTab(std::max(1, current - 1)); return;
    case Qt::Key_Right: switchToTab(std::min(int(visiblePages.size()), current + 1)); return;
    case Qt::Key_Space:
        if (!visiblePages.isEmpty())
            switchToTab(current % int(visiblePages.size()) + 1);
        return;
    default: QWidget::keyPressEvent(event);
    }
}

void TabBarWidget::switchToTab1() { switchToTab(1); }
void TabBarWidget::switchToTab2() { switchToTab(2); }
void TabBarWidget::switchToTab3() { switchToTab(3); }
void TabBarWidget::switchToTab4() { switchToTab(4); }

void TabBarWidget::paintEvent(QPaintEvent *)
{
    const PersistentStateBatch stateReads;
    const PaintScope toldAfterwards(this, this);
    QPainter painter(this);
    if (!barImage.isNull()) {
        for (int x = 0; x < width(); x += barImage.width())
            painter.drawImage(x, 0, barImage);
    }
    const QColor lineColour(188, 188, 188);
    painter.setPen(lineColour);
    painter.drawLine(0, 0, 0, height() - 1);

    const int current = tabPageIndex(lastUsedCollection());
    const QFontMetrics metrics(font());
    int left = 1;
    for (TabBarPage page : visiblePages) {
        auto &tab = tabs[page];
        const QString caption = elideCaption(tab.second, metrics, WidestShownCaption);
        const int textWidth = metrics.horizontalAdvance(caption);
        const QRect rect(QPoint(left, 0), QPoint(left + textWidth + 31, height() - 1));
        QColor captionColour(128, 128, 128);
        if (page == current) {
            painter.fillRect(rect, QColor(255, 255, 255, 178));
            captionColour = QColor(55, 55, 55);
        }
        painter.setPen(captionColour);
        painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, caption);
        painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, caption);
        painter.setPen(lineColour);
        painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        tab.first = rect;
        left = rect.right() + 1;
    }
}

QVector<AccessibleChip> TabBarWidget::describeChips() const
{
    const int current = tabPageIndex(lastUsedCollection());
    QVector<AccessibleChip> pageTabs;
    for (TabBarPage page : visiblePages) {
        AccessibleChip tab;
        tab.name = caption(page);
        tab.rect = tabRect(page);
        tab.role = QAccessible::PageTab;
        tab.selectable = true;
        tab.selected = page == current;
        pageTabs.append(tab);
    }
    return pageTabs;
}

int TabBarWidget::keyboardChip() const
{
    const int current = tabPageIndex(lastUsedCollection());
    for (int i = 0; i < visiblePages.size(); ++i) {
        if (visiblePages.at(i) == current)
            return i;
    }
    return -1;
}

void TabBarWidget::mousePressEvent(QMouseEvent *event)
{
    for (TabBarPage page : visiblePages) {
        if (tabs.value(page).first.contains(event->position().toPoint())) {
            emit tabPageSelected(page);
            return;
        }
    }
}

void TabBarWidget::mouseMoveEvent(QMouseEvent *event)
{
    for (TabBarPage page : visiblePages) {
        if (tabs.value(page).first.contains(event->position().toPoint())) {
            setCursor(Qt::PointingHandCursor);
            return;
        }
    }
    setCursor(Qt::ArrowCursor);
}

} // namespace Vantor
