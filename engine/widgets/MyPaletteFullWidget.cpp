#include "MyPaletteFullWidget.h"

#include "engine/widgets/ChipDrag.h"
#include "engine/palette/ColourBoard.h"
#include "engine/palette/MyPaletteModel.h"

#include "engine/db/CollectionSettings.h"
#include "engine/widgets/Captions.h"

#include "engine/PersistentState.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/ThemeResources.h"
#include "engine/widgets/ImageButton.h"
#include "engine/widgets/OrvaCustomStyle.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>

#include <algorithm>

namespace Vantor {

MyPaletteFullWidget::MyPaletteFullWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setFont(DB::normalFont(3));
    barImage = DB::themeImage(DB::ThemeKey::ImageWidgetBarBackground, QSize(30, 30));

    const QImage backImage = DB::themeImage(DB::ThemeKey::ImageMypalettefullBack, QSize(16, 16));
    back = new ImageButton(backImage, backImage, this);
    back->setToolTip(QStringLiteral("Back to the picker (Esc)"));
    back->setFixedSize(backImage.size() + QSize(2, 2));

    sliderStyle = new OrvaCustomStyle(this);
    sliderStyle->grooveImage = DB::themeImage(DB::ThemeKey::ImageMypalettefullSliderBackground, QSize(21, 7));
    sliderStyle->grooveMask = DB::themeImage(DB::ThemeKey::ImageMypalettefullSliderBackgroundMask, QSize());
    sliderStyle->handleImage = DB::themeImage(DB::ThemeKey::ImageMypalettefullSliderThumb, QSize(21, 7));
    slider = new QSlider(Qt::Horizontal, this);
    slider->setToolTip(QStringLiteral("Background from black to white"));
    slider->setStyle(sliderStyle);
    slider->setRange(0, 255);
    slider->setInvertedAppearance(true);
    slider->setPageStep(10);
    const int stored = myPaletteFullBackgroundColor();
    slider->setValue(stored < 0 || stored > 255 ? 176 : stored);

    // How the chips look with a colour-vision deficiency; back to normal with the first.
    visionBox = new QComboBox(this);
    for (ColourVision each : AllColourVisions)
        visionBox->addItem(colourVisionName(each), int(each));
    visionBox->setToolTip(QStringLiteral("Show the chips as people with a colour-vision deficiency see them (simulated)"));
    visionBox->setFocusPolicy(Qt::StrongFocus);
    visionBox->setStyleSheet(QStringLiteral("QComboBox { color: #e4e4e4; background: rgba(0, 0, 0, 70); border: 1px solid #808080;"
                                            " border-radius: 3px; padding: 0 6px; }"
                                            "QComboBox QAbstractItemView { color: #e4e4e4; background: #3a3a3a;"
                                            " selection-background-color: #606060; }"));
    connect(visionBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        vision = ColourVision(visionBox->itemData(index).toInt());
        update();
    });
    // The room and surface of the chip shown alone, for the colour board.
    const QString fieldStyle = QStringLiteral("color: #e4e4e4; background: rgba(0, 0, 0, 70); border: 1px solid #808080;"
                                              " border-radius: 3px; padding: 0 6px;");
    roomEdit = new QLineEdit(this);
    roomEdit->setAccessibleName(tr("Room"));
    refuseChipDrops(roomEdit);
    roomEdit->setPlaceholderText(QStringLiteral("Room, e.g. Living room"));
    roomEdit->setToolTip(QStringLiteral("The room this colour is for: the colour board checks the surfaces that meet"));
    roomEdit->setStyleSheet(QStringLiteral("QLineEdit { %1 }").arg(fieldStyle));
    surfaceBox = new QComboBox(this);
    surfaceBox->addItem(QStringLiteral("No surface"), QString());
    for (const QString &surface : boardSurfaceNames())
        surfaceBox->addItem(surface, surface);
    surfaceBox->setToolTip(QStringLiteral("The surface of the room this colour is for"));
    surfaceBox->setAccessibleName(tr("Surface"));
    back->setAccessibleName(tr("Back"));
    slider->setAccessibleName(tr("Background"));
    visionBox->setAccessibleName(tr("Vision"));
    setAccessibleName(tr("My Palette, full view"));
    surfaceBox->setFocusPolicy(Qt::StrongFocus);
    surfaceBox->setStyleSheet(visionBox->styleSheet());
    roomEdit->hide();
    surfaceBox->hide();
    connect(roomEdit, &QLineEdit::editingFinished, this, &MyPaletteFullWidget::storeRoom);
    connect(surfaceBox, &QComboBox::activated, this, &MyPaletteFullWidget::storeRoom);
    connect(back, &QAbstractButton::clicked, this, &MyPaletteFullWidget::backClicked);
    connect(slider, &QSlider::valueChanged, this, &MyPaletteFullWidget::backgroundColorSliderValueChanged);
}

