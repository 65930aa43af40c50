#include "JsonCodec.h"

#include <QHash>
#include <QMap>
#include <QStringList>

#include <charconv>
#include <cmath>
#include <limits>

namespace Vantor::DB {

namespace {

enum class Token { None, ObjectStart, ObjectEnd, ArrayStart, ArrayEnd, Colon, Comma, String, Number, True, False, Null, NotANumber };

class Parser
{
public:
    explicit Parser(const QString &text)
        : m_text(text)
    {
    }

    QVariant parseValue(bool &ok, int depth)
    {
        switch (peekToken()) {
        case Token::String:
            return parseString(ok);
        case Token::Number:
            return parseNumber();
        case Token::ObjectStart:
            return parseObject(ok, depth + 1);
        case Token::ArrayStart:
            return parseArray(ok, depth + 1);
        case Token::True:
            m_position += 4;
            return true;
        case Token::False:
            m_position += 5;
            return false;
        case Token::Null:
            m_position += 4;
            return QVariant();
        case Token::NotANumber:
            m_position += 3;
            return std::numeric_limits<double>::quiet_NaN();
        default:
            ok = false;
            return QVariant();
        }
    }

private:
    static bool isWhitespace(QChar c)
    {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
    }

    void skipWhitespace()
    {
        while (m_position < m_text.size() && isWhitespace(m_text.at(m_position)))
            ++m_position;
    }

    bool startsWithWord(const char *word) const
    {
        return QStringView(m_text).mid(m_position).startsWith(QLatin1String(word));
    }

    Token peekToken()
    {
        skipWhitespace();
        if (m_position >= m_text.size())
            return Token::None;
        const QChar c = m_text.at(m_position);
        switch (c.unicode()) {
        case '{': return Token::ObjectStart;
        case '}': return Token::ObjectEnd;
        case '[': return Token::ArrayStart;
        case ']': return Token::ArrayEnd;
        case ':': return Token::Colon;
        case ',': return Token::Comma;
        case '"': return Token::String;
        default: break;
        }
        if (c == QLatin1Char('-') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return Token::Number;
        if (startsWithWord("true"))
            return Token::True;
        if (startsWithWord("false"))
            return Token::False;
        if (startsWithWord("null"))
            return Token::Null;
        // What the writer gives for a double that is not a number (JSON has no word for it).
        if (startsWithWord("NaN"))
            return Token::NotANumber;
        return Token::None;
    }

    QVariant parseObject(bool &ok, int depth)
    {
        ++m_position; // "{"
        QVariantMap map;
        if (depth > MaximumJsonNesting) {
            ok = false;
            return QVariantMap();
        }
        for (;;) {
            const Token token = peekToken();
            if (token == Token::None) {
                ok = false;
                return QVariantMap();
            }
            if (token == Token::Comma) {
                ++m_position;
                continue;
            }
            if (token == Token::ObjectEnd) {
                ++m_position;
                return map;
            }
            // The character where the key starts is taken as its opening quote.
            const QVariant key = parseString(ok);
            if (!ok)
                return QVariantMap();
            if (peekToken() != Token::Colon) {
                ok = false;
                return QVariantMap();
            }
            ++m_position;
            const QVariant value = parseValue(ok, depth);
            if (!ok)
                return QVariantMap();
            map.insert(key.toString(), value);
        }
    }

    QVariant parseArray(bool &ok, int depth)
    {
        ++m_position; // "["
        QVariantList list;
        if (depth > MaximumJsonNesting) {
            ok = false;
            return QVariantList();
        }
        for (;;) {
            const Token token = peekToken();
            if (token == Token::None) {
                ok = false;
                return QVariantList();
            }
            if (token == Token::Comma) {
                ++m_position;
                continue;
            }
            if (token == Token::ArrayEnd) {
                ++m_position;
                return list;
            }
            const QVariant value = parseValue(ok, depth);
            if (!ok)
                return QVariantList();
            list.append(value);
        }
    }

    QVariant parseString(bool &ok)
    {
        skipWhitespace();
        ++m_position; // the opening quote
        QString result;
        while (m_position < m_text.size()) {
            const QChar c = m_text.at(m_position++);
            if (c == QLatin1Char('"'))
                return result;
            if (c != QLatin1Char('\\')) {
                result.append(c);
                continue;
            }
            if (m_position >= m_text.size())
                break;
            const QChar escaped = m_text.at(m_position++);
            switch (escaped.unicode()) {
            case '"': result.append(QLatin1Char('"')); break;
            case '\\': result.append(QLatin1Char('\\')); break;
            case '/': result.append(QLatin1Char('/')); break;
            case 'b': result.append(QLatin1Char('\b')); break;
            case 'f': result.append(QLatin1Char('\f')); break;
            case 'n': result.append(QLatin1Char('\n')); break;
            case 'r': result.append(QLatin1Char('\r')); break;
            case 't': result.append(QLatin1Char('\t')); break;
            case 'u': {
                if (m_text.size() - m_position < 4) {
                    ok = false;
                    return QVariant();
                }
                bool isHex = false;
                const ushort unit = m_text.mid(m_position, 4).toUShort(&isHex, 16);
                if (!isHex) {
                    ok = false;
                    return QVariant();
                }
                result.append(QChar(unit));
                m_position += 4;
                break;
            }
            default:
                break; // an unknown escape drops both characters
            }
        }
        ok = false;
        return QVariant();
    }

    QVariant parseNumber()
    {
        const qsizetype start = m_position;
        while (m_position < m_text.size() && QStringView(u"0123456789+-.eE").contains(m_text.at(m_position)))
            ++m_position;
        const QString run = m_text.mid(start, m_position - start);
        if (run.contains(QLatin1Char('.')))
            return run.toDouble();
        // An exponent without a point, as the writer gives large doubles ("1e+21") and
        // infinities ("1e999"): a double when it reads as one.
        if (run.contains(QLatin1Char('e')) || run.contains(QLatin1Char('E'))) {
            bool isDouble = false;
            const double value = run.toDouble(&isDouble);
            if (isDouble || std::isinf(value))
                return value;
        }
        if (run.startsWith(QLatin1Char('-')))
            return run.toLongLong();
        return run.toULongLong();
    }

    const QString &m_text;
    qsizetype m_position = 0;
};

QByteArray stringForm(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += QLatin1Char('"');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\': escaped += QLatin1String("\\\\"); continue;
        case '"': escaped += QLatin1String("\\\""); continue;
        case '\b': escaped += QLatin1String("\\b"); continue;
        case '\f': escaped += QLatin1String("\\f"); continue;
        case '\n': escaped += QLatin1String("\\n"); continue;
        case '\r': escaped += QLatin1String("\\r"); continue;
        case '\t': escaped += QLatin1String("\\t"); continue;
        default: break;
        }
        // A surrogate without its partner has no UTF-8 form: it is written as a \u
        // escape, which the parser reads back as that code unit.
        const bool paired = (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            || (c.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate());
        if (c.isSurrogate() && !paired)
            escaped += QStringLiteral("\\u%1").arg(QString::number(c.unicode(), 16).toUpper());
        else
            escaped += c;
    }
    escaped += QLatin1Char('"');
    return escaped.toUtf8();
}

QByteArray doubleForm(double value)
{
    // JSON has no infinities: a number too large for a double reads back as one. Nor has
    // it a word for what is not a number; the parser reads "NaN".
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "1e999" : "-1e999";
    // printf's "%.20g", but in the C locale whatever the process's locale is: a decimal
    // comma is not JSON.
    char buffer[64];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 20);
    QByteArray text(buffer, int(written.ptr - buffer));
    if (!text.contains('.') && !text.contains('e'))
        text.append(".0");
    return text;
}

template<typename Map>
QByteArray serializeMap(const Map &map, bool &ok)
{
    QList<QByteArray> members;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QByteArray value = serializeJson(it.value(), ok);
        if (!ok)
            return QByteArray();
        members << stringForm(it.key()) + " : " + value;
    }
    return "{ " + members.join(", ") + " }";
}

} // namespace

