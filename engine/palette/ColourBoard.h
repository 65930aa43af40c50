#pragma once

// The colour board for a client: My Palette's chips on a PDF page with their codes,
// names, collection, #RRGGBB, CIELab and light reflectance value (LRV), the LRV
// differences of neighbouring chips checked against low-vision guidance, and when asked
// the chips as people with colour-vision deficiencies see them.

#include "engine/colour/ColourDifference.h"
#include "PaletteImport.h"

#include <QByteArray>
#include <QColor>
#include <QLocale>
#include <QPoint>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Vantor {

class MyPaletteModel;

struct BoardChip
{
    QPoint cell; // in My Palette's grid
    QString code;
    QStringList names; // in the collection's display order, the empty ones left out
    QString collectionName;
    QColor rgb;
    LabColour lab; // as every export gives it
    double lrv = 0.0;
};

// Two chips side by side (the second right of the first) or one above the other.
struct BoardPair
{
    int first = 0; // indices into the board's chips
    int second = 0;
    bool below = false;
    double difference = 0.0; // of their LRVs, never negative
    bool underGuidance() const;
};

struct ColourBoard
{
    QString title;
    QVector<BoardChip> chips; // in My Palette's grid order
    QVector<BoardPair> pairs; // by the first chip, then right before below
};

// The occupied cells of the palette whose chips can be read, in grid order.
QVector<PlacedChip> placedChipsOf(const MyPaletteModel &palette);
ColourBoard colourBoardOf(const QVector<PlacedChip> &cells, const QString &title);

enum class BoardPaper { A4, Letter };
// Letter where the locale measures in the US system, else A4.
BoardPaper boardPaperFor(const QLocale &locale);

// Where the chips go on the first page (points, landscape): one place per chip in the
// palette's own grid, rows from the first to the last one used, each place a swatch (at
// most square) over its caption of `captionHeight`.
struct BoardSwatchPlace
{
    QRectF swatch;
    QRectF caption;
};
QVector<BoardSwatchPlace> layoutBoardSwatches(const QRectF &area, const QVector<QPoint> &cells, double captionHeight);

// The board as a PDF document: the chips; the LRV differences of neighbours; with
// `vision`, the chips for normal vision, protanopia, deuteranopia and tritanopia.
QByteArray colourBoardPdf(const ColourBoard &board, BoardPaper paper, bool vision);

} // namespace Vantor
