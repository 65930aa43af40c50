// The colour board as a PDF: laid out once to count its pages and once more to paint
// them, with the same code, so that what is measured is what is drawn. Text is laid out
// with QTextLayout and wraps (at words, and inside a word longer than its line), never
// cut; what does not fit a page goes on the next.

#include "ColourBoard.h"

#include "engine/colour/ColourVision.h"

#include <QBuffer>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace Vantor {

namespace {

constexpr double Margin = 36.0; // half an inch, in points
constexpr double FooterSpace = 18.0;
// Opaque colours only: the document is PDF/A-1b, which has no transparency.
const QColor Ink(34, 34, 34);
const QColor QuietInk(110, 110, 110);
const QColor Warning(200, 70, 20);
const QColor SwatchEdge(170, 170, 170);

QFont boardFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("Open Sans"));
    // No ligatures: a reader searching the board for "difference" finds it.
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString lrvText(double lrv)
{
    return QString::number(lrv, 'f', 1);
}

// A difference with as many decimals as it takes to agree with its mark: 29.96 is not
// shown as 30.0 beside "under 30".
QString differenceText(double difference)
{
    const bool under = difference < MinimumLrvContrast;
    for (int decimals = 1; decimals < 6; ++decimals) {
        const QString text = QString::number(difference, 'f', decimals);
        if ((text.toDouble() < MinimumLrvContrast) == under)
            return text;
    }
    return QString::number(difference, 'g', 10);
}

QString chipLabel(const BoardChip &chip)
{
    return chip.names.isEmpty() ? chip.code : chip.code + QLatin1Char(' ') + chip.names.first();
}

QString plural(int count, const char *one, const char *many)
{
    return count == 1 ? QStringLiteral("1 %1").arg(QLatin1String(one)) : QStringLiteral("%1 %2").arg(count).arg(QLatin1String(many));
}

// The pages as they are laid out: the device measures text, the painter (absent while
// the pages are only counted) draws it.
class BoardPages
{
public:
    BoardPages(QPdfWriter &writer, QPainter *painter, int pageCount)
        : m_writer(writer)
        , m_painter(painter)
        , m_pageCount(pageCount)
        , m_page(QPointF(0, 0), writer.pageLayout().fullRectPoints().size())
    {
        m_y = Margin;
    }

    double left() const { return Margin; }
    double width() const { return m_page.width() - 2 * Margin; }
    double y() const { return m_y; }
    double room() const { return bottom() - m_y; }
    int pages() const { return m_number; }
    QPainter *painter() const { return m_painter; }

    void advance(double height) { m_y += height; }
    // A new page, unless this one is still empty.
    void newPage()
    {
        if (m_y <= Margin + 0.5)
            return;
        footer();
        if (m_painter)
            m_writer.newPage();
        ++m_number;
        m_y = Margin;
    }
    // Room for `height` here, else on the next page.
    void ensure(double height)
    {
        if (height > room())
            newPage();
    }
    void finish() { footer(); }

    // Text laid out in `width`, wrapping at words and inside words too long for a line.
    std::unique_ptr<QTextLayout> layOut(const QString &text, const QFont &font, double width) const
    {
        auto layout = std::make_unique<QTextLayout>(text, font, &m_writer);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout->setTextOption(option);
        layout->beginLayout();
        double height = 0.0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout->endLayout();
        return layout;
    }
    static double heightOf(const QTextLayout &layout) { return layout.boundingRect().height(); }
    double textHeight(const QString &text, const QFont &font, double width) const { return heightOf(*layOut(text, font, width)); }

