#pragma once

#include "AccessibleChips.h"
#include "ColorSchemerLayout.h"
#include "engine/db/ColorEntry.h"

#include <QPair>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVector>
#include <QWidget>

namespace Vantor {

// The scheme tab of pulvex collections: for the current colour its contrast partner in
// the middle and its two wide-contrast partners beside it, each under a grey label.
class ColorSchemerPulvexWidget : public QWidget, public AccessibleChipPanel
{
    Q_OBJECT
public:
    explicit ColorSchemerPulvexWidget(QWidget *parent = nullptr);

    const PulvexSchemerLayout &currentLayout() const { return m_layout; }
    // The label texts, left to right.
    QStringList labelTexts() const;
    // The chips as of the last paint: three or none.
    const QVector<QPair<QRect, DB::ColorEntry>> &paintedCells() const { return cells; }
    // The chip the keyboard is on (Left and Right move it); false when there are none.
    bool keyboardCell(DB::ColorEntry &chip);
    int keyboardChip() const override;

signals:
    // Return or Insert on the keyboard's chip: it is to go into My Palette.
    void chipCollectedInteractively();
    // A double click on a chip, which the keyboard is then on.
    void chipDoubleClicked();

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QVector<AccessibleChip> describeChips() const override;
    void layOut();
    // Reads the three partners of the current colour; no cells unless there are three.
    void loadCells();

    QVector<QPair<QRect, QString>> labels;
    QVector<QPair<QRect, DB::ColorEntry>> cells;
    QString wideContrastText;
    QString contrastText;
    PulvexSchemerLayout m_layout;
    QPoint pressGlobalPos;
    bool dragArmed = false;
    int keyboardIndex = 1; // the contrast partner in the middle
};

} // namespace Vantor
