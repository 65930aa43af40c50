#pragma once

#include "AccessibleChips.h"
#include "ColorSchemerLayout.h"
#include "ColorSchemerModel.h"
#include "engine/db/SharedTypes.h"

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QUuid>
#include <QWidget>

namespace Vantor {

// The colour-scheme tab: a row of round scheme buttons with their names above the chips
// that the collection's designers stored as the chosen scheme of the current colour or
// card. Choices are reported by signal; the main widget stores them.
class ColorSchemerWidget : public QWidget, public AccessibleChipPanel
{
    Q_OBJECT
public:
    explicit ColorSchemerWidget(QWidget *parent = nullptr);

    const ColorSchemerModel &model() const { return m_model; }
    const ColorSchemerLayout &currentLayout() const { return m_layout; }
    // The chips of the scheme on show, as of the last paint.
    const QVector<SchemeCell> &paintedCells() const { return m_model.cells(); }
    QSize buttonSize() const { return m_buttonSize; }
    // The chip the keyboard is on (Up and Down move it); false when the scheme has none.
    bool keyboardCell(SchemeCell &cell) const;
    // The scheme buttons come first among the chips told to assistive technology.
    int keyboardChip() const override;

signals:
    void schemeKindChangedInteractively(Vantor::SchemeKind scheme);
    void schemeNeutralSubKindChangedInteractively(Vantor::SchemeKind scheme);
    // Return or Insert on the keyboard's chip: it is to go into My Palette.
    void chipCollectedInteractively();
    // A double click on a chip, which the keyboard is then on.
    void chipDoubleClicked();

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void switchToScheme1();
    void switchToScheme2();
    void switchToScheme3();
    void switchToScheme4();
    void switchToScheme5();
    void switchToScheme6();
    void switchToScheme7();
    void switchToScheme8();
    void switchToScheme9();

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
    void switchToScheme(int n);
    void react(const ColorSchemerModel::Choice &choice);
    // The kind shown by the button at `index`: the neutral button shows its form.
    int shownKind(int index) const;
    // Where the name of the button at `index` is drawn.
    QRect nameRect(int index) const;
    // The button whose round part or name lies under the point; -1 for none.
    int buttonAt(const QPoint &point) const;
    const SchemeCell *cellAt(const QPoint &point) const;
    QString buttonTooltip(int index) const;
    QString cellTooltip(const SchemeCell &cell);
    void paintName(QPainter &painter, const QRect &rect, const QString &name, bool selected) const;

    ColorSchemerModel m_model;
    QSize m_buttonSize;
    QHash<int, QImage> normalImages;
    QHash<int, QImage> selectedImages;
    QHash<int, QString> names;
    QImage markerNormal;
    QImage markerSelected;
    ColorSchemerLayout m_layout;
    QHash<qint64, QString> tooltips; // of the cells' colours, by row id, built when first shown
    QPoint pressGlobalPos;
    bool dragArmed = false;
    int keyboardIndex = 0; // into the scheme's cells, kept within them when they change
};

} // namespace Vantor
