#include "ThemePainter.h"

#include "resources/FanDeckIcon.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace Palettra::Deck {

namespace {

constexpr double Pi = 3.14159265358979323846;

// The palette of the look.
const QColor SlateTop(0x3b, 0x40, 0x47);
const QColor SlateBottom(0x23, 0x26, 0x2b);
const QColor BarTop(0x5a, 0x60, 0x6a);
const QColor BarBottom(0x40, 0x45, 0x4d);
const QColor Ink(0x1d, 0x1f, 0x23);
const QColor Light(0xe6, 0xe6, 0xe6);
const QColor Muted(0xa8, 0xad, 0xb4);
const QColor Amber(0xe0, 0xb3, 0x54);

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QFont font(int pixelSize, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("Open Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// Smooth value noise in [0, 1], tiling over the image, deterministic for a seed.
class ValueNoise
{
public:
    ValueNoise(int cells, quint32 seed)
        : m_cells(cells)
    {
        QRandomGenerator random(seed);
        m_values.resize(cells * cells);
        for (double &value : m_values)
            value = random.generateDouble();
    }
    double at(double x, double y) const // x, y in cells
    {
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const double fx = x - x0, fy = y - y0;
        auto v = [this](int xi, int yi) {
            xi = ((xi % m_cells) + m_cells) % m_cells;
            yi = ((yi % m_cells) + m_cells) % m_cells;
            return m_values.at(yi * m_cells + xi);
        };
        auto smooth = [](double t) { return t * t * (3 - 2 * t); };
        const double sx = smooth(fx), sy = smooth(fy);
        const double top = v(x0, y0) * (1 - sx) + v(x0 + 1, y0) * sx;
        const double bottom = v(x0, y0 + 1) * (1 - sx) + v(x0 + 1, y0 + 1) * sx;
        return top * (1 - sy) + bottom * sy;
    }

private:
    int m_cells;
    QVector<double> m_values;
};

double fractalNoise(const QVector<ValueNoise> &octaves, double x, double y)
{
    double sum = 0, weight = 1, total = 0, scale = 1;
    for (const ValueNoise &octave : octaves) {
        sum += octave.at(x * scale, y * scale) * weight;
        total += weight;
        weight *= 0.5;
        scale *= 2;
    }
    return sum / total;
}

QImage mainBackground(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, SlateTop);
    gradient.setColorAt(1, SlateBottom);
    painter.fillRect(image.rect(), gradient);
    // Soft light from the top left, as on a lit desk.
    QRadialGradient light(QPointF(width * 0.25, -height * 0.2), width * 0.9);
    light.setColorAt(0, QColor(255, 255, 255, 22));
    light.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(image.rect(), light);
    painter.end();
    // A fine, even grain so large areas do not band.
    QRandomGenerator random(20261207);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int delta = int(random.bounded(5)) - 2;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + delta, 255), qBound(0, qGreen(p) + delta, 255), qBound(0, qBlue(p) + delta, 255));
        }
    }
    return image;
}

QImage barBackground(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, BarTop);
    gradient.setColorAt(1, BarBottom);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QColor(0x80, 0x86, 0x8f));
    painter.drawLine(0, 0, width - 1, 0);
    painter.setPen(QColor(0x1b, 0x1d, 0x21));
    painter.drawLine(0, height - 1, width - 1, height - 1);
    return image;
}

void chevron(QPainter &painter, const QPointF &centre, double size, double angleDegrees, const QColor &colour, double width)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(angleDegrees);
    QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    const double s = size / 2;
    painter.drawPolyline(QPolygonF{QPointF(-s * 0.5, -s), QPointF(s * 0.5, 0), QPointF(-s * 0.5, s)});
    painter.restore();
}

QImage dropdownArrow(bool up)
{
    QImage image = canvas(20, 20);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    chevron(painter, QPointF(10, up ? 10.5 : 9.5), 8, up ? -90 : 90, Light, 2);
    return image;
}

