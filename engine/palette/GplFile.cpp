#include "GplFile.h"

#include <QRegularExpression>
#include <QStringList>

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

bool readGpl(const QByteArray &bytes, ImportedPalette &palette)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.first().trimmed() != QLatin1String("GIMP Palette"))
        return false;
    static const QRegularExpression colourLine(QStringLiteral("^\\s*(\\d{1,3})\\s+(\\d{1,3})\\s+(\\d{1,3})(?:\\s+(.*))?$"));
    palette = ImportedPalette();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1String("Columns:")))
            continue;
        if (line.startsWith(QLatin1String("Name:"))) {
            palette.description = line.mid(5).trimmed();
            continue;
        }
        const QRegularExpressionMatch match = colourLine.match(line);
        if (!match.hasMatch())
            continue;
        const int red = match.captured(1).toInt();
        const int green = match.captured(2).toInt();
        const int blue = match.captured(3).toInt();
        if (red > 255 || green > 255 || blue > 255)
            continue;
        ImportedColour colour;
        colour.name = match.captured(4).trimmed();
        colour.hasRgb = true;
        colour.rgb = QColor(red, green, blue);
        palette.colours << colour;
    }
    return true;
}

} // namespace Vantor
