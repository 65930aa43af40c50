#include "GplFile.h"

#include <QStringList>

#include <algorithm>

namespace Vantor {

namespace {

// A line of the file holds no line break of its own.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

QByteArray gplBytes(const QString &name, const QVector<ExchangeChip> &chips)
{
    QString text = QStringLiteral("GIMP Palette\nName: %1\nColumns: 6\n#\n").arg(oneLine(name));
    for (const ExchangeChip &chip : chips) {
        text += QStringLiteral("%1 %2 %3\t%4\n")
                    .arg(chip.rgb.red(), 3)
                    .arg(chip.rgb.green(), 3)
                    .arg(chip.rgb.blue(), 3)
                    .arg(oneLine(exchangeLabel(chip)));
    }
    return text.toUtf8();
}

namespace {

// A component as GIMP reads it: an optional sign and digits, leading zeros and all, taken
// into 0 to 255 (a value beyond is clamped, as GIMP does). False when the word is no
// whole number.
bool component(QStringView word, int &value)
{
    qsizetype i = 0;
    const bool negative = !word.isEmpty() && word.front() == QLatin1Char('-');
    if (!word.isEmpty() && (word.front() == QLatin1Char('-') || word.front() == QLatin1Char('+')))
        ++i;
    if (i == word.size())
        return false;
    long long number = 0;
    for (; i < word.size(); ++i) {
        const char16_t c = word.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        number = std::min<long long>(number * 10 + (c - u'0'), 1000);
    }
    value = negative ? 0 : int(std::min<long long>(number, 255));
    return true;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\v')
        || c == QLatin1Char('\f');
}

// The next word of the line from `at` on, or an empty view at its end.
QStringView nextWord(QStringView line, qsizetype &at)
{
    while (at < line.size() && isBlank(line.at(at)))
        ++at;
    const qsizetype start = at;
    while (at < line.size() && !isBlank(line.at(at)))
        ++at;
    return line.mid(start, at - start);
}

} // namespace

bool readGpl(const QByteArray &bytes, ImportedPalette &palette, int maximumColours)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringView all(text);
    qsizetype lineEnd = all.indexOf(QLatin1Char('\n'));
    if (all.left(lineEnd < 0 ? all.size() : lineEnd).trimmed() != QLatin1String("GIMP Palette"))
        return false;
    palette = ImportedPalette();
    qsizetype lineStart = lineEnd < 0 ? all.size() : lineEnd + 1;
    while (lineStart < all.size() && (maximumColours < 0 || palette.colours.size() < maximumColours)) {
        lineEnd = all.indexOf(QLatin1Char('\n'), lineStart);
        const QStringView line = all.mid(lineStart, (lineEnd < 0 ? all.size() : lineEnd) - lineStart).trimmed();
        lineStart = lineEnd < 0 ? all.size() : lineEnd + 1;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1String("Columns:")))
            continue;
        if (line.startsWith(QLatin1String("Name:"))) {
            palette.description = line.mid(5).trimmed().toString();
            continue;
        }
        qsizetype at = 0;
        int channels[3];
        bool isColour = true;
        for (int &channel : channels)
            isColour = isColour && component(nextWord(line, at), channel);
        if (!isColour)
            continue;
        ImportedColour colour;
        colour.name = line.mid(at).trimmed().toString();
        colour.hasRgb = true;
        colour.rgb = QColor(channels[0], channels[1], channels[2]);
        palette.colours << colour;
    }
    return true;
}

} // namespace Vantor
