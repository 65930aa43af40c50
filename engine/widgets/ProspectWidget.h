#pragma once

#include "AccessibleChips.h"
#include "ProspectLayout.h"
#include "WindowBackground.h"
#include "engine/db/ProspectGroup.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QScrollArea>
#include <QString>
#include <QUuid>

namespace Vantor {

class OrvaCustomStyle;

// What the trend-groups tab lays out and paints: the collection's trend groups, each a
// header that opens and closes, with a grid of captioned chips below when open.
class ProspectViewport : public QWidget, public AccessibleChipPanel
{
    Q_OBJECT
public:
    explicit ProspectViewport(QWidget *parent = nullptr);

    // Loads the groups of the collection and of the file's shared collection with their
    // stored open states.
    void loadCollection(const QUuid &collection);
    void layOut();

    const QList<qint64> &orderedGroups() const { return groupOrder; }
    const DB::ProspectGroup &group(qint64 id) const;
    bool isOpen(qint64 id) const { return groupOpen.value(id); }
    // The group's area and chips as laid out (in the order of orderedGroups()).
    const ProspectLayout &currentLayout() const { return m_layout; }
    QColor pressedColour() const { return pressedColor; }
    QString pressedText() const { return pressedLabel; }

    // The keyboard walks the group headers and the chips of open groups in reading
    // order. The chip it is on, if it is on one; the header or chip it is on, as laid out.
    bool keyboardEntry(DB::ProspectEntry &entry) const;
    QRect keyboardRect() const;
    // Moves the keyboard by `step` places; opens or closes the group whose header it is on.
    void stepKeyboard(int step);
    bool toggleKeyboardGroup();
    void setKeyboardMarkShown(bool shown);
    int keyboardChip() const override;
    bool keyboardIsHere(const QWidget *) const override { return keyboardMarkShown; }

signals:
    // A double click on a chip, which the keyboard is then on.
    void chipDoubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QVector<AccessibleChip> describeChips() const override;
    QFont nameFont() const;
    QFont captionFont() const;
    // The group under the point (an index into groupOrder), -1 for none.
    int groupAt(const QPoint &point) const;
    // The open/close square and the group's name beside it: what a press opens or closes.
    QRect headerRect(int group) const;
    bool onToggle(int group, const QPoint &point) const;
    int chipAt(int group, const QPoint &point) const;
    void toggleGroup(int group);
    // The group and entry (-1 for the header) of each place the keyboard can be on.
    QVector<QPair<int, int>> keyboardPlaces() const;

    QUuid collection;
    QHash<qint64, DB::ProspectGroup> groups;
    QList<qint64> groupOrder;
    QImage openImage;
    QImage closedImage;
    QHash<qint64, bool> groupOpen;
    ProspectLayout m_layout;
    QColor pressedColor = Qt::transparent;
    QString pressedLabel;
    QString pressedName1;
    QString pressedName2;
    QPoint pressGlobalPos;
    bool layingOut = false;
    QPair<int, int> keyboardPlace{0, -1};
    bool keyboardMarkShown = false;
};

// The trend-groups tab: a scroll area with a slim scroll bar around the groups.
class ProspectWidget : public QScrollArea
{
    Q_OBJECT
public:
    explicit ProspectWidget(QWidget *parent = nullptr);

    ProspectViewport *prospectViewport() const { return viewportWidget; }
    // Lays the tab out for its own rectangle (when it is shown).
    void layOut();
    // The main window's background and where the tab stands on it.
    void setWindowBackground(const WindowBackground &background);

signals:
    // Return or Insert on the keyboard's chip: it is to go into My Palette.
    void chipCollectedInteractively();
    // A double click on a chip, which the keyboard is then on.
    void chipDoubleClicked();

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    OrvaCustomStyle *scrollBarStyle = nullptr;
    ProspectViewport *viewportWidget = nullptr;
    WindowBackground windowBackground;
};

} // namespace Vantor
