#pragma once

#include "engine/colour/ColourVision.h"
#include "MyPaletteLayout.h"
#include "engine/db/ColorEntry.h"

#include <QColor>
#include <QImage>
#include <QUuid>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QSlider;

namespace Vantor {

class ImageButton;
class MyPaletteModel;
class OrvaCustomStyle;

// My Palette enlarged over the whole window, on a grey background whose lightness the
// slider sets; a press on a chip fills the palette area with that one colour. The chips
// can be shown as people with a colour-vision deficiency see them.
class MyPaletteFullWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MyPaletteFullWidget(QWidget *parent = nullptr);

    QSlider *backgroundSlider() const { return slider; }
    QComboBox *visionChoice() const { return visionBox; }
    ColourVision shownVision() const { return vision; }
    ImageButton *backButton() const { return back; }
    QColor zoomedColour() const { return zoomed; }
    const MyPaletteFullLayout &currentLayout() const { return layout; }
    // The palette whose chips can be given a room and a surface (for the colour board):
    // the fields in the bar stand for the chip shown alone.
    void setPaletteModel(MyPaletteModel *model) { palette = model; }
    QLineEdit *roomField() const { return roomEdit; }
    QComboBox *surfaceChoice() const { return surfaceBox; }

signals:
    void backButtonClicked();

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void backClicked();
    void backgroundColorSliderValueChanged(int value);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The colour stored for a grid position, read from the database; invalid when none.
    QColor storedColour(int row, int column) const;
    bool storedChip(int row, int column, DB::ColorEntry &chip) const;

    QImage barImage;
    QRect barRect;
    ImageButton *back = nullptr;
    QSlider *slider = nullptr;
    OrvaCustomStyle *sliderStyle = nullptr;
    QComboBox *visionBox = nullptr;
    ColourVision vision = ColourVision::Normal;
    QColor zoomed = Qt::transparent;
    QPoint zoomedCell{-1, -1};
    MyPaletteFullLayout layout;
    MyPaletteModel *palette = nullptr;
    QLineEdit *roomEdit = nullptr;
    QComboBox *surfaceBox = nullptr;
    void showRoomOf(const QPoint &cell);
    void storeRoom();
};

} // namespace Vantor
