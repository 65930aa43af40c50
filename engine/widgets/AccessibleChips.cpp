#include "AccessibleChips.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QRegion>
#include <QWidget>

namespace Vantor {

namespace {

const AccessibleChipPanel *chipPanelOf(const QWidget *widget)
{
    return dynamic_cast<const AccessibleChipPanel *>(widget);
}

// A chip of a panel: no object of its own; everything is read from the panel when asked,
// so that a chip that is no longer there is found invalid instead of telling old news.
class ChipAccessible : public QAccessibleInterface
{
public:
    ChipAccessible(QWidget *panel, int chip)
        : panel(panel)
        , chip(chip)
    {
    }

    bool isValid() const override
    {
        const AccessibleChipPanel *chips = panel ? chipPanelOf(panel) : nullptr;
        return chips && chip < chips->accessibleChips().size();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return panel ? panel->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return panel ? QAccessible::queryAccessibleInterface(panel) : nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        switch (t) {
        case QAccessible::Name:
            return described().name;
        case QAccessible::Description:
            return described().description;
        default:
            return QString();
        }
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect r = described().rect;
        return QRect(panel->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return isValid() ? described().role : QAccessible::NoRole; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const AccessibleChip &c = described();
        s.focusable = panel->focusPolicy() != Qt::NoFocus;
        s.focused = chipPanelOf(panel)->keyboardIsHere(panel) && chipPanelOf(panel)->keyboardChip() == chip;
        s.selectable = c.selectable;
        s.selected = c.selected;
        s.checkable = c.checkable;
        s.checked = c.checked;
        s.expandable = c.expandable;
        s.expanded = c.expanded;
        s.collapsed = c.expandable && !c.expanded;
        const bool shown = panel->isVisible() && !panel->visibleRegion().intersected(c.rect).isEmpty();
        s.invisible = !panel->isVisible();
        s.offscreen = !shown;
        return s;
    }

private:
    const AccessibleChip &described() const { return chipPanelOf(panel)->accessibleChips().at(chip); }

    QPointer<QWidget> panel;
    int chip;
};

// The panel: its child widgets as Qt tells them, then its chips.
class ChipPanelAccessible : public QAccessibleWidget
{
public:
    explicit ChipPanelAccessible(QWidget *panel)
        : QAccessibleWidget(panel, chipPanelOf(panel)->accessiblePanelRole())
    {
    }
    ~ChipPanelAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(chipIds))
            QAccessible::deleteAccessibleInterface(id);
    }

    int widgetChildCount() const { return QAccessibleWidget::childCount(); }
    int childCount() const override { return widgetChildCount() + int(chips().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const int widgets = widgetChildCount();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        const int chip = index - widgets;
        if (chip >= chips().size())
            return nullptr;
        if (const QAccessible::Id id = chipIds.value(chip))
            return QAccessible::accessibleInterface(id);
        auto *made = new ChipAccessible(widget(), chip);
        chipIds.insert(chip, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = chipIds.cbegin(); it != chipIds.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return widgetChildCount() + it.key();
        }
        return QAccessibleWidget::indexOfChild(child);
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint point = widget()->mapFromGlobal(QPoint(x, y));
        const QVector<AccessibleChip> &all = chips();
        for (int i = 0; i < all.size(); ++i) {
            if (all.at(i).rect.contains(point))
                return child(widgetChildCount() + i);
        }
        return QAccessibleWidget::childAt(x, y);
    }

    QAccessibleInterface *focusChild() const override
    {
        const int chip = chipPanelOf(widget())->keyboardChip();
        if (chipPanelOf(widget())->keyboardIsHere(widget()) && chip >= 0 && chip < chips().size())
            return child(widgetChildCount() + chip);
        return QAccessibleWidget::focusChild();
    }

private:
    const QVector<AccessibleChip> &chips() const { return chipPanelOf(widget())->accessibleChips(); }

    mutable QHash<int, QAccessible::Id> chipIds;
};

QAccessibleInterface *chipPanelFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    return widget && chipPanelOf(widget) ? new ChipPanelAccessible(widget) : nullptr;
}

} // namespace

AccessibleChipPanel::AccessibleChipPanel()
{
    static const bool installed = [] {
        QAccessible::installFactory(chipPanelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

AccessibleChipPanel::~AccessibleChipPanel() = default;

bool AccessibleChipPanel::keyboardIsHere(const QWidget *panel) const
{
    return panel->hasFocus();
}

const QVector<AccessibleChip> &AccessibleChipPanel::accessibleChips() const
{
    if (stale) {
        described = describeChips();
        stale = false;
    }
    return described;
}

int accessibleChildOfChip(QWidget *panel, int chip)
{
    auto *iface = dynamic_cast<ChipPanelAccessible *>(QAccessible::queryAccessibleInterface(panel));
    return iface ? iface->widgetChildCount() + chip : chip;
}

void AccessibleChipPanel::chipsPainted(QWidget *panel)
{
    stale = true;
    // Nobody listens unless assistive technology is running: nothing to tell then.
    if (!QAccessible::isActive())
        return;
    if (!keyboardIsHere(panel)) {
        announcedChip = -1;
        return;
    }
    const int chip = keyboardChip();
    if (chip == announcedChip || chip < 0)
        return;
    announcedChip = chip;
    QAccessibleEvent focus(panel, QAccessible::Focus);
    focus.setChild(accessibleChildOfChip(panel, chip));
    QAccessible::updateAccessibility(&focus);
}

void AccessibleChipPanel::chipSelectionChanged(QWidget *panel)
{
    stale = true;
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent selection(panel, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&selection);
}

} // namespace Vantor
