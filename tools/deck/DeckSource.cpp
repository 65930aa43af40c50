#include "DeckSource.h"

#include <QDir>
#include <QHash>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

namespace Palettra::Deck {

namespace {

bool readJson(const QString &path, QJsonObject &object, QStringList &problems)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problems << QStringLiteral("%1: cannot be read").arg(path);
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        problems << QStringLiteral("%1: not a JSON object (%2 at offset %3)").arg(path, error.errorString()).arg(error.offset);
        return false;
    }
    object = document.object();
    return true;
}

std::optional<bool> flag(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t.isEmpty())
        return std::nullopt;
    return t == QLatin1String("1") || t == QLatin1String("yes") || t == QLatin1String("true");
}

std::optional<int> integer(const QString &text, bool &ok)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const int value = t.toInt(&ok);
    return value;
}

bool readColours(const QString &path, SourceCollection &collection, QStringList &problems)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problems << QStringLiteral("%1: cannot be read").arg(path);
        return false;
    }
    const QVector<QStringList> rows = parseCsv(QString::fromUtf8(file.readAll()));
    if (rows.isEmpty()) {
        problems << QStringLiteral("%1: no header line").arg(path);
        return false;
    }
    QHash<QString, int> columns;
    for (int i = 0; i < rows.first().size(); ++i)
        columns.insert(rows.first().at(i).trimmed().toLower(), i);
    if (!columns.contains(QStringLiteral("code"))) {
        problems << QStringLiteral("%1: the header has no code column").arg(path);
        return false;
    }
    const bool hasRgb = columns.contains(QStringLiteral("red")) && columns.contains(QStringLiteral("green"))
        && columns.contains(QStringLiteral("blue"));
    const bool hasLab = columns.contains(QStringLiteral("lab_l")) && columns.contains(QStringLiteral("lab_a"))
        && columns.contains(QStringLiteral("lab_b"));
    if (!hasRgb && !hasLab) {
        problems << QStringLiteral("%1: needs red, green, blue or lab_l, lab_a, lab_b columns").arg(path);
        return false;
    }

    const int before = problems.size();
    for (int r = 1; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        if (row.size() == 1 && row.first().trimmed().isEmpty())
            continue;
        auto field = [&](const QString &name) {
            const int index = columns.value(name, -1);
            return index >= 0 && index < row.size() ? row.at(index) : QString();
        };
        SourceColour colour;
        colour.line = r + 1;
        const QString where = QStringLiteral("%1:%2").arg(path).arg(colour.line);
        colour.code = field(QStringLiteral("code")).trimmed();
        if (colour.code.isEmpty())
            problems << where + QStringLiteral(": empty code");
        for (int i = 0; i < 10; ++i) {
            colour.names << field(QStringLiteral("name%1").arg(i)).trimmed();
            colour.extras << field(QStringLiteral("extra%1").arg(i)).trimmed();
        }
        bool ok = true;
        bool colourGiven = false;
        if (hasRgb && !field(QStringLiteral("red")).trimmed().isEmpty()) {
            colourGiven = true;
            bool okR = false, okG = false, okB = false;
            const int red = field(QStringLiteral("red")).trimmed().toInt(&okR);
            const int green = field(QStringLiteral("green")).trimmed().toInt(&okG);
            const int blue = field(QStringLiteral("blue")).trimmed().toInt(&okB);
            if (!okR || !okG || !okB || red < 0 || red > 255 || green < 0 || green > 255 || blue < 0 || blue > 255)
                problems << where + QStringLiteral(": red, green and blue must be whole numbers from 0 to 255");
            else
                colour.rgb = QColor(red, green, blue);
        }
        if (hasLab && !field(QStringLiteral("lab_l")).trimmed().isEmpty()) {
            colourGiven = true;
            bool okL = false, okA = false, okB = false;
            const std::array<double, 3> lab{field(QStringLiteral("lab_l")).trimmed().toDouble(&okL),
                                            field(QStringLiteral("lab_a")).trimmed().toDouble(&okA),
                                            field(QStringLiteral("lab_b")).trimmed().toDouble(&okB)};
            if (!okL || !okA || !okB || lab[0] < 0 || lab[0] > 100 || lab[1] < -128 || lab[1] > 127 || lab[2] < -128
                || lab[2] > 127)
                problems << where + QStringLiteral(": lab_l from 0 to 100, lab_a and lab_b from -128 to 127");
            else
                colour.lab = lab;
        }
        if (!colourGiven)
            problems << where + QStringLiteral(": no colour (RGB or CIELAB)");
        colour.card = integer(field(QStringLiteral("card")), ok);
        colour.position = integer(field(QStringLiteral("position")), ok);
        colour.segment = integer(field(QStringLiteral("segment")), ok);
        if (!ok)
            problems << where + QStringLiteral(": card, position and segment must be whole numbers");
        const QString mood = field(QStringLiteral("mood")).trimmed();
        if (!mood.isEmpty()) {
            bool numeric = false;
            const int number = mood.toInt(&numeric);
            colour.mood = numeric ? number : moodFromWord(mood);
            if (*colour.mood < 1 || *colour.mood > 6)
                problems << where + QStringLiteral(": unknown mood %1").arg(mood);
        }
        colour.exterior = flag(field(QStringLiteral("exterior")));
        colour.mto = flag(field(QStringLiteral("mto")));
        colour.neutral = flag(field(QStringLiteral("neutral")));
        colour.white = flag(field(QStringLiteral("white")));
        collection.colours.append(colour);
    }
    return problems.size() == before;
}

} // namespace