void MyPaletteFullWidget::selectedCollectionChanged(QUuid)
{
    update();
}

void MyPaletteFullWidget::backClicked()
{
    zoomed = Qt::transparent;
    showRoomOf(QPoint(-1, -1));
    emit backButtonClicked();
}

void MyPaletteFullWidget::showRoomOf(const QPoint &cell)
{
    zoomedCell = cell;
    const bool shown = palette && MyPaletteModel::isInGrid(cell) && palette->cell(cell).isOccupied();
    roomEdit->setVisible(shown);
    surfaceBox->setVisible(shown);
    if (!shown)
        return;
    roomEdit->setText(palette->cell(cell).room);
    const int surface = surfaceBox->findData(palette->cell(cell).surface);
    surfaceBox->setCurrentIndex(surface < 0 ? 0 : surface);
}

void MyPaletteFullWidget::storeRoom()
{
    if (palette && MyPaletteModel::isInGrid(zoomedCell) && palette->cell(zoomedCell).isOccupied())
        palette->setCellRoom(zoomedCell, roomEdit->text(), surfaceBox->currentData().toString());
}

void MyPaletteFullWidget::backgroundColorSliderValueChanged(int value)
{
    setMyPaletteFullBackgroundColor(value);
    update();
}

void MyPaletteFullWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int barHeight = barImage.height();
    barRect = QRect(QPoint(0, 0), QPoint(width() - 1, barHeight - 1));
    const int m = (barHeight - back->height()) / 2;
    back->move(m, m);
    const int h = slider->sizeHint().height();
    const int g = (barHeight - h) / 2;
    slider->setGeometry(width() - 1 - g - 256 + 1, g, 256, h);
    const QSize choice(std::max(visionBox->sizeHint().width(), 120), std::min(visionBox->sizeHint().height(), barHeight - 4));
    visionBox->setGeometry(slider->x() - 16 - choice.width(), (barHeight - choice.height()) / 2, choice.width(), choice.height());
    const int surfaceWidth = std::max(surfaceBox->sizeHint().width(), 110);
    surfaceBox->setGeometry(visionBox->x() - 16 - surfaceWidth, visionBox->y(), surfaceWidth, choice.height());
    const int roomLeft = back->geometry().right() + 16;
    roomEdit->setGeometry(roomLeft, visionBox->y(), std::max(80, surfaceBox->x() - 8 - roomLeft), choice.height());
    layout = layoutMyPaletteFull(size(), barHeight);
}

bool MyPaletteFullWidget::storedChip(int row, int column, DB::ColorEntry &chip) const
{
    const DB::ItemIndex index = myPaletteEntry(row, column);
    return index.rowId > 0 && DB::loadColorById(index.collection, index.rowId, chip) == DB::StatusOk;
}

QColor MyPaletteFullWidget::storedColour(int row, int column) const
{
    DB::ColorEntry entry;
    return storedChip(row, column, entry) ? QColor(entry.red, entry.green, entry.blue) : QColor();
}

void MyPaletteFullWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int v = slider->value();
    painter.fillRect(rect(), QColor(v, v, v));
    if (event->rect().intersects(barRect) && !barImage.isNull()) {
        for (int x = 0; x < width(); x += barImage.width())
            painter.drawImage(x, 0, barImage);
    }
    const QRect area = layout.paletteArea;
    if (zoomed != Qt::transparent) {
        painter.fillRect(area, simulateColourVision(zoomed, vision));
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(176, 176, 176, 24));
    painter.drawRoundedRect(QRect(QPoint(area.left() - 2, area.top() - 2), QPoint(area.right() + 3, area.bottom() + 3)), 3, 3);
    painter.setPen(QColor(176, 176, 176, 64));
    painter.drawRoundedRect(QRect(QPoint(area.left() - 1, area.top() - 1), QPoint(area.right() + 2, area.bottom() + 2)), 2, 2);
    painter.setPen(QColor(176, 176, 176, 192));
    painter.drawRect(QRect(area.topLeft(), area.bottomRight() + QPoint(1, 1)));

    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont codeFont = DB::boldFont(2);
    const QFont nameFont = DB::normalFont(2);
    const QFontMetrics codeMetrics(codeFont);
    const QFontMetrics nameMetrics(nameFont);
    // Cells large enough for two lines and a margin say what they hold.
    const bool captioned = layout.cellHeight >= 3 * (codeMetrics.height() + nameMetrics.height()) / 2 + 8
        && layout.cellWidth >= 60;
    const QVector<int> &nameOrder = DB::rowNameDisplayOrder();
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 6; ++column) {
            DB::ColorEntry chip;
            const bool occupied = storedChip(row, column, chip);
            const QColor colour = occupied ? simulateColourVision(chip.color(), vision) : QColor(Qt::white);
            const QRect cell(QPoint(area.left() + column * layout.cellWidth, area.top() + row * layout.cellHeight),
                             QPoint(area.left() + (column + 1) * layout.cellWidth - 1, area.top() + (row + 1) * layout.cellHeight - 1));
            painter.setPen(QColor(176, 176, 176));
            painter.setBrush(colour);
            painter.drawRect(cell);
            if (!occupied || !captioned)
                continue;
            // Dark text on light colours, light text on dark ones.
            painter.setPen(qGray(colour.rgb()) > 140 ? QColor(40, 40, 40) : QColor(245, 245, 245));
            const QRect text = cell.adjusted(6, 0, -6, -5);
            const QString name = nameOrder.isEmpty() ? QString() : chip.name(nameOrder.constFirst());
            painter.setFont(nameFont);
            painter.drawText(text, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, elideCaption(name, nameMetrics, text.width()));
            painter.setFont(codeFont);
            painter.drawText(text.adjusted(0, 0, 0, -nameMetrics.height()), Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                             elideCaption(chip.code, codeMetrics, text.width()));
            // The room and surface given to it, where the cell has room for a third line.
            const PaletteCell *given = palette ? &palette->cell(QPoint(column, row)) : nullptr;
            if (given && !given->room.isEmpty() && layout.cellHeight >= 2 * (codeMetrics.height() + nameMetrics.height()) + 8) {
                painter.setFont(nameFont);
                const QString where = given->surface.isEmpty() ? given->room : given->room + QStringLiteral(" \u00B7 ") + given->surface;
                painter.drawText(text.adjusted(0, 0, 0, -nameMetrics.height() - codeMetrics.height()),
                                 Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, elideCaption(where, nameMetrics, text.width()));
            }
        }
    }
}

void MyPaletteFullWidget::mousePressEvent(QMouseEvent *event)
{
    if (zoomed != Qt::transparent) {
        zoomed = Qt::transparent;
        showRoomOf(QPoint(-1, -1));
        update();
        return;
    }
    const QPoint point = event->position().toPoint();
    if (!layout.paletteArea.contains(point) || layout.cellWidth <= 0 || layout.cellHeight <= 0)
        return;
    const int column = (point.x() - layout.paletteArea.left()) / layout.cellWidth;
    const int row = (point.y() - layout.paletteArea.top()) / layout.cellHeight;
    const QColor colour = storedColour(row, column);
    if (colour.isValid()) {
        zoomed = colour;
        showRoomOf(QPoint(column, row));
        update();
    }
}

} // namespace Vantor
