#pragma once

#include "AccessibleChips.h"
#include "CardRollerLayout.h"
#include "engine/db/ColorPage.h"
#include "engine/db/SharedTypes.h"

#include <QPixmap>
#include <QPoint>
#include <QUuid>
#include <QVector>
#include <QWidget>

#include <array>

class QMimeData;

namespace Vantor {

// The fan-deck view: the current card between its two neighbours, each a column of
// chips under the card's name. Everything it shows is read from the stored state and
// the database at every paint; user actions are reported by signal.
class CardRollerWidget : public QWidget, public AccessibleChipPanel
{
    Q_OBJECT
public:
    explicit CardRollerWidget(QWidget *parent = nullptr);

    const CardRollerLayout &currentLayout() const { return layout; }
    // Chip rectangles of a card slot (0 left, 1 centre, 2 right) from the last paint.
    const QVector<QRect> &paintedChips(int slot) const { return chipRectsOfSlot[slot]; }
    // The current chip of the middle card among the painted chips, -1 when not shown.
    int keyboardChip() const override;

signals:
    void roll(Vantor::Direction dir);
    void pageChangedInteractively(int newPage);
    void rowChangedInteractively(int newRow);
    void collectionSelectedInteractively(QUuid collectionId);
    // Return or Insert on the current chip: it goes into My Palette.
    void chipCollectedInteractively();
    // A double click on the current chip of the middle card.
    void chipDoubleClicked();

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QVector<AccessibleChip> describeChips() const override;
    bool isHiddenMto(const DB::ColorEntry &row) const;
    static bool acceptableDrag(const QMimeData *mime);
    // Where a dropped record leads: the collection, card and row; false when nowhere.
    bool resolveDrop(const QMimeData *mime, QUuid &collection, DB::ColorPage &card, DB::ColorEntry &row) const;

    QPixmap mtoPixmap;
    const QVector<int> paintOrder{0, 1, 2};
    std::array<DB::ColorPage, 3> pages;
    CardRollerLayout layout;
    bool laidOut = false;
    std::array<QVector<QRect>, 3> chipRectsOfSlot;
    std::array<QString, 3> cardLabels;
    QPoint pressGlobalPos;
};

} // namespace Vantor
