#include "JsonValues.h"
#include "TestEnvironment.h"

#include "engine/db/JsonCodec.h"

#include <QColor>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <cstdio>

using namespace Vantor::DB;

namespace {

QByteArray serialized(const QVariant &value)
{
    bool ok = false;
    const QByteArray text = serializeJson(value, ok);
    EXPECT_TRUE(ok);
    return text;
}

QVariant parsed(const QString &text, bool expectOk = true)
{
    bool ok = !expectOk;
    const QVariant value = parseJson(text, ok);
    EXPECT_EQ(ok, expectOk) << text.toStdString();
    return value;
}

TEST(JsonSerialisation, LayoutOfContainers)
{
    EXPECT_EQ(serialized(QVariantList()), QByteArray("[  ]"));
    EXPECT_EQ(serialized(QVariantMap()), QByteArray("{  }"));
    QVariantMap map;
    map.insert(QStringLiteral("b"), 2);
    map.insert(QStringLiteral("a"), QVariantList{1, QStringLiteral("x"), QVariant()});
    EXPECT_EQ(serialized(map), QByteArray("{ \"a\" : [ 1, \"x\", null ], \"b\" : 2 }"));
    EXPECT_EQ(serialized(QStringList{QStringLiteral("p"), QStringLiteral("q")}), QByteArray("[ \"p\", \"q\" ]"));
    QVariantHash hash;
    hash.insert(QStringLiteral("only"), true);
    EXPECT_EQ(serialized(hash), QByteArray("{ \"only\" : true }"));
}

TEST(JsonSerialisation, Numbers)
{
    EXPECT_EQ(serialized(2.0), QByteArray("2.0"));
    EXPECT_EQ(serialized(0.5), QByteArray("0.5"));
    EXPECT_EQ(serialized(0.1), QByteArray("0.10000000000000000555"));
    EXPECT_EQ(serialized(1e21), QByteArray("1e+21"));
    EXPECT_EQ(serialized(-7), QByteArray("-7"));
    EXPECT_EQ(serialized(qint64(-9007199254740993LL)), QByteArray("-9007199254740993"));
    EXPECT_EQ(serialized(quint64(18446744073709551615ULL)), QByteArray("18446744073709551615"));
    EXPECT_EQ(serialized(uint(4294967295U)), QByteArray("4294967295"));
    EXPECT_EQ(serialized(false), QByteArray("false"));
}

// A process running under a locale with a decimal comma still writes JSON numbers.
TEST(JsonSerialisation, NumbersIgnoreTheProcessLocale)
{
    QTemporaryDir locales;
    const QString german = locales.filePath(QStringLiteral("de_DE.UTF-8"));
    QProcess::execute(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                                                    QStringLiteral("UTF-8"), german});
    ASSERT_TRUE(QDir(german).exists()) << "localedef could not build de_DE.UTF-8";
    qputenv("LOCPATH", locales.path().toLocal8Bit());
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    char decimal[16];
    std::snprintf(decimal, sizeof decimal, "%.1f", 0.5);
    ASSERT_STREQ(decimal, "0,5"); // the locale is in force

    EXPECT_EQ(serialized(0.5), QByteArray("0.5"));
    EXPECT_EQ(serialized(0.1), QByteArray("0.10000000000000000555"));
    EXPECT_EQ(serialized(2.0), QByteArray("2.0"));
    std::setlocale(LC_NUMERIC, "C");
}

TEST(JsonSerialisation, StringEscapes)
{
    const QString text = QStringLiteral("a\\b\"c\bd\fe\nf\rg\th/é") + QChar(0x01);
    EXPECT_EQ(serialized(text), QByteArray("\"a\\\\b\\\"c\\bd\\fe\\nf\\rg\\th/\xc3\xa9\x01\""));
    EXPECT_EQ(serialized(QByteArray("raw")), QByteArray("\"raw\""));
    // Anything else that reads as text is written as its text.
    EXPECT_EQ(serialized(QColor(255, 0, 0)), QByteArray("\"#ff0000\""));
}

