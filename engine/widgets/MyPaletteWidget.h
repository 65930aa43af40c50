#pragma once

#include "AccessibleChips.h"
#include "MyPaletteLayout.h"
#include "engine/palette/ColourBoard.h"
#include "engine/palette/PaletteImport.h"
#include "engine/palette/PictureReads.h"
#include "engine/db/SharedTypes.h"
#include "engine/widgets/WindowBackground.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QUuid>
#include <QVector>
#include <QWidget>

#include <memory>
#include <optional>

class QLineEdit;
class QMimeData;
class QLabel;
class QMessageBox;
class QThread;
class QTimer;
class QUndoStack;

namespace Vantor {

namespace DB {
class ColorEntry;
}
class ImageButton;
class MyPaletteModel;

// The My Palette panel over its model: a bar of buttons, the 6 × 4 grid of gathered
// chips and a description line. Chips come in by drag and drop from the card roller and
// the schemers and go out by drag; the mouse selects cells.
class MyPaletteWidget : public QWidget, public AccessibleChipPanel
{
    Q_OBJECT
public:
    explicit MyPaletteWidget(QWidget *parent = nullptr);
    ~MyPaletteWidget() override;

    // Puts the chip into the selected cell where that is the one selected and empty,
    // else into the first free cell, as a drop there would (undoable). A full palette
    // takes nothing and says so; returns whether the chip went in.
    bool collectChip(const QUuid &collection, const DB::ColorEntry &chip);

    MyPaletteModel &model() const { return *m_model; }
    QLineEdit *descriptionEditor() const { return m_descriptionEditor; }
    const MyPaletteLayout &currentLayout() const { return layout; }
    // The colours of the selected cells that hold a chip.
    QVector<QColor> selectedChipColours() const;

    // For hosts that drive the panel through Qt's meta-object system (scripted runs):
    // where the cell at (row, column) is drawn, empty outside the grid; and loading a
    // palette file as the load button does.
    Q_INVOKABLE QRect cellGeometry(int row, int column) const;
    Q_INVOKABLE void loadPalette(const QString &path);
    // What the next colour board saved has beside the chips: the colour-vision page, and
    // its paper (by default that of the locale).
    void setBoardOptions(bool vision, std::optional<BoardPaper> paper)
    {
        boardVision = vision;
        boardPaper = paper;
    }
    // The main window's background and where the panel stands on it: the description
    // editor shows the background's piece under it.
    void setWindowBackground(const WindowBackground &background);
    // A picture is read on a worker thread, the window painting meanwhile; a later load
    // replaces one still being read. Whether one is being read; and waiting for it and
    // taking its palette now (for runs that go on at once, and tests).
    bool isReadingPicture() const { return !pictureReads.isEmpty(); }
    void finishReadingPicture();
    QPoint dropTargetPosition() const { return dropTarget; }
    // The cell the arrows move from (the last selected), in grid order; -1 for none.
    int keyboardChip() const override;

    ImageButton *zoomButton() const { return zoom; }
    ImageButton *eraserButton() const { return eraser; }
    ImageButton *trashButton() const { return trash; }
    ImageButton *gridButton() const { return grid; }
    QMessageBox *clearQuestion() const { return question; }
    // The note the bar shows for a few seconds after a button did something (or could
    // not); hidden when there is none.
    QLabel *statusLabel() const { return statusLine; }
    // The palette's changes in this picker's life, to undo and redo.
    QUndoStack *undoStack() const { return m_undoStack; }
    void showStatus(const QString &text);

signals:
    void zoomMyPaletteClicked();
    void myPaletteChanged();
    void myPaletteSelectionChanged();
    // A double click on a cell that holds a chip (the cell is then the one selected).
    void cellDoubleClicked(QPoint position);
    // The palette was written to the file (a failed save says why in the palette's bar).
    void paletteSaved(Vantor::PaletteFileFormat fileFormat, QString path);
    // A load from the file gave the palette its chips.
    void paletteLoadedFrom(QString path);
    // A file gave nothing; the palette is as it was. `reason` is what the bar shows.
    void paletteLoadFailed(QString path, QString reason);
    // The palette came to hold no chip, or its first one.
    void emptyChanged(bool empty);

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void savePaletteTo(Vantor::PaletteFileFormat fileFormat, QString path);
    void loadPaletteFrom(Vantor::PaletteFileFormat expectedFileFormat, QString path);
    void zoomClicked();
    void eraseClicked();
    void clearClicked();
    void gridClicked(bool checked);
    void clearPaletteQuestionFinished(int result);
    void paletteDescriptionEditFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QVector<AccessibleChip> describeChips() const override;
    // The model changed its chips or its selection: the buttons follow before anyone
    // is told, so that a receiver reads the new button states.
    void onModelChanged();
    void onModelSelectionChanged();
    QPoint cellAt(const QPoint &point) const; // (-1, -1) between or outside the cells
    QRect cellRect(const QPoint &position) const;
    void updateButtons();
    void paletteLoaded(const QString &path);
    void setButtonTooltips(const QUuid &collection);
    // Fills the palette from what a file gave, or says why it gave nothing.
    void takeImport(const QString &path, const PaletteImport &imported);
    void startReadingPicture(ImportFile opened);
    void layOut();
    void cancelPictureReads();
    void pictureRead(const QString &path, const PictureColours &read);
    void repaintTarget(const QPoint &oldTarget, const QPoint &newTarget);
    static bool acceptableDrag(const QMimeData *mime);

    MyPaletteModel *m_model = nullptr;
    QUndoStack *m_undoStack = nullptr;
    QImage barImage;
    QRect barRect;
    ImageButton *zoom = nullptr;
    ImageButton *eraser = nullptr;
    ImageButton *trash = nullptr;
    ImageButton *grid = nullptr;
    QLineEdit *m_descriptionEditor = nullptr;
    QMessageBox *question = nullptr;
    QLabel *statusLine = nullptr;
    std::optional<bool> reportedEmpty; // as emptyChanged() last told it
    QTimer *statusTimer = nullptr;
    MyPaletteLayout layout;
    QPoint dropTarget{-1, -1};
    QPoint dragStart;
    // The picture being read, if any: a later load cancels it, and so does the panel's
    // end, which never waits for it.
    QList<std::shared_ptr<PictureReadTask>> pictureReads;
    WindowBackground windowBackground;
    bool boardVision = false;
    std::optional<BoardPaper> boardPaper;
};

} // namespace Vantor