    // Draws text at (x, y) in `width`; its height.
    double text(double x, double y, double width, const QString &text, const QFont &font, const QColor &colour) const
    {
        return draw(*layOut(text, font, width), x, y, colour);
    }
    // A paragraph across the page at the current line, on the next page if it does not
    // fit here.
    void paragraph(const QString &text, const QFont &font, const QColor &colour, double spaceAfter = 4.0)
    {
        const std::unique_ptr<QTextLayout> layout = layOut(text, font, width());
        ensure(heightOf(*layout));
        m_y += draw(*layout, left(), m_y, colour) + spaceAfter;
    }
    void swatch(const QRectF &rect, const QColor &colour) const
    {
        if (!m_painter)
            return;
        m_painter->fillRect(rect, colour);
        m_painter->setPen(QPen(SwatchEdge, 0.5));
        m_painter->setBrush(Qt::NoBrush);
        m_painter->drawRect(rect);
    }
    // A small warning triangle, its base on the text's first baseline.
    void mark(double x, double y, double size) const
    {
        if (!m_painter)
            return;
        QPainterPath triangle;
        triangle.moveTo(x, y);
        triangle.lineTo(x + size, y);
        triangle.lineTo(x + size / 2.0, y - size * 0.9);
        triangle.closeSubpath();
        m_painter->fillPath(triangle, Warning);
    }

private:
    double bottom() const { return m_page.height() - Margin - FooterSpace; }
    double draw(const QTextLayout &layout, double x, double y, const QColor &colour) const
    {
        if (m_painter) {
            m_painter->setPen(colour);
            layout.draw(m_painter, QPointF(x, y));
        }
        return heightOf(layout);
    }
    void footer()
    {
        if (!m_painter)
            return;
        m_painter->setFont(boardFont(7));
        m_painter->setPen(QuietInk);
        const QRectF line(Margin, m_page.height() - Margin + 8, m_page.width() - 2 * Margin, 12);
        m_painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                            QStringLiteral("Screen and print colours approximate the finished coating: check a physical "
                                           "chip before you specify a colour. Colours in sRGB."));
        m_painter->drawText(line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1 / %2").arg(m_number).arg(m_pageCount));
    }

    QPdfWriter &m_writer;
    QPainter *m_painter;
    int m_pageCount;
    QRectF m_page;
    double m_y = Margin;
    int m_number = 1;
};

// The lines of a chip's caption: its names, collection, values, and what it stands for.
QStringList captionLines(const BoardChip &chip)
{
    QStringList lines{chip.names.join(QStringLiteral(", ")), chip.collectionName, chip.rgb.name(QColor::HexRgb).toUpper(),
                      QStringLiteral("Lab %1, %2, %3").arg(chip.lab.l, 0, 'f', 2).arg(chip.lab.a, 0, 'f', 2).arg(chip.lab.b, 0, 'f', 2),
                      QStringLiteral("LRV %1").arg(lrvText(chip.lrv))};
    if (chip.matchedFrom) {
        const MatchedSource &source = *chip.matchedFrom;
        const QString what = source.share > 0.0
            ? QStringLiteral("%1% of the picture").arg(source.share * 100.0, 0, 'f', 0)
            : source.name.isEmpty() ? QStringLiteral("a colour") : QStringLiteral("\u201c%1\u201d").arg(source.name);
        lines << QStringLiteral("Matched to %1 %2, \u0394E00 %3")
                     .arg(what, source.rgb.name(QColor::HexRgb).toUpper())
                     .arg(source.difference, 0, 'f', 1);
    }
    lines.removeAll(QString());
    return lines;
}