TEST(JsonSerialisation, UnserialisableValuesFail)
{
    bool ok = true;
    EXPECT_TRUE(serializeJson(QVariant::fromValue(QSize(1, 2)), ok).isNull());
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_TRUE(serializeJson(QVariantList{1, QVariant::fromValue(QSize(1, 2))}, ok).isNull());
    EXPECT_FALSE(ok);
}

TEST(JsonParsing, ValuesAndTrailingText)
{
    const QVariant value = parsed(QStringLiteral(" { \"b\" : [1, -2, 3.5, \"x\"], \"a\" : true, \"n\" : null } trailing"));
    ASSERT_EQ(value.typeId(), QMetaType::QVariantMap);
    const QVariantMap map = value.toMap();
    EXPECT_EQ(map.keys(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("n")}));
    const QVariantList list = map.value(QStringLiteral("b")).toList();
    EXPECT_EQ(list.at(0).typeId(), QMetaType::ULongLong);
    EXPECT_EQ(list.at(1).typeId(), QMetaType::LongLong);
    EXPECT_EQ(list.at(1).toLongLong(), -2);
    EXPECT_EQ(list.at(2).typeId(), QMetaType::Double);
    EXPECT_EQ(map.value(QStringLiteral("a")), QVariant(true));
    EXPECT_FALSE(map.value(QStringLiteral("n")).isValid());

    // A repeated key keeps the last value; an exponent without a point makes a double
    // (the writer writes large doubles so), and a run that reads as no number is 0.
    EXPECT_EQ(parsed(QStringLiteral("{\"k\":1,\"k\":2}")).toMap().value(QStringLiteral("k")).toInt(), 2);
    EXPECT_EQ(parsed(QStringLiteral("1e5")).typeId(), QMetaType::Double);
    EXPECT_EQ(parsed(QStringLiteral("1e5")).toDouble(), 100000.0);
    EXPECT_EQ(parsed(QStringLiteral("1e+20")).toDouble(), 1e20);
    EXPECT_EQ(parsed(QStringLiteral("1e-+5")).toULongLong(), 0u);
    EXPECT_DOUBLE_EQ(parsed(QStringLiteral("1.5e2")).toDouble(), 150.0);
}

TEST(JsonParsing, Strings)
{
    EXPECT_EQ(parsed(QStringLiteral("\"a\\\"b\\\\c\\/d\\n\\u00e9\\q\"")).toString(), QStringLiteral("a\"b\\c/d\né"));
    // A backslash before the closing quote escapes it: the string goes on.
    EXPECT_EQ(parsed(QStringLiteral("\"ab\\\" cd\"")).toString(), QStringLiteral("ab\" cd"));
    EXPECT_FALSE(parsed(QStringLiteral("\"unterminated"), false).isValid());
    EXPECT_FALSE(parsed(QStringLiteral("\"\\u12\""), false).isValid());
    EXPECT_FALSE(parsed(QStringLiteral("\"\\u12zz\""), false).isValid());
}

TEST(JsonParsing, Failures)
{
    bool ok = false;
    EXPECT_FALSE(parseJson(QString(), ok).isValid());
    EXPECT_TRUE(ok); // no text at all is not an error
    parsed(QStringLiteral(""), false);
    parsed(QStringLiteral("   "), false);
    parsed(QStringLiteral("nope"), false);
    EXPECT_EQ(parsed(QStringLiteral("{\"a\" 1}"), false).typeId(), QMetaType::QVariantMap);
    EXPECT_TRUE(parsed(QStringLiteral("{\"a\" : 1"), false).toMap().isEmpty());
    EXPECT_TRUE(parsed(QStringLiteral("[1, 2"), false).toList().isEmpty());
    EXPECT_TRUE(parsed(QStringLiteral("[1, }"), false).toList().isEmpty());
}

TEST(JsonParsing, DeepNestingFailsInsteadOfExhaustingTheStack)
{
    const int depth = 100000;
    QString deep = QString(depth, QLatin1Char('[')) + QString(depth, QLatin1Char(']'));
    parsed(deep, false);
    QString objects;
    for (int i = 0; i < depth; ++i)
        objects += QStringLiteral("{\"a\":");
    parsed(objects, false);

    const QString fine = QString(MaximumJsonNesting, QLatin1Char('[')) + QString(MaximumJsonNesting, QLatin1Char(']'));
    parsed(fine, true);
    const QString tooDeep = QString(MaximumJsonNesting + 1, QLatin1Char('[')) + QString(MaximumJsonNesting + 1, QLatin1Char(']'));
    parsed(tooDeep, false);
}

