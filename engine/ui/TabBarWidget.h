#pragma once

#include "engine/db/SharedTypes.h"
#include "engine/widgets/AccessibleChips.h"

#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <QUuid>
#include <QVector>
#include <QWidget>

namespace Vantor {

// The strip of text tabs to the right of the collection selector. It shows which tab
// page is stored and reports the user's choice; the main widget switches the page.
class TabBarWidget : public QWidget, public AccessibleChipPanel
{
    Q_OBJECT
public:
    explicit TabBarWidget(QWidget *parent = nullptr);

    // The collection's tab pages in its order, those it offers only.
    const QVector<TabBarPage> &visiblePageList() const { return visiblePages; }
    // The hit area of a page from the last paint (empty before).
    QRect tabRect(TabBarPage page) const { return tabs.value(page).first; }
    QString caption(TabBarPage page) const { return tabs.value(page).second; }

    // The pages of `order` that the set of available pages offers, in order.
    static QVector<TabBarPage> pagesOffered(const QVector<int> &order, int availablePages);

    // The tabs as page tabs: the stored page's tab is the keyboard's.
    int keyboardChip() const override;
    QAccessible::Role accessiblePanelRole() const override { return QAccessible::PageTabList; }

signals:
    void tabPageSelected(Vantor::TabBarPage newPage);

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected slots:
    void switchToTab1();
    void switchToTab2();
    void switchToTab3();
    void switchToTab4();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QVector<AccessibleChip> describeChips() const override;
    void switchToTab(int n);

    QImage barImage;
    QHash<TabBarPage, std::pair<QRect, QString>> tabs;
    QVector<TabBarPage> visiblePages;
};

} // namespace Vantor