void layOutChips(BoardPages &pages, const ColourBoard &board)
{
    pages.paragraph(board.title.isEmpty() ? QStringLiteral("Colour board") : board.title, boardFont(20, true), Ink, 2);
    pages.paragraph(plural(int(board.chips.size()), "colour", "colours"), boardFont(9), QuietInk, 8);
    if (!board.leftOut.isEmpty()) {
        // Grouped by why, each colour by its code or name.
        QStringList reasons;
        QHash<QString, QStringList> byReason;
        for (const LeftOutColour &colour : board.leftOut) {
            if (!byReason.contains(colour.why))
                reasons << colour.why;
            byReason[colour.why] << colour.what;
        }
        pages.paragraph(QStringLiteral("Not on this board: %1.").arg(plural(int(board.leftOut.size()), "colour", "colours")),
                        boardFont(8.5, true), Warning, 1);
        for (const QString &why : std::as_const(reasons)) {
            const QString first = why.left(1).toUpper() + why.mid(1);
            pages.paragraph(QStringLiteral("%1: %2.").arg(first, byReason.value(why).join(QStringLiteral(", "))), boardFont(8),
                            Warning, 1);
        }
        pages.advance(8);
    }
    constexpr int Columns = 6;
    constexpr double Gap = 12.0;
    const double columnWidth = (pages.width() - (Columns - 1) * Gap) / Columns;
    const QFont codeFont = boardFont(7.5, true);
    const QFont captionFont = boardFont(7);
    // The palette's rows, from the first to the last one used; each as high as its
    // longest caption below swatches that shrink (to no less than 40 points) to keep the
    // rows on one page where they can.
    QVector<int> rows;
    for (const BoardChip &chip : board.chips) {
        if (!rows.contains(chip.cell.y()))
            rows << chip.cell.y();
    }
    std::sort(rows.begin(), rows.end());
    QVector<double> captionHeights;
    for (int row : std::as_const(rows)) {
        double tallest = 0.0;
        for (const BoardChip &chip : board.chips) {
            if (chip.cell.y() != row)
                continue;
            double height = pages.textHeight(chip.code, codeFont, columnWidth);
            for (const QString &line : captionLines(chip))
                height += pages.textHeight(line, captionFont, columnWidth);
            tallest = std::max(tallest, height);
        }
        captionHeights << tallest;
    }
    double captions = 0.0;
    for (double height : std::as_const(captionHeights))
        captions += height + 4 + Gap;
    const double swatchHeight =
        std::clamp((pages.room() - captions) / std::max<qsizetype>(1, rows.size()), 32.0, std::min(columnWidth, 100.0));
    for (int r = 0; r < rows.size(); ++r) {
        pages.ensure(swatchHeight + 4 + captionHeights.at(r));
        const double top = pages.y();
        for (const BoardChip &chip : board.chips) {
            if (chip.cell.y() != rows.at(r))
                continue;
            const double left = pages.left() + chip.cell.x() * (columnWidth + Gap);
            pages.swatch(QRectF(left, top, columnWidth, swatchHeight), chip.rgb);
            double y = top + swatchHeight + 4;
            y += pages.text(left, y, columnWidth, chip.code, codeFont, Ink);
            const QStringList lines = captionLines(chip);
            for (const QString &line : lines)
                y += pages.text(left, y, columnWidth, line, captionFont, line == chip.collectionName ? QuietInk : Ink);
        }
        pages.advance(swatchHeight + 4 + captionHeights.at(r) + Gap);
    }
}

// Without rooms: every colour's LRV and the table of their differences, for information.
void layOutDifferences(BoardPages &pages, const ColourBoard &board)
{
    const QFont font = boardFont(8);
    const QFont bold = boardFont(8, true);
    const int count = int(board.chips.size());
    // The colours by number, in as many columns as fit lines of 180 points.
    const int listColumns = std::max(1, int(pages.width() / 190.0));
    const double listWidth = pages.width() / listColumns - 10;
    auto listed = [&board](int i) {
        return QStringLiteral("%1  %2, LRV %3").arg(i + 1).arg(chipLabel(board.chips.at(i)), lrvText(board.chips.at(i).lrv));
    };
    for (int start = 0; start < count; start += listColumns) {
        double tallest = 0.0;
        for (int i = start; i < std::min(count, start + listColumns); ++i)
            tallest = std::max(tallest, pages.textHeight(listed(i), font, listWidth));
        pages.ensure(tallest);
        for (int i = start; i < std::min(count, start + listColumns); ++i)
            pages.text(pages.left() + (i - start) * (listWidth + 10), pages.y(), listWidth, listed(i), font, Ink);
        pages.advance(tallest + 1);
    }
    if (count < 2)
        return;
    pages.advance(8);
    pages.paragraph(QStringLiteral("Differences of LRV, by the numbers above:"), bold, Ink, 3);
    const QFont small = boardFont(7.5);
    const double cell = std::min(34.0, pages.width() / (count + 1));
    const double rowHeight = pages.textHeight(QStringLiteral("00.0"), small, cell) + 1;
    // The lower half of the table: each pair once.
    auto header = [&] {
        for (int column = 0; column + 1 < count; ++column)
            pages.text(pages.left() + (column + 1) * cell, pages.y(), cell, QString::number(column + 1), bold, QuietInk);
        pages.advance(rowHeight);
    };
    pages.ensure(2 * rowHeight);
    header();
    for (int row = 1; row < count; ++row) {
        if (rowHeight > pages.room()) {
            pages.newPage();
            header();
        }
        pages.text(pages.left(), pages.y(), cell, QString::number(row + 1), bold, QuietInk);
        for (int column = 0; column < row; ++column) {
            const double difference = std::abs(board.chips.at(row).lrv - board.chips.at(column).lrv);
            pages.text(pages.left() + (column + 1) * cell, pages.y(), cell, lrvText(difference), small, Ink);
        }
        pages.advance(rowHeight);
    }
}