TEST(JsonRoundTrip, SerialisedRecordsParseBack)
{
    QVariantMap map;
    map.insert(QStringLiteral("name"), QStringLiteral("Tab\tand \"quotes\" \\ ü"));
    map.insert(QStringLiteral("id"), qint64(123456789012LL));
    map.insert(QStringLiteral("ratio"), 0.25);
    map.insert(QStringLiteral("list"), QVariantList{QStringLiteral("x"), false});
    const QVariant back = parsed(QString::fromUtf8(serialized(map)));
    const QVariantMap result = back.toMap();
    EXPECT_EQ(result.value(QStringLiteral("name")).toString(), map.value(QStringLiteral("name")).toString());
    EXPECT_EQ(result.value(QStringLiteral("id")).toLongLong(), 123456789012LL);
    EXPECT_DOUBLE_EQ(result.value(QStringLiteral("ratio")).toDouble(), 0.25);
    EXPECT_EQ(result.value(QStringLiteral("list")).toList().size(), 2);
}

// Whatever the writer writes, its parser reads back as the same value: numbers by value
// (a non-negative integer comes back unsigned), including doubles that print with an
// exponent, infinities and what is not a number; texts unit by unit, including
// surrogates without their partner.
QVariant randomValue(QRandomGenerator &random, int depth)
{
    switch (random.bounded(depth > 3 ? 5 : 7)) {
    case 0: return QVariant();
    case 1: return random.bounded(2) == 1;
    case 2: {
        const double special[] = {0.0, -0.0, 0.1, 1e20, 1e21, -1e300, 5e-324, 1.7976931348623157e308,
                                  std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
        if (random.bounded(2) == 0)
            return special[random.bounded(int(std::size(special)))];
        quint64 bits = random.generate64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    case 3: return qint64(random.generate64());
    case 4: {
        QString text;
        const int length = random.bounded(12);
        for (int i = 0; i < length; ++i) {
            // Any code unit, lone surrogates and controls included.
            text += QChar(char16_t(random.bounded(4) == 0 ? 0xD800 + random.bounded(0x800) : random.bounded(0x10000)));
        }
        return text;
    }
    case 5: {
        QVariantList list;
        const int size = random.bounded(5);
        for (int i = 0; i < size; ++i)
            list << randomValue(random, depth + 1);
        return list;
    }
    default: {
        QVariantMap map;
        const int size = random.bounded(5);
        for (int i = 0; i < size; ++i)
            map.insert(randomValue(random, 99).toString(), randomValue(random, depth + 1));
        return map;
    }
    }
}

TEST(JsonRoundTrip, EverythingTheWriterWritesParsesBack)
{
    EXPECT_EQ(serialized(std::numeric_limits<double>::infinity()), QByteArray("1e999"));
    EXPECT_EQ(serialized(-std::numeric_limits<double>::infinity()), QByteArray("-1e999"));
    EXPECT_EQ(serialized(std::numeric_limits<double>::quiet_NaN()), QByteArray("NaN"));
    EXPECT_EQ(serialized(QString(QChar(0xD800)) + QStringLiteral("a")), QByteArray("\"\\uD800a\""));
    // A proper pair stays UTF-8.
    EXPECT_EQ(serialized(QString::fromUtf8("\xf0\x9f\x8e\xa8")), QByteArray("\"\xf0\x9f\x8e\xa8\""));

    QRandomGenerator random(2026);
    for (int round = 0; round < 3000; ++round) {
        const QVariant value = randomValue(random, 0);
        bool written = false;
        const QByteArray bytes = serializeJson(value, written);
        ASSERT_TRUE(written);
        bool read = false;
        const QVariant back = parseJson(QString::fromUtf8(bytes), read);
        ASSERT_TRUE(read) << bytes.toStdString();
        ASSERT_TRUE(Palettra::Test::sameJsonValue(value, back)) << bytes.toStdString();
    }
}

} // namespace