QImage colourWheel(const QVector<WheelSegmentColour> &segments)
{
    const int size = 122;
    QImage image = canvas(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(60, 61);
    // Rim and base.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x17, 0x19, 0x1c));
    painter.drawEllipse(centre, 59.5, 59.5);
    const QRectF outer(centre.x() - 57, centre.y() - 57, 114, 114);
    for (const WheelSegmentColour &segment : segments) {
        const QColor colour = segment.colour.isValid() ? segment.colour : QColor(0x33, 0x36, 0x3b);
        QRadialGradient shade(centre, 57);
        shade.setColorAt(0.30, colour.lighter(118));
        shade.setColorAt(1.00, colour.darker(112));
        painter.setBrush(shade);
        painter.setPen(QPen(QColor(0x17, 0x19, 0x1c), 1.2));
        const double start = segment.centreDegrees - segment.spanDegrees / 2;
        painter.drawPie(outer, int(std::lround(start * 16)), int(std::lround(segment.spanDegrees * 16)));
    }
    // The hub well under the pointer.
    QRadialGradient hub(centre, 24);
    hub.setColorAt(0, QColor(0x44, 0x49, 0x50));
    hub.setColorAt(1, QColor(0x24, 0x27, 0x2b));
    painter.setBrush(hub);
    painter.setPen(QPen(QColor(0x12, 0x13, 0x16), 1.5));
    painter.drawEllipse(centre, 22, 22);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
    painter.drawEllipse(centre, 58.5, 58.5);
    return image;
}

QImage moodButton(const QColor &colour, bool selected)
{
    QImage image = canvas(23, 21);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body(1.5, 1.5, 20, 18);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, selected ? colour.lighter(120) : colour.lighter(106));
    fill.setColorAt(1, selected ? colour : colour.darker(115));
    painter.setBrush(fill);
    painter.setPen(selected ? QPen(QColor(0xf5, 0xf5, 0xf5), 2) : QPen(Ink, 1));
    painter.drawRoundedRect(selected ? body.adjusted(0.5, 0.5, -0.5, -0.5) : body, 4, 4);
    if (!selected) {
        painter.setPen(QPen(QColor(255, 255, 255, 70), 1));
        painter.drawLine(QPointF(5, 3), QPointF(18, 3));
    }
    return image;
}

QImage tick()
{
    QImage image = canvas(12, 11);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xf2, 0xf2, 0xf2), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF{QPointF(1.5, 5.5), QPointF(4.5, 8.5), QPointF(10.5, 1.5)});
    return image;
}

QImage disabledMark()
{
    QImage image = canvas(11, 11);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xb3, 0x40, 0x3a));
    painter.setPen(QPen(Ink, 1));
    painter.drawEllipse(QRectF(0.5, 0.5, 10, 10));
    painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.2, 3.2), QPointF(7.8, 7.8));
    painter.drawLine(QPointF(7.8, 3.2), QPointF(3.2, 7.8));
    return image;
}

QImage allMoodsIcon(const QVector<QColor> &moods)
{
    QImage image = canvas(16, 16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Ink, 1));
    for (int i = 0; i < 4; ++i) {
        painter.setBrush(moods.value(i));
        painter.drawRoundedRect(QRectF(1.5 + (i % 2) * 7, 1.5 + (i / 2) * 7, 6, 6), 1.5, 1.5);
    }
    return image;
}

QImage exteriorIcon()
{
    QImage image = canvas(16, 16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Light, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF{QPointF(2, 8), QPointF(8, 2.5), QPointF(14, 8)});
    painter.drawRect(QRectF(4, 8, 8, 6));
    painter.fillRect(QRectF(7, 10.5, 2, 3.5), Light);
    return image;
}

QImage magnifyingGlass(bool plus = false, const QColor &colour = Muted)
{
    QImage image = canvas(16, 16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 1.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(2, 2, 8.5, 8.5));
    painter.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(9.6, 9.6), QPointF(14, 14));
    if (plus) {
        painter.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(6.25, 4.2), QPointF(6.25, 8.3));
        painter.drawLine(QPointF(4.2, 6.25), QPointF(8.3, 6.25));
    }
    return image;
}

