#include "ColourValueText.h"

#include "engine/db/CollectionLookups.h"

#include <QRegularExpression>

#include <cmath>

namespace Vantor {

namespace {

// Three numbers separated by blanks or commas; false unless there are exactly three and
// all are finite.
bool threeNumbers(const QString &text, double values[3], bool wholeNumbers[3])
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QStringList parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return false;
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    for (int i = 0; i < 3; ++i) {
        if (!number.match(parts.at(i)).hasMatch())
            return false;
        bool ok = false;
        values[i] = parts.at(i).toDouble(&ok);
        if (!ok || !std::isfinite(values[i]))
            return false;
        wholeNumbers[i] = !parts.at(i).contains(QLatin1Char('.')) && !parts.at(i).startsWith(QLatin1Char('+'))
            && !parts.at(i).startsWith(QLatin1Char('-'));
    }
    return true;
}

bool fromRgb(const double values[3], LabColour &lab)
{
    for (int i = 0; i < 3; ++i) {
        if (values[i] < 0.0 || values[i] > 255.0 || values[i] != std::floor(values[i]))
            return false;
    }
    lab = labFromColour(QColor(int(values[0]), int(values[1]), int(values[2])));
    return true;
}

bool fromLab(const double values[3], LabColour &lab)
{
    if (values[0] < 0.0 || values[0] > 100.0 || std::fabs(values[1]) > 200.0 || std::fabs(values[2]) > 200.0)
        return false;
    lab = {values[0], values[1], values[2]};
    return true;
}

// The numbers of "name( … )", or of "name …" and "name: …" as some tools write them
// ("RGB 86 189 198", "Lab: 71 -27 -14"); null when the text is of neither form.
QString inside(const QString &text, const QString &name)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(name + QLatin1Char('('), Qt::CaseInsensitive) && trimmed.endsWith(QLatin1Char(')')))
        return trimmed.mid(name.size() + 1, trimmed.size() - name.size() - 2);
    static const QRegularExpression named(QStringLiteral("^([A-Za-z]+)\\s*:?\\s+([-+.0-9].*)$"));
    const QRegularExpressionMatch match = named.match(trimmed);
    if (match.hasMatch() && match.captured(1).compare(name, Qt::CaseInsensitive) == 0)
        return match.captured(2);
    return QString();
}

} // namespace

bool parseColourValue(const QString &text, LabColour &lab)
{
    const QString trimmed = text.trimmed();
    static const QRegularExpression hex(QStringLiteral("^#([0-9A-Fa-f]{3}|[0-9A-Fa-f]{6})$"));
    if (const QRegularExpressionMatch match = hex.match(trimmed); match.hasMatch()) {
        QString digits = match.captured(1);
        if (digits.size() == 3)
            digits = QString(digits.at(0)) + digits.at(0) + digits.at(1) + digits.at(1) + digits.at(2) + digits.at(2);
        lab = labFromColour(QColor(QLatin1Char('#') + digits));
        return true;
    }
    double values[3];
    bool whole[3];
    if (const QString rgb = inside(trimmed, QStringLiteral("rgb")); !rgb.isNull())
        return threeNumbers(rgb, values, whole) && fromRgb(values, lab);
    if (const QString labText = inside(trimmed, QStringLiteral("lab")); !labText.isNull())
        return threeNumbers(labText, values, whole) && fromLab(values, lab);
    // "L* a* b*": each number marked with an asterisk.
    static const QRegularExpression starred(QStringLiteral("^\\s*(\\S+)\\*[\\s,]+(\\S+)\\*[\\s,]+(\\S+)\\*\\s*$"));
    if (const QRegularExpressionMatch match = starred.match(trimmed); match.hasMatch()) {
        return threeNumbers(match.captured(1) + QLatin1Char(' ') + match.captured(2) + QLatin1Char(' ') + match.captured(3),
                            values, whole)
            && fromLab(values, lab);
    }
    if (!threeNumbers(trimmed, values, whole))
        return false;
    if (whole[0] && whole[1] && whole[2])
        return fromRgb(values, lab);
    return fromLab(values, lab);
}

bool looksLikeColourValue(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(#|(rgb|lab)\\s*(\\(|:?\\s+[-+.0-9]))"),
                                         QRegularExpression::CaseInsensitiveOption);
    return form.match(text).hasMatch();
}

bool parseBareHexColour(const QString &text, LabColour &lab)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    const QString trimmed = text.trimmed();
    if (!hex.match(trimmed).hasMatch())
        return false;
    lab = labFromColour(QColor(QLatin1Char('#') + trimmed));
    return true;
}

QString colourInWords(const QString &code, const QString &name, const QColor &rgb, const LabColour &lab)
{
    const QString label = name.isEmpty() ? code : code + QLatin1Char(' ') + name;
    return QStringLiteral("%1 \u2014 %2 \u2014 rgb(%3, %4, %5) \u2014 Lab(%6, %7, %8)")
        .arg(label.trimmed(), rgb.name(QColor::HexRgb).toUpper())
        .arg(rgb.red())
        .arg(rgb.green())
        .arg(rgb.blue())
        .arg(lab.l, 0, 'f', 2)
        .arg(lab.a, 0, 'f', 2)
        .arg(lab.b, 0, 'f', 2);
}

QString chipCodeAndName(const DB::ColorEntry &chip)
{
    const QVector<int> &order = DB::rowNameDisplayOrder();
    const QString name = order.isEmpty() ? QString() : chip.name(order.constFirst());
    return name.isEmpty() ? chip.code : chip.code + QLatin1Char(' ') + name;
}

QString chipInWords(const DB::ColorEntry &chip)
{
    return colourInWords(chipCodeAndName(chip), QString(), QColor(chip.red, chip.green, chip.blue), chipLab(chip));
}

} // namespace Vantor