QVector<QStringList> parseCsv(const QString &text)
{
    QVector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            row << field;
            rows << row;
            row.clear();
            field.clear();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row << field;
        rows << row;
    }
    return rows;
}

int moodFromWord(const QString &word)
{
    const QStringList words{QStringLiteral("fresh"), QStringLiteral("warm"), QStringLiteral("calm"),
                            QStringLiteral("rich"), QStringLiteral("offwhite"), QStringLiteral("neutral")};
    QString folded = word.trimmed().toLower();
    folded.remove(QLatin1Char('-'));
    return int(words.indexOf(folded)) + 1;
}

QString SourceCollection::setting(const QString &key, const QString &fallback) const
{
    const QJsonValue value = settings.value(key);
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble());
    return fallback;
}

double SourceCollection::numberSetting(const QString &key, double fallback) const
{
    const QJsonValue value = settings.value(key);
    if (value.isDouble())
        return value.toDouble();
    bool ok = false;
    const double number = value.toString().toDouble(&ok);
    return ok ? number : fallback;
}

const SourceCollection *DeckSource::collection(const QString &folder) const
{
    for (const SourceCollection &candidate : collections) {
        if (candidate.folder == folder)
            return &candidate;
    }
    return nullptr;
}

bool readDeckSource(const QString &folder, DeckSource &source, QStringList &problems)
{
    const QDir dir(folder);
    QJsonObject deck;
    if (!readJson(dir.filePath(QStringLiteral("deck.json")), deck, problems))
        return false;
    source.theme = deck.value(QStringLiteral("theme")).toObject();
    source.settings = deck.value(QStringLiteral("settings")).toObject();
    source.texts = deck.value(QStringLiteral("texts")).toObject();
    source.textures = deck.value(QStringLiteral("textures")).toArray();
    source.trendGroups = deck.value(QStringLiteral("trendGroups")).toArray();

    const QJsonArray folders = deck.value(QStringLiteral("collections")).toArray();
    if (folders.isEmpty())
        problems << QStringLiteral("%1: lists no collections").arg(dir.filePath(QStringLiteral("deck.json")));
    for (const QJsonValue &entry : folders) {
        SourceCollection collection;
        collection.folder = entry.toString();
        const QDir collectionDir(dir.filePath(collection.folder));
        QJsonObject meta;
        if (!readJson(collectionDir.filePath(QStringLiteral("collection.json")), meta, problems))
            continue;
        const QString where = collectionDir.filePath(QStringLiteral("collection.json"));
        collection.uuid = QUuid(meta.value(QStringLiteral("uuid")).toString());
        collection.systemId = meta.value(QStringLiteral("systemId")).toString();
        collection.name = meta.value(QStringLiteral("name")).toString();
        collection.order = meta.value(QStringLiteral("order")).toInt(1);
        collection.banner = meta.value(QStringLiteral("banner")).toObject();
        collection.settings = meta.value(QStringLiteral("settings")).toObject();
        collection.texts = meta.value(QStringLiteral("texts")).toObject();
        collection.productGroups = meta.value(QStringLiteral("productGroups")).toArray();
        collection.products = meta.value(QStringLiteral("products")).toArray();
        collection.trendGroups = meta.value(QStringLiteral("trendGroups")).toArray();
        if (collection.uuid.isNull())
            problems << where + QStringLiteral(": uuid is missing or not a UUID");
        if (collection.systemId.isEmpty() || collection.name.isEmpty())
            problems << where + QStringLiteral(": systemId and name are required");
        readColours(collectionDir.filePath(QStringLiteral("colours.csv")), collection, problems);
        source.collections.append(collection);
    }
    return problems.isEmpty();
}

} // namespace Palettra::Deck