QImage rollButton(bool forward, bool down)
{
    QImage image = canvas(24, 24);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(1.5, 1.5, 21, 21);
    QLinearGradient fill(disc.topLeft(), disc.bottomLeft());
    fill.setColorAt(0, down ? QColor(0x2a, 0x2e, 0x33) : BarTop);
    fill.setColorAt(1, down ? QColor(0x33, 0x37, 0x3d) : BarBottom);
    painter.setBrush(fill);
    painter.setPen(QPen(Ink, 1));
    painter.drawEllipse(disc);
    chevron(painter, QPointF(forward ? 12.8 : 11.2, 12), 9, forward ? 0 : 180, down ? Amber : Light, 2.2);
    return image;
}

// The round scheme buttons: the relation of the scheme drawn as dots on a little wheel.
QImage schemeButton(const QVector<std::pair<double, QColor>> &dots, bool selected)
{
    QImage image = canvas(44, 44);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(22, 22);
    if (selected) {
        QRadialGradient glow(centre, 21);
        glow.setColorAt(0.7, QColor(Amber.red(), Amber.green(), Amber.blue(), 90));
        glow.setColorAt(1.0, QColor(Amber.red(), Amber.green(), Amber.blue(), 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(centre, 21, 21);
    }
    QLinearGradient fill(QPointF(0, 6), QPointF(0, 38));
    fill.setColorAt(0, selected ? QColor(0x63, 0x69, 0x73) : QColor(0x4a, 0x50, 0x59));
    fill.setColorAt(1, selected ? QColor(0x44, 0x49, 0x51) : QColor(0x32, 0x36, 0x3c));
    painter.setBrush(fill);
    painter.setPen(QPen(selected ? Amber : QColor(0x6a, 0x70, 0x79), selected ? 2 : 1));
    painter.drawEllipse(centre, 15.5, 15.5);
    painter.setPen(QPen(QColor(255, 255, 255, 50), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 9, 9);
    for (const auto &[angle, colour] : dots) {
        const double a = angle * Pi / 180.0;
        const QPointF at(centre.x() + 9 * std::cos(a), centre.y() - 9 * std::sin(a));
        painter.setPen(QPen(Ink, 1));
        painter.setBrush(colour);
        painter.drawEllipse(at, 3.6, 3.6);
    }
    return image;
}

QImage marker(bool selected)
{
    QImage image = canvas(9, 9);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(selected ? Amber : Muted, 1.2));
    painter.setBrush(selected ? Amber : Qt::NoBrush);
    painter.drawEllipse(QRectF(1, 1, 7, 7));
    return image;
}

// The small bar icons: a light glyph with a dark halo, so they read on the slate bars
// and on the white plate of a checked button alike.
QImage paletteIcon(const QString &kind)
{
    QImage image = canvas(16, 16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    auto glyph = [&painter, &kind](const QColor &colour, double widen, bool fills) {
        painter.save();
        const QPen pen(colour, 1.5 + widen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (kind == QLatin1String("zoom")) {
            painter.drawEllipse(QRectF(2, 2, 8.5, 8.5));
            painter.setPen(QPen(colour, 2.6 + widen, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(9.6, 9.6), QPointF(14, 14));
            painter.setPen(QPen(colour, 1.4 + widen, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(6.25, 4.2), QPointF(6.25, 8.3));
            painter.drawLine(QPointF(4.2, 6.25), QPointF(8.3, 6.25));
        } else if (kind == QLatin1String("eraser")) {
            painter.translate(8, 8);
            painter.rotate(-40);
            painter.setBrush(fills ? QColor(0xe8, 0x9a, 0x8a) : colour);
            painter.drawRoundedRect(QRectF(-6.5, -3, 13, 6), 1.5, 1.5);
            painter.setBrush(colour);
            painter.drawRect(QRectF(-6.5, -3, 4, 6));
        } else if (kind == QLatin1String("trash")) {
            painter.drawLine(QPointF(2.5, 4), QPointF(13.5, 4));
            painter.drawPolyline(QPolygonF{QPointF(6, 4), QPointF(6.5, 2), QPointF(9.5, 2), QPointF(10, 4)});
            painter.drawPolyline(QPolygonF{QPointF(4, 4), QPointF(5, 14), QPointF(11, 14), QPointF(12, 4)});
            painter.drawLine(QPointF(7, 6.5), QPointF(7, 11.5));
            painter.drawLine(QPointF(9, 6.5), QPointF(9, 11.5));
        } else if (kind == QLatin1String("grid")) {
            painter.setPen(QPen(colour, 1.2 + widen));
            painter.drawRect(QRectF(2, 2, 12, 12));
            painter.drawLine(QPointF(6, 2), QPointF(6, 14));
            painter.drawLine(QPointF(10, 2), QPointF(10, 14));
            painter.drawLine(QPointF(2, 6), QPointF(14, 6));
            painter.drawLine(QPointF(2, 10), QPointF(14, 10));
        } else if (kind == QLatin1String("back")) {
            painter.drawLine(QPointF(3, 8), QPointF(13, 8));
            painter.drawPolyline(QPolygonF{QPointF(7, 4), QPointF(3, 8), QPointF(7, 12)});
        } else if (kind == QLatin1String("capsure")) {
            painter.setPen(QPen(colour, 1.2 + widen));
            painter.setBrush(fills ? QColor(0xec, 0xec, 0xec) : colour);
            painter.drawRoundedRect(QRectF(3, 1.5, 10, 13), 3, 3);
            if (fills) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(0x5b, 0x9b, 0xd5));
                painter.drawEllipse(QPointF(8, 10.5), 2.4, 2.4);
                painter.setBrush(QColor(0x3a, 0x3e, 0x44));
                painter.drawRect(QRectF(5.5, 4, 5, 2));
            }
        }
        painter.restore();
    };
    glyph(QColor(0x16, 0x18, 0x1b, 200), 1.6, false);
    glyph(QColor(0xee, 0xee, 0xee), 0.0, true);
    return image;
}

QImage clearQuestionIcon()
{
    QImage image = canvas(128, 128);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // A small palette of chips behind a question mark.
    const QColor chips[] = {QColor(0xd6, 0x3e, 0x4f), QColor(0xf2, 0xc1, 0x4e), QColor(0x2f, 0x9c, 0x95),
                            QColor(0x3d, 0x5a, 0x98)};
    for (int i = 0; i < 4; ++i) {
        painter.setPen(QPen(QColor(0, 0, 0, 60), 2));
        painter.setBrush(chips[i]);
        painter.drawRoundedRect(QRectF(10 + (i % 2) * 56, 10 + (i / 2) * 56, 50, 50), 9, 9);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawEllipse(QPointF(64, 64), 34, 34);
    painter.setPen(QColor(0x2b, 0x2f, 0x35));
    painter.setFont(font(54, true));
    painter.drawText(QRectF(30, 28, 68, 72), Qt::AlignCenter, QStringLiteral("?"));
    return image;
}

QImage sliderGroove()
{
    // Three 7 × 7 squares: left cap, middle, right cap.
    QImage image = canvas(21, 7);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1b, 0x1d, 0x21));
    painter.drawEllipse(QRectF(0, 0, 7, 7));
    painter.drawRect(QRectF(3.5, 0, 14, 7));
    painter.drawEllipse(QRectF(14, 0, 7, 7));
    return image;
}

QImage sliderMask()
{
    // Red 0 marks what stays transparent: the corners outside the rounded ends.
    QImage image(21, 7, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(1, 1, 5, 5));
    painter.drawRect(QRectF(4, 1, 13, 5));
    painter.drawEllipse(QRectF(15, 1, 5, 5));
    return image;
}

QImage sliderThumb()
{
    QImage image = canvas(11, 17);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(QPointF(0, 0), QPointF(11, 0));
    fill.setColorAt(0, QColor(0xf4, 0xf4, 0xf4));
    fill.setColorAt(1, QColor(0xc8, 0xc8, 0xc8));
    painter.setBrush(fill);
    painter.setPen(QPen(Ink, 1));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 10, 16), 3, 3);
    painter.setPen(QPen(Amber, 1.5));
    painter.drawLine(QPointF(5.5, 4), QPointF(5.5, 13));
    return image;
}

QImage groupTriangle(bool open)
{
    QImage image = canvas(16, 16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Light);
    if (open)
        painter.drawPolygon(QPolygonF{QPointF(3, 5), QPointF(13, 5), QPointF(8, 11.5)});
    else
        painter.drawPolygon(QPolygonF{QPointF(5, 3), QPointF(11.5, 8), QPointF(5, 13)});
    return image;
}

QImage scrollbarThumb()
{
    QImage image = canvas(12, 32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(QPointF(0, 0), QPointF(12, 0));
    fill.setColorAt(0, QColor(192, 192, 192));
    fill.setColorAt(1, QColor(208, 208, 208));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(3, 0, 6, 32), 3, 3);
    return image;
}

QImage windowIcon()
{
    QImage image = canvas(32, 32);
    QPainter painter(&image);
    paintFanDeckIcon(painter, QRectF(0, 0, 32, 32));
    return image;
}

QImage banner(const BannerInputs &inputs)
{
    const int width = 800, height = 70;
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient band(0, 0, 0, height);
    band.setColorAt(0, QColor(0x2a, 0x2e, 0x34));
    band.setColorAt(1, QColor(0x1c, 0x1f, 0x23));
    painter.fillRect(image.rect(), band);
    painter.setPen(QColor(0x0f, 0x10, 0x12));
    painter.drawLine(0, height - 1, width, height - 1);

    paintFanDeckIcon(painter, QRectF(14, 6, 58, 58));
    painter.setPen(QColor(0xf4, 0xf4, 0xf4));
    painter.setFont(font(24, true));
    painter.drawText(QRectF(84, 10, 420, 32), Qt::AlignLeft | Qt::AlignVCenter, inputs.title);
    painter.setPen(QColor(0xb4, 0xb9, 0xc0));
    painter.setFont(font(12));
    painter.drawText(QRectF(85, 40, 420, 20), Qt::AlignLeft | Qt::AlignVCenter, inputs.subtitle);

    // A strip of the collection's own chips, fanned slightly, at the right.
    const int count = int(inputs.chips.size());
    const double chipWidth = 18, gap = 4;
    double x = width - 20 - count * (chipWidth + gap);
    for (const QColor &colour : inputs.chips) {
        painter.setPen(QPen(QColor(0, 0, 0, 120), 1));
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(x, 22, chipWidth, 38), 3, 3);
        painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
        painter.drawLine(QPointF(x + 3, 24), QPointF(x + chipWidth - 3, 24));
        x += chipWidth + gap;
    }
    // Brand line.
    painter.setPen(QColor(0x8a, 0x90, 0x98));
    painter.setFont(font(10, true));
    painter.drawText(QRectF(520, 5, 260, 12), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("ORVA TAVEL COATINGS"));
    return image;
}

