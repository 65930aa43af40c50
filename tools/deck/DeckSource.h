#pragma once

// The source of a collection database as a data team keeps it: a folder with deck.json
// (what the whole file shares) and one folder per collection with collection.json and
// colours.csv.

#include <QColor>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVector>

#include <array>
#include <optional>

namespace Palettra::Deck {

// One line of colours.csv. Optional columns that are absent stay unset and are derived.
struct SourceColour
{
    int line = 0;
    QString code;
    QStringList names;  // name0..name9
    QStringList extras; // extra0..extra9
    std::optional<QColor> rgb;
    std::optional<std::array<double, 3>> lab;
    std::optional<int> card;
    std::optional<int> position;
    std::optional<int> segment;
    std::optional<int> mood;
    std::optional<bool> exterior;
    std::optional<bool> mto;
    std::optional<bool> neutral;
    std::optional<bool> white;
};

struct SourceCollection
{
    QString folder;
    QUuid uuid;
    QString systemId;
    QString name;
    int order = 1;
    QJsonObject banner;
    QJsonObject settings;
    QJsonObject texts;
    QJsonArray productGroups;
    QJsonArray products;
    QJsonArray trendGroups;
    QVector<SourceColour> colours;

    // A setting of the collection as text, number or list.
    QString setting(const QString &key, const QString &fallback = QString()) const;
    double numberSetting(const QString &key, double fallback) const;
};

struct DeckSource
{
    QJsonObject theme;
    QJsonObject settings; // of the virtual collection
    QJsonObject texts;    // defaults for every collection
    QJsonArray textures;
    QJsonArray trendGroups;
    QVector<SourceCollection> collections;

    const SourceCollection *collection(const QString &folder) const;
};

// Reads the source folder. On failure returns false with one line per problem (file and
// line where there is one) in `problems`.
bool readDeckSource(const QString &folder, DeckSource &source, QStringList &problems);

// Reads CSV text: fields separated by commas, optionally quoted with doubled quotes.
QVector<QStringList> parseCsv(const QString &text);

// The mood words of the MOOD table ("fresh" ... "neutral") as 1 to 6; 0 when unknown.
int moodFromWord(const QString &word);

} // namespace Palettra::Deck
