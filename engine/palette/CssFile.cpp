#include "CssFile.h"

#include <QSet>

namespace Vantor {

namespace {

// Comment text cannot end the comment early.
QString commentText(QString text)
{
    text.replace(QLatin1String("*/"), QLatin1String("* /"));
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

QString cssIdentifier(const QString &code)
{
    QString identifier;
    bool pendingDash = false;
    for (const QChar c : code) {
        const bool kept = (c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('_')))
            || (c.unicode() >= 128 && c.isLetterOrNumber());
        if (!kept) {
            pendingDash = true;
            continue;
        }
        if (pendingDash && !identifier.isEmpty())
            identifier += QLatin1Char('-');
        pendingDash = false;
        identifier += c.unicode() < 128 ? c.toLower() : c;
    }
    return identifier.isEmpty() ? QStringLiteral("colour") : identifier;
}

QByteArray cssBytes(const QString &description, const QVector<ExchangeChip> &chips)
{
    QString text = QStringLiteral("/* %1 */\n:root {\n").arg(commentText(description));
    // Codes that differ only in case, blanks or punctuation make the same name: the
    // repeats get "-2", "-3", … so that every colour of the palette stays in the file.
    QSet<QString> used;
    for (const ExchangeChip &chip : chips) {
        const QString base = cssIdentifier(chip.code);
        QString identifier = base;
        for (int n = 2; used.contains(identifier); ++n)
            identifier = QStringLiteral("%1-%2").arg(base).arg(n);
        used.insert(identifier);
        QStringList named{chip.code};
        for (const QString &name : chip.names) {
            if (!name.isEmpty())
                named << name;
        }
        text += QStringLiteral("  --%1: %2; /* %3 */\n")
                    .arg(identifier, chip.rgb.name(QColor::HexRgb), commentText(named.join(QStringLiteral(", "))));
    }
    text += QStringLiteral("}\n");
    return text.toUtf8();
}

} // namespace Vantor