QImage aboutLogo()
{
    QImage image = canvas(128, 64);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintFanDeckIcon(painter, QRectF(2, 8, 48, 48));
    painter.setPen(QColor(0x2b, 0x2f, 0x35));
    painter.setFont(font(17, true));
    painter.drawText(QRectF(52, 12, 76, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ORVA"));
    painter.setFont(font(17, true));
    painter.drawText(QRectF(52, 32, 76, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TAVEL"));
    return image;
}

QImage mtoMark()
{
    QImage image = canvas(96, 50);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // Diagonal hatch that reads on any colour.
    painter.setPen(QPen(QColor(255, 255, 255, 110), 5));
    for (int x = -60; x < 110; x += 14)
        painter.drawLine(QPointF(x, 50), QPointF(x + 50, 0));
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
    for (int x = -57; x < 113; x += 14)
        painter.drawLine(QPointF(x, 50), QPointF(x + 50, 0));
    QPainterPath text;
    QFont f = font(22, true);
    text.addText(0, 0, f, QStringLiteral("MTO"));
    const QRectF bounds = text.boundingRect();
    text.translate(48 - bounds.center().x(), 25 - bounds.center().y());
    painter.setPen(QPen(QColor(255, 255, 255, 230), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(text);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1d, 0x1f, 0x23));
    painter.drawPath(text);
    return image;
}

QImage greyscale(const QVector<double> &values, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int v = qBound(0, int(std::lround(values.at(y * size.width() + x) * 255)), 255);
            line[x] = qRgb(v, v, v);
        }
    }
    return image;
}

} // namespace

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage drawTexture(const QString &pattern, const QSize &size)
{
    const int w = size.width(), h = size.height();
    QVector<double> v(w * h);
    const QVector<ValueNoise> fine{ValueNoise(32, 11), ValueNoise(32, 12), ValueNoise(32, 13), ValueNoise(32, 14)};
    const QVector<ValueNoise> coarse{ValueNoise(8, 21), ValueNoise(8, 22), ValueNoise(8, 23)};
    // Seeded from the name itself (qHash is seeded per process): the same picture every time.
    quint32 seed = 7;
    for (const QChar c : pattern)
        seed = seed * 31 + c.unicode();
    QRandomGenerator random(seed);
    if (pattern == QLatin1String("plaster")) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double trowel = fractalNoise(coarse, x / 30.0 + y / 60.0, y / 24.0);
                v[y * w + x] = 0.70 + 0.18 * trowel + 0.10 * (fractalNoise(fine, x / 4.0, y / 4.0) - 0.5);
            }
    } else if (pattern == QLatin1String("fabric")) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double warp = 0.5 + 0.5 * std::sin(x * Pi / 2.0);
                const double weft = 0.5 + 0.5 * std::sin(y * Pi / 2.0);
                const bool over = ((x / 4) + (y / 4)) % 2 == 0;
                const double thread = over ? warp : weft;
                v[y * w + x] = 0.52 + 0.22 * thread + 0.16 * (fractalNoise(fine, x / 3.0, y / 3.0) - 0.5);
            }
    } else if (pattern == QLatin1String("wood")) {
        const int board = 24;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int b = y / board;
                const double offset = b * 37.0;
                const double grain = 0.5 + 0.5 * std::sin((y + 6 * fractalNoise(coarse, (x + offset) / 40.0, y / 10.0)) * 0.9);
                double value = 0.50 + 0.22 * grain + 0.10 * (fractalNoise(fine, (x + offset) / 12.0, y / 2.0) - 0.5);
                if (y % board == 0)
                    value *= 0.45;
                v[y * w + x] = value;
            }
    } else if (pattern == QLatin1String("brick")) {
        const int bh = 12, bw = 30;
        QVector<double> tone(64);
        for (double &t : tone)
            t = 0.45 + 0.2 * random.generateDouble();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int row = y / bh;
                const int shifted = x + (row % 2) * (bw / 2);
                const bool mortar = y % bh < 2 || shifted % bw < 2;
                const double n = fractalNoise(fine, x / 3.0, y / 3.0) - 0.5;
                v[y * w + x] = mortar ? 0.82 + 0.08 * n : tone.at((row * 7 + shifted / bw) % 64) + 0.14 * n;
            }
    } else if (pattern == QLatin1String("concrete")) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                v[y * w + x] = 0.62 + 0.14 * (fractalNoise(coarse, x / 20.0, y / 20.0) - 0.5)
                    + 0.12 * (fractalNoise(fine, x / 2.5, y / 2.5) - 0.5) - (y % 48 == 47 ? 0.12 : 0.0);
        for (int pore = 0; pore < w * h / 180; ++pore) {
            const int x = int(random.bounded(w)), y = int(random.bounded(h));
            v[y * w + x] *= 0.55;
        }
    } else {
        return QImage();
    }
    return greyscale(v, size);
}

