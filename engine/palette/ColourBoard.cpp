#include "ColourBoard.h"

#include "engine/colour/ColourVision.h"
#include "MyPaletteModel.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/StatusCodes.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace Vantor {

namespace {

constexpr double Margin = 36.0; // half an inch, in points
const QColor Ink(34, 34, 34);
const QColor QuietInk(110, 110, 110);
const QColor Warning(200, 70, 20);

QString lrvText(double lrv)
{
    return QString::number(lrv, 'f', 1);
}

QString chipLabel(const BoardChip &chip)
{
    return chip.names.isEmpty() ? chip.code : chip.code + QLatin1Char(' ') + chip.names.first();
}

QFont boardFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("Open Sans"));
    // No ligatures: a reader searching the board for "difference" finds it.
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A small warning triangle before a line's text.
void paintMark(QPainter &painter, const QPointF &baselineStart, double size)
{
    QPainterPath triangle;
    triangle.moveTo(baselineStart.x(), baselineStart.y());
    triangle.lineTo(baselineStart.x() + size, baselineStart.y());
    triangle.lineTo(baselineStart.x() + size / 2.0, baselineStart.y() - size * 0.9);
    triangle.closeSubpath();
    painter.fillPath(triangle, Warning);
}

void paintFooter(QPainter &painter, const QRectF &page, int number, int count)
{
    painter.setFont(boardFont(7));
    painter.setPen(QuietInk);
    const QRectF line(Margin, page.height() - Margin + 8, page.width() - 2 * Margin, 12);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Screen and print colours approximate the finished coating: check a physical chip "
                                    "before you specify a colour."));
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1 / %2").arg(number).arg(count));
}

double paintHeading(QPainter &painter, const QRectF &page, const QString &text, double size)
{
    painter.setFont(boardFont(size, true));
    painter.setPen(Ink);
    const double height = QFontMetricsF(painter.font()).height();
    painter.drawText(QRectF(Margin, Margin, page.width() - 2 * Margin, height), Qt::AlignLeft | Qt::AlignVCenter, text);
    return Margin + height;
}

