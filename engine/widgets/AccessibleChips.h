#pragma once

#include <QAccessible>
#include <QRect>
#include <QString>
#include <QVector>

class QWidget;

namespace Vantor {

// One thing a panel paints instead of holding a widget for it (a chip, a cell, a tab, a
// mood), as assistive technology is told of it.
struct AccessibleChip
{
    QString name;        // the chip in words, as the clipboard gives it
    QString description; // where it is, e.g. "Card Ochre 1, chip 3 of 7"
    QRect rect;          // in the panel's coordinates, as last painted
    QAccessible::Role role = QAccessible::ListItem;
    bool selectable = false;
    bool selected = false;
    bool checkable = false;
    bool checked = false;
    bool expandable = false;
    bool expanded = false;
};

// What a panel that paints its chips tells screen readers: its chips as accessible
// children of the panel (after its child widgets), their names, places and states, and
// which one the keyboard is on. The panel calls chipsPainted() at the end of each paint,
// so that what is told is what is shown, and the keyboard's chip is announced when it
// moves; and chipSelectionChanged() when its selection changes.
class AccessibleChipPanel
{
public:
    AccessibleChipPanel();
    virtual ~AccessibleChipPanel();

    // The chips as last painted, in reading order.
    const QVector<AccessibleChip> &accessibleChips() const;
    // The chip the keyboard is on (its keyboard mark), -1 for none.
    virtual int keyboardChip() const { return -1; }
    // Whether the keyboard is in the panel: it has the focus (a viewport says when its
    // scroll area has it).
    virtual bool keyboardIsHere(const QWidget *panel) const;
    virtual QAccessible::Role accessiblePanelRole() const { return QAccessible::List; }

protected:
    virtual QVector<AccessibleChip> describeChips() const = 0;
    void chipsPainted(QWidget *panel);
    void chipSelectionChanged(QWidget *panel);

    // Calls chipsPainted() when a paint ends, whichever way it returns.
    class PaintScope
    {
    public:
        PaintScope(AccessibleChipPanel *chips, QWidget *panel)
            : chips(chips)
            , panel(panel)
        {
        }
        ~PaintScope() { chips->chipsPainted(panel); }
        PaintScope(const PaintScope &) = delete;
        PaintScope &operator=(const PaintScope &) = delete;

    private:
        AccessibleChipPanel *chips;
        QWidget *panel;
    };

private:
    mutable QVector<AccessibleChip> described;
    mutable bool stale = true;
    int announcedChip = -1;
};

// The index among the panel's accessible children of its chip `chip` (its child widgets
// come first).
int accessibleChildOfChip(QWidget *panel, int chip);

} // namespace Vantor