// With rooms: each room's surfaces and the pairs of them that meet, checked.
void layOutRooms(BoardPages &pages, const ColourBoard &board)
{
    const QFont font = boardFont(8.5);
    const QFont heading = boardFont(10, true);
    QStringList rooms;
    for (const BoardSurface &surface : board.surfaces) {
        if (!rooms.contains(surface.room, Qt::CaseInsensitive))
            rooms << surface.room;
    }
    const double markSize = 7.0;
    for (const QString &room : std::as_const(rooms)) {
        pages.ensure(4 * pages.textHeight(room, heading, pages.width()));
        pages.advance(4);
        pages.paragraph(room, heading, Ink, 2);
        for (const BoardSurface &surface : board.surfaces) {
            if (surface.room.compare(room, Qt::CaseInsensitive) != 0)
                continue;
            const BoardChip &chip = board.chips.at(surface.chip);
            pages.paragraph(QStringLiteral("%1: %2, LRV %3").arg(surface.surface, chipLabel(chip), lrvText(chip.lrv)), font, Ink, 1);
        }
        pages.advance(3);
        bool anyPair = false;
        for (const BoardPair &pair : board.pairs) {
            const BoardSurface &first = board.surfaces.at(pair.first);
            const BoardSurface &second = board.surfaces.at(pair.second);
            if (first.room.compare(room, Qt::CaseInsensitive) != 0)
                continue;
            anyPair = true;
            const QString line = QStringLiteral("%1 (%2) and %3 (%4) meet: LRV %5 and %6, difference %7%8")
                                     .arg(first.surface, board.chips.at(first.chip).code, second.surface,
                                          board.chips.at(second.chip).code, lrvText(board.chips.at(first.chip).lrv),
                                          lrvText(board.chips.at(second.chip).lrv), differenceText(pair.difference),
                                          pair.underGuidance() ? QStringLiteral(", under %1").arg(int(MinimumLrvContrast))
                                                               : QString());
            const double indent = markSize + 4;
            pages.ensure(pages.textHeight(line, font, pages.width() - indent));
            if (pair.underGuidance())
                pages.mark(pages.left(), pages.y() + QFontMetricsF(font).ascent(), markSize);
            pages.advance(pages.text(pages.left() + indent, pages.y(), pages.width() - indent, line, font,
                                     pair.underGuidance() ? Warning : Ink)
                          + 1);
        }
        if (!anyPair)
            pages.paragraph(QStringLiteral("No two of these surfaces meet."), font, QuietInk, 1);
    }
}