QMap<QString, QByteArray> drawSharedTheme(const ThemeInputs &inputs)
{
    QMap<QString, QByteArray> items;
    auto image = [&items](const char *key, const QImage &picture) { items.insert(QLatin1String(key), pngBytes(picture)); };

    const QColor fresh(0x7c, 0xc4, 0xa4), warm(0xe0, 0x8a, 0x4c), calm(0x7d, 0x9c, 0xc0), rich(0x7a, 0x2e, 0x4a),
        offwhite(0xef, 0xe8, 0xda), neutral(0x9e, 0x9a, 0x92);

    image("image.widget.main.background", mainBackground(800, 600));
    image("image.widget.bar.background", barBackground(30, 30));
    image("image.widget.dropdown.arrow.up", dropdownArrow(true));
    image("image.widget.dropdown.arrow.down", dropdownArrow(false));
    items.insert(QStringLiteral("color.widget.collectionselector.text"),
                 QStringLiteral("%1,%2,%3").arg(inputs.selectorText.red()).arg(inputs.selectorText.green()).arg(inputs.selectorText.blue()).toUtf8());
    image("image.widget.color.wheel.background", colourWheel(inputs.wheelSegments));
    const std::pair<const char *, QColor> moods[] = {{"calm", calm}, {"fresh", fresh}, {"neutral", neutral},
                                                     {"offwhite", offwhite}, {"rich", rich}, {"warm", warm}};
    for (const auto &[name, colour] : moods) {
        items.insert(QStringLiteral("image.mood.%1.normal").arg(QLatin1String(name)), pngBytes(moodButton(colour, false)));
        items.insert(QStringLiteral("image.mood.%1.selected").arg(QLatin1String(name)), pngBytes(moodButton(colour, true)));
    }
    image("image.tick.normal", tick());
    image("image.mood.all.moods", allMoodsIcon({fresh, warm, calm, rich}));
    image("image.mood.external.colors.only", exteriorIcon());
    image("image.mood.disabled", disabledMark());
    image("image.widget.search.magnifying.glass", magnifyingGlass());
    image("image.widget.roll.backward.normal", rollButton(false, false));
    image("image.widget.roll.backward.down", rollButton(false, true));
    image("image.widget.roll.forward.normal", rollButton(true, false));
    image("image.widget.roll.forward.down", rollButton(true, true));

    const QColor red(0xd6, 0x3e, 0x4f), orange(0xee, 0x7b, 0x3a), yellow(0xf2, 0xc1, 0x4e), green(0x8c, 0xb3, 0x4a),
        teal(0x2f, 0x9c, 0x95), blue(0x3d, 0x5a, 0x98), violet(0x7b, 0x4f, 0xa0), grey1(0xd8, 0xd4, 0xcc),
        grey2(0xa8, 0xa4, 0x9c), grey3(0x74, 0x70, 0x6a);
    const std::pair<const char *, QVector<std::pair<double, QColor>>> schemes[] = {
        {"contrasting", {{30, orange}, {210, blue}}},
        {"dramatic", {{90, grey2}, {330, red}, {210, teal}}},
        {"dynamic", {{90, yellow}, {210, blue}, {330, red}}},
        {"harmonising", {{60, orange}, {90, yellow}, {120, green}}},
        {"tonal.neutral", {{90, grey1}, {210, grey2}, {330, grey3}}},
        {"wide.contrast", {{90, yellow}, {240, violet}, {300, blue}}},
    };
    for (const auto &[name, dots] : schemes) {
        items.insert(QStringLiteral("image.scheme.%1.normal").arg(QLatin1String(name)), pngBytes(schemeButton(dots, false)));
        items.insert(QStringLiteral("image.scheme.%1.selected").arg(QLatin1String(name)), pngBytes(schemeButton(dots, true)));
    }
    image("image.mypalette.eraser", paletteIcon(QStringLiteral("eraser")));
    image("image.mypalette.grid.off", paletteIcon(QStringLiteral("grid")));
    image("image.mypalette.trash", paletteIcon(QStringLiteral("trash")));
    image("image.mypalette.zoom", paletteIcon(QStringLiteral("zoom")));
    image("image.mypalette.clear.question.icon", clearQuestionIcon());
    image("image.mypalettefull.back", paletteIcon(QStringLiteral("back")));
    image("image.mypalettefull.slider.background", sliderGroove());
    image("image.mypalettefull.slider.background.mask", sliderMask());
    image("image.mypalettefull.slider.thumb", sliderThumb());
    image("image.prospect.group.open", groupTriangle(true));
    image("image.prospect.group.closed", groupTriangle(false));
    image("image.vertical.scrollbar.thumb", scrollbarThumb());
    image("image.complementary.neutral.marker.normal", marker(false));
    image("image.complementary.neutral.marker.selected", marker(true));
    image("image.window.icon", windowIcon());
    image("image.capsure.button.normal", paletteIcon(QStringLiteral("capsure")));
    items.insert(QStringLiteral("list.of.preferred.font.faces"), inputs.fontList.toUtf8());
    return items;
}