void paintChipsPage(QPainter &painter, const QRectF &page, const ColourBoard &board)
{
    double top = paintHeading(painter, page, board.title, 20);
    painter.setFont(boardFont(9));
    painter.setPen(QuietInk);
    painter.drawText(QRectF(Margin, top, page.width() - 2 * Margin, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     board.chips.size() == 1 ? QStringLiteral("1 colour") : QStringLiteral("%1 colours").arg(board.chips.size()));
    top += 22;
    QVector<QPoint> cells;
    for (const BoardChip &chip : board.chips)
        cells << chip.cell;
    const QFont bold = boardFont(7.5, true);
    const QFont plain = boardFont(7);
    // The code in bold, then names, collection, hex, Lab and LRV.
    const double captionHeight = QFontMetricsF(bold).height() + 5 * QFontMetricsF(plain).height() + 1;
    const QRectF area(Margin, top, page.width() - 2 * Margin, page.height() - Margin - top);
    const QVector<BoardSwatchPlace> places = layoutBoardSwatches(area, cells, captionHeight);
    for (int i = 0; i < places.size() && i < board.chips.size(); ++i) {
        const BoardChip &chip = board.chips.at(i);
        const BoardSwatchPlace &place = places.at(i);
        painter.fillRect(place.swatch, chip.rgb);
        painter.setPen(QPen(QColor(0, 0, 0, 60), 0.5));
        painter.drawRect(place.swatch);
        const QStringList lines{chip.names.join(QStringLiteral(", ")), chip.collectionName,
                                chip.rgb.name(QColor::HexRgb).toUpper(),
                                QStringLiteral("Lab %1, %2, %3")
                                    .arg(chip.lab.l, 0, 'f', 2)
                                    .arg(chip.lab.a, 0, 'f', 2)
                                    .arg(chip.lab.b, 0, 'f', 2),
                                QStringLiteral("LRV %1").arg(lrvText(chip.lrv))};
        double y = place.caption.top();
        painter.setFont(bold);
        painter.setPen(Ink);
        const double boldHeight = QFontMetricsF(bold).height();
        painter.drawText(QRectF(place.caption.left(), y, place.caption.width(), boldHeight), Qt::AlignLeft | Qt::AlignTop,
                         QFontMetricsF(bold).elidedText(chip.code, Qt::ElideRight, place.caption.width()));
        y += boldHeight;
        painter.setFont(plain);
        const QFontMetricsF metrics(plain);
        for (int line = 0; line < lines.size(); ++line) {
            if (y + metrics.height() > place.caption.bottom() + 0.5)
                break;
            painter.setPen(line == 1 ? QuietInk : Ink);
            painter.drawText(QRectF(place.caption.left(), y, place.caption.width(), metrics.height()), Qt::AlignLeft | Qt::AlignTop,
                             metrics.elidedText(lines.at(line), Qt::ElideRight, place.caption.width()));
            y += metrics.height();
        }
    }
}

void paintContrastPage(QPainter &painter, const QRectF &page, const ColourBoard &board)
{
    double top = paintHeading(painter, page, QStringLiteral("Light reflectance of neighbouring colours"), 14) + 6;
    const double width = page.width() - 2 * Margin;
    painter.setFont(boardFont(8.5));
    painter.setPen(Ink);
    const QString explanation =
        QStringLiteral("LRV is the share of light a colour reflects, from 0 (black) to 100 (white). Colours side by side "
                       "or one above the other in the palette are compared. A mark and \u201cunder %1\u201d show neighbours "
                       "whose LRVs differ by less than %1 points: guidance for people with low vision, such as BS 8300, "
                       "asks for at least %1 between surfaces that meet, e.g. walls and doors or floors.")
            .arg(int(MinimumLrvContrast));
    const QRectF explanationBox = painter.boundingRect(QRectF(Margin, top, width, 200), Qt::TextWordWrap, explanation);
    painter.drawText(QRectF(Margin, top, width, explanationBox.height()), Qt::TextWordWrap, explanation);
    top += explanationBox.height() + 12;
    if (board.pairs.isEmpty()) {
        painter.drawText(QRectF(Margin, top, width, 14), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("No two colours of the palette sit side by side or one above the other."));
        return;
    }
    const QFont font = boardFont(8);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    // Two columns when one does not hold every pair.
    const double rowHeight = metrics.height() + 2;
    const int perColumn = std::max(1, int((page.height() - Margin - top) / rowHeight));
    const int columns = board.pairs.size() > perColumn ? 2 : 1;
    const double columnWidth = (width - (columns - 1) * 18) / columns;
    for (int i = 0; i < board.pairs.size(); ++i) {
        const int column = i / perColumn;
        if (column >= columns)
            break;
        const BoardPair &pair = board.pairs.at(i);
        const BoardChip &first = board.chips.at(pair.first);
        const BoardChip &second = board.chips.at(pair.second);
        const double left = Margin + column * (columnWidth + 18);
        const double y = top + (i % perColumn) * rowHeight;
        const double markSize = metrics.ascent() * 0.8;
        if (pair.underGuidance())
            paintMark(painter, QPointF(left, y + metrics.ascent()), markSize);
        const QString text = QStringLiteral("%1 (LRV %2) %3 %4 (LRV %5): difference %6%7")
                                 .arg(chipLabel(first), lrvText(first.lrv), pair.below ? QStringLiteral("above") : QStringLiteral("beside"),
                                      chipLabel(second), lrvText(second.lrv), lrvText(pair.difference),
                                      pair.underGuidance() ? QStringLiteral(", under %1").arg(int(MinimumLrvContrast)) : QString());
        painter.setPen(pair.underGuidance() ? Warning : Ink);
        const double textLeft = left + markSize + 4;
        painter.drawText(QRectF(textLeft, y, columnWidth - (textLeft - left), metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(text, Qt::ElideMiddle, columnWidth - (textLeft - left)));
    }
}

void paintVisionPage(QPainter &painter, const QRectF &page, const ColourBoard &board)
{
    double top = paintHeading(painter, page, QStringLiteral("The colours as people with colour-vision deficiencies see them"), 14);
    painter.setFont(boardFont(8.5));
    painter.setPen(QuietInk);
    painter.drawText(QRectF(Margin, top + 2, page.width() - 2 * Margin, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Simulated at full severity (Machado, Oliveira and Fernandes, 2009), in My Palette's order."));
    top += 26;
    const double labelWidth = 90;
    const int count = std::max(1, int(board.chips.size()));
    const double available = page.width() - 2 * Margin - labelWidth;
    const double step = std::min(64.0, available / count);
    const double rowHeight = std::min(110.0, (page.height() - Margin - top) / 4.0);
    const QFont label = boardFont(9, true);
    const QFont code = boardFont(6);
    for (int row = 0; row < int(AllColourVisions.size()); ++row) {
        const ColourVision vision = AllColourVisions[std::size_t(row)];
        const double y = top + row * rowHeight;
        const double swatchHeight = rowHeight - 22;
        painter.setFont(label);
        painter.setPen(Ink);
        painter.drawText(QRectF(Margin, y, labelWidth - 6, swatchHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                         colourVisionName(vision));
        painter.setFont(code);
        const QFontMetricsF metrics(code);
        for (int i = 0; i < board.chips.size(); ++i) {
            const QRectF swatch(Margin + labelWidth + i * step, y, step - 3, swatchHeight);
            painter.fillRect(swatch, simulateColourVision(board.chips.at(i).rgb, vision));
            painter.setPen(QPen(QColor(0, 0, 0, 60), 0.5));
            painter.drawRect(swatch);
            painter.setPen(QuietInk);
            painter.drawText(QRectF(swatch.left(), swatch.bottom() + 2, swatch.width(), metrics.height()), Qt::AlignLeft | Qt::AlignTop,
                             metrics.elidedText(board.chips.at(i).code, Qt::ElideRight, swatch.width()));
        }
    }
}

} // namespace

bool BoardPair::underGuidance() const
{
    return difference < MinimumLrvContrast;
}

QVector<PlacedChip> placedChipsOf(const MyPaletteModel &palette)
{
    QVector<PlacedChip> cells;
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        const PaletteCell &cell = palette.cell(position);
        DB::ColorEntry chip;
        if (cell.isOccupied() && DB::loadColorById(cell.index.collection, cell.index.rowId, chip) == DB::StatusOk)
            cells.append({position, cell.index.collection, chip});
    }
    return cells;
}

ColourBoard colourBoardOf(const QVector<PlacedChip> &cells, const QString &title)
{
    ColourBoard board;
    board.title = title;
    QHash<QUuid, QString> collectionNames;
    QHash<QPoint, int> byCell;
    for (const PlacedChip &cell : cells) {
        BoardChip chip;
        chip.cell = cell.position;
        chip.code = cell.chip.code;
        for (int index : DB::rowNameDisplayOrder()) {
            if (!cell.chip.name(index).isEmpty())
                chip.names << cell.chip.name(index);
        }
        auto name = collectionNames.find(cell.collection);
        if (name == collectionNames.end()) {
            QSharedPointer<DB::Collection> record;
            name = collectionNames.insert(cell.collection,
                                          DB::loadCollection(cell.collection, record) == DB::StatusOk && record ? record->name
                                                                                                                : QString());
        }
        chip.collectionName = *name;
        chip.rgb = cell.chip.color();
        chip.lab = chipLab(cell.chip);
        chip.lrv = lightReflectanceValue(chip.lab);
        byCell.insert(chip.cell, int(board.chips.size()));
        board.chips << chip;
    }
    for (int i = 0; i < board.chips.size(); ++i) {
        const QPoint cell = board.chips.at(i).cell;
        for (const bool below : {false, true}) {
            const auto neighbour = byCell.constFind(cell + (below ? QPoint(0, 1) : QPoint(1, 0)));
            if (neighbour == byCell.constEnd())
                continue;
            BoardPair pair;
            pair.first = i;
            pair.second = *neighbour;
            pair.below = below;
            pair.difference = std::abs(board.chips.at(i).lrv - board.chips.at(*neighbour).lrv);
            board.pairs << pair;
        }
    }
    return board;
}

BoardPaper boardPaperFor(const QLocale &locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? BoardPaper::Letter : BoardPaper::A4;
}

QVector<BoardSwatchPlace> layoutBoardSwatches(const QRectF &area, const QVector<QPoint> &cells, double captionHeight)
{
    QVector<BoardSwatchPlace> places;
    if (cells.isEmpty())
        return places;
    int firstRow = cells.first().y();
    int lastRow = firstRow;
    for (const QPoint &cell : cells) {
        firstRow = std::min(firstRow, cell.y());
        lastRow = std::max(lastRow, cell.y());
    }
    const int rows = lastRow - firstRow + 1;
    constexpr double Gap = 12.0;
    const double columnWidth = (area.width() - (MyPaletteModel::Columns - 1) * Gap) / MyPaletteModel::Columns;
    const double rowHeight = std::min(area.height() / rows, columnWidth + 4 + captionHeight + Gap);
    const double swatchHeight = std::max(12.0, rowHeight - 4 - captionHeight - Gap);
    for (const QPoint &cell : cells) {
        const double left = area.left() + cell.x() * (columnWidth + Gap);
        const double top = area.top() + (cell.y() - firstRow) * rowHeight;
        places.append({QRectF(left, top, columnWidth, swatchHeight), QRectF(left, top + swatchHeight + 4, columnWidth, captionHeight)});
    }
    return places;
}

QByteArray colourBoardPdf(const ColourBoard &board, BoardPaper paper, bool vision)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72); // one unit a point
        writer.setTitle(board.title);
        writer.setCreator(QStringLiteral("Palettra"));
        writer.setPageLayout(QPageLayout(QPageSize(paper == BoardPaper::Letter ? QPageSize::Letter : QPageSize::A4),
                                         QPageLayout::Landscape, QMarginsF()));
        const QRectF page(QPointF(0, 0), writer.pageLayout().fullRectPoints().size());
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::Antialiasing);
        const int pages = vision ? 3 : 2;
        paintChipsPage(painter, page, board);
        paintFooter(painter, page, 1, pages);
        writer.newPage();
        paintContrastPage(painter, page, board);
        paintFooter(painter, page, 2, pages);
        if (vision) {
            writer.newPage();
            paintVisionPage(painter, page, board);
            paintFooter(painter, page, 3, pages);
        }
    }
    return bytes;
}

} // namespace Vantor
