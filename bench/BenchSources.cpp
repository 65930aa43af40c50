#include "BenchSources.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTextStream>

namespace Palettra::Bench {

namespace {

QJsonObject readJson(const QString &file)
{
    QFile in(file);
    in.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(in.readAll()).object();
}

bool writeJson(const QString &file, const QJsonObject &object)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(QJsonDocument(object).toJson()) > 0;
}

bool writeColours(const QString &file, int colours)
{
    QFile csv(file);
    if (!csv.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&csv);
    out << "code,name0,extra0,red,green,blue\n";
    QRandomGenerator random{quint32(colours)};
    for (int i = 1; i <= colours; ++i) {
        const quint32 rgb = random.generate();
        out << QStringLiteral("G %1,Colour %2,Light reflectance %3%,%4,%5,%6\n")
                   .arg(i, 6, 10, QLatin1Char('0'))
                   .arg(i)
                   .arg(random.bounded(100))
                   .arg((rgb >> 16) & 0xff)
                   .arg((rgb >> 8) & 0xff)
                   .arg(rgb & 0xff);
    }
    return out.status() == QTextStream::Ok;
}

} // namespace

bool writeGeneratedSource(const QString &folder, const QVector<GeneratedCollection> &collections, bool trends)
{
    const QString demo = QStringLiteral(PALETTRA_DEMO_SOURCE);
    QJsonObject deck = readJson(demo + QStringLiteral("/deck.json"));
    const QJsonObject interior = readJson(demo + QStringLiteral("/interior/collection.json"));
    if (deck.isEmpty() || interior.isEmpty() || collections.isEmpty())
        return false;
    QJsonArray names;
    int order = 1;
    for (const GeneratedCollection &generated : collections) {
        names.append(generated.folder);
        QJsonObject collection = interior;
        if (!generated.uuid.isNull()) {
            collection.insert(QStringLiteral("uuid"), generated.uuid.toString());
            collection.insert(QStringLiteral("systemId"), generated.folder.toUpper());
            collection.insert(QStringLiteral("name"), QStringLiteral("Generated %1").arg(generated.colours));
        }
        collection.insert(QStringLiteral("order"), order++);
        QJsonArray groups;
        if (trends) {
            QJsonArray entries;
            for (int i = 1; i <= 12; ++i)
                entries.append(QJsonObject{{QStringLiteral("code"), QStringLiteral("G %1").arg(i * 7, 6, 10, QLatin1Char('0'))}});
            groups.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("Trends")},
                                      {QStringLiteral("defaultOpen"), true},
                                      {QStringLiteral("order"), 1},
                                      {QStringLiteral("entries"), entries}});
        }
        collection.insert(QStringLiteral("trendGroups"), groups);
        const QString path = folder + QLatin1Char('/') + generated.folder;
        if (!QDir().mkpath(path) || !writeJson(path + QStringLiteral("/collection.json"), collection)
            || !writeColours(path + QStringLiteral("/colours.csv"), generated.colours))
            return false;
    }
    deck.insert(QStringLiteral("collections"), names);
    deck.insert(QStringLiteral("trendGroups"), QJsonArray());
    QJsonObject theme = deck.value(QStringLiteral("theme")).toObject();
    theme.insert(QStringLiteral("wheelCollection"), collections.constFirst().folder);
    deck.insert(QStringLiteral("theme"), theme);
    return writeJson(folder + QStringLiteral("/deck.json"), deck);
}

} // namespace Palettra::Bench