void layOutLightReflectance(BoardPages &pages, const ColourBoard &board)
{
    pages.newPage();
    pages.paragraph(QStringLiteral("Light reflectance values"), boardFont(14, true), Ink, 6);
    const QFont font = boardFont(8.5);
    pages.paragraph(QStringLiteral("LRV is the share of light a colour reflects, from 0 (black) to 100 (white). Here it is "
                                   "computed from each colour's CIELAB (CIE Y under D65); a paint's measured LRV may "
                                   "differ a little."),
                    font, Ink, 4);
    if (board.surfaces.isEmpty()) {
        pages.paragraph(QStringLiteral("The guidance for people with low vision asks for a difference of at least %1 LRV "
                                       "points between surfaces that meet in a building, such as walls and floors or doors "
                                       "and the walls around them. No rooms were given for these colours, so nothing is "
                                       "checked: the values below are for information. Give each colour its room and "
                                       "surface to have the surfaces that meet checked.")
                            .arg(int(MinimumLrvContrast)),
                        font, Ink, 10);
        layOutDifferences(pages, board);
        return;
    }
    pages.paragraph(QStringLiteral("A mark and \u201cunder %1\u201d show surfaces that meet whose LRVs differ by less than %1 "
                                   "points.")
                        .arg(int(MinimumLrvContrast)),
                    font, Ink, 4);
    pages.paragraph(boardSurfacePairsSource(), boardFont(7.5), QuietInk, 8);
    layOutRooms(pages, board);
}

void layOutVision(BoardPages &pages, const ColourBoard &board)
{
    pages.newPage();
    pages.paragraph(QStringLiteral("The colours as people with colour-vision deficiencies see them"), boardFont(14, true), Ink, 2);
    pages.paragraph(QStringLiteral("Simulated at full severity (Machado, Oliveira and Fernandes, 2009), in My Palette's order."),
                    boardFont(8.5), QuietInk, 8);
    constexpr int PerRow = 12;
    const double step = pages.width() / PerRow;
    const double swatchWidth = step - 4;
    const double swatchHeight = 34;
    const QFont label = boardFont(9, true);
    const QFont code = boardFont(6);
    const int count = int(board.chips.size());
    for (ColourVision vision : AllColourVisions) {
        const double labelHeight = pages.textHeight(colourVisionName(vision), label, pages.width());
        for (int start = 0; start < std::max(1, count); start += PerRow) {
            double tallest = 0.0;
            for (int i = start; i < std::min(count, start + PerRow); ++i)
                tallest = std::max(tallest, pages.textHeight(board.chips.at(i).code, code, swatchWidth));
            const double needed = (start == 0 ? labelHeight + 2 : 0.0) + swatchHeight + 2 + tallest;
            pages.ensure(needed);
            if (start == 0)
                pages.advance(pages.text(pages.left(), pages.y(), pages.width(), colourVisionName(vision), label, Ink) + 2);
            for (int i = start; i < std::min(count, start + PerRow); ++i) {
                const double x = pages.left() + (i - start) * step;
                pages.swatch(QRectF(x, pages.y(), swatchWidth, swatchHeight), simulateColourVision(board.chips.at(i).rgb, vision));
                pages.text(x, pages.y() + swatchHeight + 2, swatchWidth, board.chips.at(i).code, code, QuietInk);
            }
            pages.advance(swatchHeight + 2 + tallest + 6);
        }
        pages.advance(6);
    }
}

// Lays the whole board out; paints it when the pages have a painter. The number of
// pages it took.
int layOutBoard(BoardPages &pages, const ColourBoard &board, bool vision)
{
    layOutChips(pages, board);
    layOutLightReflectance(pages, board);
    if (vision)
        layOutVision(pages, board);
    pages.finish();
    return pages.pages();
}

} // namespace

QByteArray colourBoardPdf(const ColourBoard &board, BoardPaper paper, bool vision)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        // PDF/A-1b: the document says its colours are sRGB (an sRGB output intent), so a
        // print shop does not guess.
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setResolution(72); // one unit a point
        writer.setTitle(board.title);
        writer.setCreator(QStringLiteral("Palettra"));
        writer.setPageLayout(QPageLayout(QPageSize(paper == BoardPaper::Letter ? QPageSize::Letter : QPageSize::A4),
                                         QPageLayout::Landscape, QMarginsF()));
        BoardPages counting(writer, nullptr, 0);
        const int pageCount = layOutBoard(counting, board, vision);
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::Antialiasing);
        BoardPages pages(writer, &painter, pageCount);
        layOutBoard(pages, board, vision);
    }
    return bytes;
}

} // namespace Vantor