QVariant parseJson(const QString &text, bool &ok)
{
    ok = true;
    if (text.isNull())
        return QVariant();
    Parser parser(text);
    return parser.parseValue(ok, 0);
}

QByteArray serializeJson(const QVariant &value, bool &ok)
{
    ok = true;
    const int type = value.typeId();
    if (!value.isValid())
        return "null";
    if (type == QMetaType::QVariantList || type == QMetaType::QStringList) {
        QList<QByteArray> elements;
        for (const QVariant &element : value.toList()) {
            const QByteArray text = serializeJson(element, ok);
            if (!ok)
                return QByteArray();
            elements << text;
        }
        return "[ " + elements.join(", ") + " ]";
    }
    if (type == QMetaType::QVariantHash)
        return serializeMap(value.toHash(), ok);
    if (type == QMetaType::QVariantMap)
        return serializeMap(value.toMap(), ok);
    if (type == QMetaType::QString || type == QMetaType::QByteArray)
        return stringForm(value.toString());
    if (type == QMetaType::Double || type == QMetaType::Float)
        return doubleForm(value.toDouble());
    if (type == QMetaType::Bool)
        return value.toBool() ? "true" : "false";
    if (type == QMetaType::ULongLong)
        return QByteArray::number(value.toULongLong());
    if (value.canConvert<qlonglong>())
        return QByteArray::number(value.toLongLong());
    if (value.canConvert<QString>())
        return stringForm(value.toString());
    ok = false;
    return QByteArray();
}

QByteArray serializeJson(const QVariant &value)
{
    bool ok = true;
    return serializeJson(value, ok);
}

} // namespace Vantor::DB