QMap<QString, QByteArray> drawCollectionTheme(const BannerInputs &inputs)
{
    QMap<QString, QByteArray> items;
    items.insert(QStringLiteral("image.banner"), pngBytes(banner(inputs)));
    // The same for every collection; drawn once, since the font engine's caches can
    // shift an outline by a fraction of a pixel between otherwise equal calls.
    static const QByteArray logo = pngBytes(aboutLogo());
    static const QByteArray mto = pngBytes(mtoMark());
    items.insert(QStringLiteral("image.about.logo"), logo);
    items.insert(QStringLiteral("image.mto"), mto);
    return items;
}

QImage themeContactSheet(const QMap<QString, QImage> &items)
{
    // Large pictures get a row of their own; small ones share rows, shown at 2x so
    // their detail can be judged.
    const int margin = 16, labelHeight = 16, columnWidth = 250;
    QList<std::pair<QString, QImage>> large, small;
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        (it.value().width() > 200 ? large : small).append({it.key(), it.value()});

    int height = margin;
    for (const auto &item : large)
        height += item.second.height() + labelHeight + margin;
    const int perRow = 4;
    int rowHeight = 0;
    QVector<int> rowHeights;
    for (int i = 0; i < small.size(); ++i) {
        rowHeight = std::max(rowHeight, std::min(2 * small.at(i).second.height(), 260));
        if (i % perRow == perRow - 1 || i == small.size() - 1) {
            rowHeights << rowHeight + labelHeight + margin;
            height += rowHeight + labelHeight + margin;
            rowHeight = 0;
        }
    }
    const int width = std::max(margin * 2 + perRow * columnWidth, 832);
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(0x8c, 0x8f, 0x94));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setFont(font(11));
    int y = margin;
    for (const auto &[key, picture] : large) {
        painter.setPen(Qt::black);
        painter.drawText(QRect(margin, y, width, labelHeight), Qt::AlignLeft, QStringLiteral("%1 (%2 × %3)").arg(key).arg(picture.width()).arg(picture.height()));
        painter.drawImage(margin, y + labelHeight, picture);
        y += picture.height() + labelHeight + margin;
    }
    for (int i = 0; i < small.size(); ++i) {
        const auto &[key, picture] = small.at(i);
        const int x = margin + (i % perRow) * columnWidth;
        painter.setPen(Qt::black);
        painter.drawText(QRect(x, y, columnWidth - 8, labelHeight), Qt::AlignLeft | Qt::TextSingleLine,
                         QStringLiteral("%1 (%2 × %3)").arg(key.mid(key.indexOf(QLatin1Char('.')) + 1)).arg(picture.width()).arg(picture.height()));
        const double scale = picture.height() * 2 > 260 || picture.width() * 2 > columnWidth - 8 ? 1.0 : 2.0;
        painter.drawImage(QRectF(x, y + labelHeight, picture.width() * scale, picture.height() * scale), picture);
        if (i % perRow == perRow - 1 || i == small.size() - 1)
            y += rowHeights.at(i / perRow);
    }
    return sheet;
}

} // namespace Palettra::Deck
