#include "DeckBuilder.h"

#include "CompleteDatabase.h"
#include "DeckLayout.h"
#include "DeckSchemes.h"
#include "DeckSource.h"
#include "DeckWriter.h"
#include "ThemePainter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QtNumeric>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace Palettra::Deck {

namespace {

const qint64 SharedCollectionId = 0;

QString settingText(const QJsonValue &value)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        return number == std::floor(number) && std::fabs(number) < 1e15 ? QString::number(qint64(number))
                                                                          : QString::number(number, 'g', 12);
    }
    if (value.isBool())
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return value.toString();
}

void writeSettings(DeckWriter &writer, qint64 collectionId, const QJsonObject &settings)
{
    for (auto it = settings.constBegin(); it != settings.constEnd(); ++it) {
        if (it.key() == QLatin1String("collection.name") || it.key() == QLatin1String("collection.enabled"))
            continue;
        if (it.value().isArray()) {
            const QJsonArray list = it.value().toArray();
            for (int i = 0; i < list.size(); ++i)
                writer.addSetting(collectionId, it.key(), settingText(list.at(i)), i);
        } else {
            writer.addSetting(collectionId, it.key(), settingText(it.value()));
        }
    }
}

// Whether a colour passes a rule of the source ({"minL", "maxL", "minChroma",
// "maxChroma", "exterior"}); an empty rule takes every colour.
// A product's or group's colour rule, read once: it is tried on every colour.
class ColourRule
{
public:
    explicit ColourRule(const QJsonObject &rule)
        : m_minL(bound(rule, "minL", -qInf()))
        , m_maxL(bound(rule, "maxL", qInf()))
        , m_minChroma(bound(rule, "minChroma", -qInf()))
        , m_maxChroma(bound(rule, "maxChroma", qInf()))
        , m_exterior(rule.contains(QStringLiteral("exterior")) ? (rule.value(QStringLiteral("exterior")).toBool() ? 1 : 0) : -1)
    {
    }

    bool passes(const LaidOutColour &colour) const
    {
        // Written as the negations of the limits, so that a NaN limit or value passes
        // as it always has.
        if (colour.l < m_minL || colour.l > m_maxL || colour.chroma < m_minChroma || colour.chroma > m_maxChroma)
            return false;
        return m_exterior < 0 || colour.exterior == (m_exterior == 1);
    }

private:
    static double bound(const QJsonObject &rule, const char *key, double unset)
    {
        const QString name = QLatin1String(key);
        return rule.contains(name) ? rule.value(name).toDouble() : unset;
    }

    double m_minL, m_maxL, m_minChroma, m_maxChroma;
    int m_exterior; // -1 when the rule does not ask
};

// The vivid mid-tone of a segment: what the wheel and the banners show for it.
QColor segmentColour(const CollectionLayout &layout, int segment)
{
    const LaidOutColour *best = nullptr;
    for (const LaidOutColour &colour : layout.colours) {
        if (colour.segment != segment || colour.l < 40 || colour.l > 75)
            continue;
        if (!best || colour.chroma > best->chroma)
            best = &colour;
    }
    return best ? best->rgb : QColor();
}

struct WrittenCollection
{
    const SourceCollection *source = nullptr;
    CollectionLayout layout;
    qint64 id = 0;
    QVector<qint64> pageIds;
    QVector<qint64> rowIds; // by layout colour
    QHash<QString, qint64> rowIdByCode;
};

void writeTrendGroup(DeckWriter &writer, qint64 collectionId, const QJsonObject &group, int fallbackOrder,
                     const QVector<WrittenCollection> &collections, const WrittenCollection *own, QStringList &problems)
{
    const qint64 groupId = writer.exec(
        QStringLiteral("INSERT INTO PROSPECT_GROUP(COLLECTION_ID, NAME, DEFAULT_OPEN, \"ORDER\") VALUES(?, ?, ?, ?)"),
        {collectionId, group.value(QStringLiteral("name")).toString(), group.value(QStringLiteral("defaultOpen")).toBool() ? 1 : 0,
         group.value(QStringLiteral("order")).toInt(fallbackOrder)});
    const QJsonArray entries = group.value(QStringLiteral("entries")).toArray();
    for (int i = 0; i < entries.size(); ++i) {
        const QJsonObject entry = entries.at(i).toObject();
        QVariant rowId;
        QColor colour;
        QString name1 = entry.value(QStringLiteral("name1")).toString();
        QString name2 = entry.value(QStringLiteral("name2")).toString();
        if (entry.contains(QStringLiteral("code"))) {
            const WrittenCollection *target = own;
            const QString folder = entry.value(QStringLiteral("collection")).toString();
            for (const WrittenCollection &candidate : collections) {
                if (!folder.isEmpty() && candidate.source->folder == folder)
                    target = &candidate;
            }
            const QString code = entry.value(QStringLiteral("code")).toString();
            if (!target || !target->rowIdByCode.contains(code)) {
                problems << QStringLiteral("trend group %1: no colour with code %2").arg(group.value(QStringLiteral("name")).toString(), code);
                continue;
            }
            rowId = target->rowIdByCode.value(code);
            for (const LaidOutColour &laidOut : target->layout.colours) {
                if (laidOut.code == code) {
                    colour = laidOut.rgb;
                    if (name1.isEmpty())
                        name1 = laidOut.names.value(0);
                    if (name2.isEmpty())
                        name2 = code;
                }
            }
        } else {
            colour = QColor::fromString(entry.value(QStringLiteral("rgb")).toString());
            if (!colour.isValid()) {
                problems << QStringLiteral("trend group %1: entry %2 has neither a code nor an rgb colour")
                                .arg(group.value(QStringLiteral("name")).toString())
                                .arg(i + 1);
                continue;
            }
        }
        writer.exec(QStringLiteral("INSERT INTO PROSPECT_ENTRY(COLLECTION_ID, PROSPECT_GROUP_ID, ROW_ID, NAME_1, NAME_2, "
                                   "RED, GREEN, BLUE, \"ORDER\") VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {collectionId, groupId, rowId, name1, name2, colour.red(), colour.green(), colour.blue(), i + 1});
    }
}

void writeProducts(DeckWriter &writer, const WrittenCollection &collection)
{
    QHash<QString, qint64> groupIds;
    for (const QJsonValue &value : collection.source->productGroups) {
        const QJsonObject group = value.toObject();
        const qint64 groupId = writer.exec(QStringLiteral("INSERT INTO PRODUCT_GROUP(NAME) VALUES(?)"),
                                           {group.value(QStringLiteral("name")).toString()});
        groupIds.insert(group.value(QStringLiteral("name")).toString(), groupId);
        const ColourRule rule(group.value(QStringLiteral("colours")).toObject());
        RowBatch map(writer, QStringLiteral("ROW_PRODUCT_GROUP_MAP"),
                     {QStringLiteral("COLLECTION_ID"), QStringLiteral("ROW_ID"), QStringLiteral("PRODUCT_GROUP_ID")});
        for (int i = 0; i < collection.layout.colours.size(); ++i) {
            if (rule.passes(collection.layout.colours.at(i)))
                map.add({collection.id, collection.rowIds.at(i), groupId});
        }
    }
    for (const QJsonValue &value : collection.source->products) {
        const QJsonObject product = value.toObject();
        const qint64 productId = writer.exec(QStringLiteral("INSERT INTO PRODUCT(NAME, PRODUCT_CODE) VALUES(?, ?)"),
                                             {product.value(QStringLiteral("name")).toString(),
                                              // A product may have no code: an empty one.
                                              product.value(QStringLiteral("code")).toString(QStringLiteral(""))});
        const QString group = product.value(QStringLiteral("group")).toString();
        if (groupIds.contains(group))
            writer.exec(QStringLiteral("INSERT INTO PRODUCT_PRODUCT_GROUP_MAP(PRODUCT_GROUP_ID, PRODUCT_ID) VALUES(?, ?)"),
                        {groupIds.value(group), productId});
        const ColourRule rule(product.value(QStringLiteral("colours")).toObject());
        RowBatch map(writer, QStringLiteral("ROW_PRODUCT_MAP"),
                     {QStringLiteral("COLLECTION_ID"), QStringLiteral("ROW_ID"), QStringLiteral("PRODUCT_ID")});
        for (int i = 0; i < collection.layout.colours.size(); ++i) {
            if (rule.passes(collection.layout.colours.at(i)))
                map.add({collection.id, collection.rowIds.at(i), productId});
        }
    }
}

void writeSchemes(DeckWriter &writer, const WrittenCollection &collection)
{
    const SourceCollection &source = *collection.source;
    const bool pulvex = source.setting(QStringLiteral("card.type")).compare(QLatin1String("pulvex"), Qt::CaseInsensitive) == 0;
    const QString mode = source.setting(QStringLiteral("mode.card"));
    const int cardMode = mode == QLatin1String("ModeColorToColor") ? 1
        : mode == QLatin1String("ModeColorToCard")                   ? 2
        : mode == QLatin1String("ModeCardToCard")                    ? 3
                                                                     : 0;
    QStringList words;
    for (const QJsonValue &word : source.settings.value(QStringLiteral("schemes")).toArray())
        words << word.toString();
    const CollectionSchemes schemes = pulvex ? CollectionSchemes{deriveContrastPartners(collection.layout), {}, {}}
                                             : deriveSchemes(collection.layout, schemeIdsForWords(words), cardMode);
    RowBatch rowSchemes(writer, QStringLiteral("ROW_SCHEME_MAP"),
                        {QStringLiteral("COLLECTION_ID"), QStringLiteral("ROW_ID"), QStringLiteral("SCHEME_ID"),
                         QStringLiteral("SCHEME_ROW_ID"), QStringLiteral("PAGE_ORDER"), QStringLiteral("ROW_ORDER")});
    for (const RowSchemeEntry &entry : schemes.rowSchemes)
        rowSchemes.add({collection.id, collection.rowIds.at(entry.colour), entry.scheme, collection.rowIds.at(entry.partner),
                        entry.pageOrder, entry.rowOrder});
    rowSchemes.flush();
    RowBatch rowToPage(writer, QStringLiteral("ROW_TO_PAGE_SCHEME"),
                       {QStringLiteral("COLLECTION_ID"), QStringLiteral("ROW_ID"), QStringLiteral("SCHEME_ID"),
                        QStringLiteral("SCHEME_PAGE_ID"), QStringLiteral("ORDER")});
    for (const RowToPageEntry &entry : schemes.rowToPage)
        rowToPage.add({collection.id, collection.rowIds.at(entry.colour), entry.scheme, collection.pageIds.at(entry.card),
                       entry.order});
    rowToPage.flush();
    RowBatch pageSchemes(writer, QStringLiteral("PAGE_SCHEME"),
                         {QStringLiteral("COLLECTION_ID"), QStringLiteral("PAGE_ID"), QStringLiteral("SCHEME_PAGE_ID"),
                          QStringLiteral("SCHEME_ID"), QStringLiteral("ORDER")});
    for (const PageSchemeEntry &entry : schemes.pageSchemes)
        pageSchemes.add({collection.id, collection.pageIds.at(entry.card), collection.pageIds.at(entry.schemeCard), entry.scheme,
                         entry.order});
}

void writeCollection(DeckWriter &writer, const DeckSource &deck, WrittenCollection &collection)
{
    const SourceCollection &source = *collection.source;
    collection.id = writer.addCollection(source.uuid, source.systemId, source.name, source.order);
    writeSettings(writer, collection.id, source.settings);

    QJsonObject texts = deck.texts;
    for (auto it = source.texts.constBegin(); it != source.texts.constEnd(); ++it)
        texts.insert(it.key(), it.value());
    for (auto it = texts.constBegin(); it != texts.constEnd(); ++it)
        writer.addText(collection.id, it.key(), it.value().toString());

    const CollectionLayout &layout = collection.layout;
    for (const LaidOutCard &card : layout.cards)
        collection.pageIds << writer.addPage(collection.id, card.pageIndex, card.segment, card.name, card.exterior, card.mood,
                                             {card.name});
    collection.rowIds.resize(layout.colours.size());
    for (int i = 0; i < layout.colours.size(); ++i) {
        const LaidOutColour &colour = layout.colours.at(i);
        RowSpec row;
        row.rowIndex = colour.position;
        row.code = colour.code;
        row.name = colour.names.value(0);
        row.segment = colour.segment;
        row.rgb = colour.rgb;
        row.l = colour.l;
        row.a = colour.a;
        row.b = colour.b;
        row.mood = colour.mood;
        row.neutral = colour.neutral;
        row.white = colour.white;
        row.mto = colour.mto;
        row.names = colour.names;
        row.extras = colour.extras;
        collection.rowIds[i] = writer.addRow(collection.id, collection.pageIds.at(colour.card), row);
        collection.rowIdByCode.insert(colour.code, collection.rowIds.at(i));
    }

    // The banner shows a dozen of the collection's own colours around the wheel.
    BannerInputs banner;
    banner.title = source.banner.value(QStringLiteral("title")).toString(source.name);
    banner.subtitle = source.banner.value(QStringLiteral("subtitle")).toString();
    const int step = std::max(1, layout.wheel.segments / 12);
    for (int segment = 1; segment <= layout.wheel.segments; segment += step) {
        const QColor colour = segmentColour(layout, segment);
        if (colour.isValid())
            banner.chips << colour;
    }
    const QMap<QString, QByteArray> items = drawCollectionTheme(banner);
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        writer.addThemeItem(collection.id, it.key(), it.value());

    writeSchemes(writer, collection);
    writeProducts(writer, collection);
}

void writeShared(DeckWriter &writer, const DeckSource &deck, const QVector<WrittenCollection> &collections,
                 QStringList &problems)
{
    writeSettings(writer, SharedCollectionId, deck.settings);

    ThemeInputs theme;
    theme.fontList = deck.theme.value(QStringLiteral("fonts")).toString(QStringLiteral("Open Sans,9;DejaVu Sans,9"));
    const QStringList parts = deck.theme.value(QStringLiteral("selectorTextColour")).toString().split(QLatin1Char(','));
    if (parts.size() == 3)
        theme.selectorText = QColor(parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2).toInt());
    const QString wheelFolder = deck.theme.value(QStringLiteral("wheelCollection")).toString();
    const WrittenCollection *wheel = collections.isEmpty() ? nullptr : &collections.first();
    for (const WrittenCollection &collection : collections) {
        if (collection.source->folder == wheelFolder)
            wheel = &collection;
    }
    if (wheel) {
        const WheelGeometry &geometry = wheel->layout.wheel;
        for (int segment = 1; segment <= geometry.segments; ++segment)
            theme.wheelSegments.append({geometry.segmentCentre(segment), 360.0 / geometry.segments, segmentColour(wheel->layout, segment)});
    }
    const QMap<QString, QByteArray> items = drawSharedTheme(theme);
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        writer.addThemeItem(SharedCollectionId, it.key(), it.value());

    QSize textureSize(148, 96);
    const QStringList size = deck.settings.value(QStringLiteral("texture.size")).toString().split(QLatin1Char(','));
    if (size.size() == 2 && size.at(0).toInt() > 0 && size.at(1).toInt() > 0)
        textureSize = QSize(size.at(0).toInt(), size.at(1).toInt());
    for (const QJsonValue &value : deck.textures) {
        const QJsonObject texture = value.toObject();
        const QImage picture = drawTexture(texture.value(QStringLiteral("pattern")).toString(), textureSize);
        if (picture.isNull()) {
            problems << QStringLiteral("texture %1: unknown pattern %2")
                            .arg(texture.value(QStringLiteral("name")).toString(), texture.value(QStringLiteral("pattern")).toString());
            continue;
        }
        const double baseAlpha = texture.value(QStringLiteral("baseAlpha")).toDouble(1.0);
        const QString name = texture.value(QStringLiteral("name")).toString();
        const qint64 textureId = writer.exec(
            QStringLiteral("INSERT INTO TEXTURE(COLLECTION_ID, NAME, IMAGE, BASE_ALPHA) VALUES(?, ?, ?, ?)"),
            {SharedCollectionId, name, pngBytes(picture), baseAlpha});
        const bool exteriorOnly = texture.value(QStringLiteral("cards")).toString() == QLatin1String("exterior");
        for (const WrittenCollection &collection : collections) {
            if (settingText(collection.source->settings.value(QStringLiteral("has.textures.page"))) != QLatin1String("1"))
                continue;
            for (int c = 0; c < collection.layout.cards.size(); ++c) {
                if (exteriorOnly && !collection.layout.cards.at(c).exterior)
                    continue;
                writer.exec(QStringLiteral("INSERT INTO TEXTURE_MAP(TEXTURE_ID, PAGE_ID, ALPHA, NAME) VALUES(?, ?, ?, ?)"),
                            {textureId, collection.pageIds.at(c), baseAlpha, name});
            }
        }
    }

    for (int i = 0; i < deck.trendGroups.size(); ++i)
        writeTrendGroup(writer, SharedCollectionId, deck.trendGroups.at(i).toObject(), i + 1, collections, nullptr, problems);
    for (const WrittenCollection &collection : collections) {
        for (int i = 0; i < collection.source->trendGroups.size(); ++i)
            writeTrendGroup(writer, collection.id, collection.source->trendGroups.at(i).toObject(), i + 1, collections,
                            &collection, problems);
    }
}

} // namespace

QStringList buildDeck(const QString &sourceFolder, const QString &databaseFile)
{
    DeckSource deck;
    QStringList problems;
    if (!readDeckSource(sourceFolder, deck, problems))
        return problems;

    QVector<WrittenCollection> collections;
    for (const SourceCollection &source : deck.collections) {
        WrittenCollection collection;
        collection.source = &source;
        collection.layout = layOutCollection(source, problems);
        collections.append(collection);
    }
    if (!problems.isEmpty())
        return problems;

    const QString building = databaseFile + QStringLiteral(".building");
    QDir().mkpath(QFileInfo(databaseFile).absolutePath());
    QString error = createCompleteDatabase(building);
    if (!error.isEmpty())
        return {QStringLiteral("%1: %2").arg(building, error)};

    const QString connection = QStringLiteral("palettra-build");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(building);
        if (!db.open())
            problems << QStringLiteral("%1: %2").arg(building, db.lastError().text());
        // The file is a draft renamed into place only when complete, and removed on any
        // problem: it needs no crash safety of its own, and the build spends far less
        // time waiting for the disk without it. A pragma refused only makes the build
        // slower.
        QSqlQuery pragmas(db);
        for (const char *pragma : {"PRAGMA synchronous = OFF", "PRAGMA journal_mode = MEMORY", "PRAGMA cache_size = -131072"})
            pragmas.exec(QLatin1String(pragma));
        if (problems.isEmpty() && !db.transaction())
            problems << QStringLiteral("%1: %2").arg(building, db.lastError().text());
        if (problems.isEmpty()) {
            DeckWriter writer(db);
            for (WrittenCollection &collection : collections)
                writeCollection(writer, deck, collection);
            writeShared(writer, deck, collections, problems);
            if (!writer.ok())
                problems << writer.lastError();
        }
        if (problems.isEmpty() && !db.commit())
            problems << QStringLiteral("%1: %2").arg(building, db.lastError().text());
        if (problems.isEmpty()) {
            QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
        } else {
            db.rollback();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);

    if (!problems.isEmpty()) {
        QFile::remove(building);
        return problems;
    }
    // One rename over the old file: a picker opening the path meanwhile finds the old
    // deck or the new one, never none. The draft reaches the disk first, so that the
    // name never points at a half-written deck after a power cut.
    const QByteArray draftName = QFile::encodeName(building);
    const int draft = ::open(draftName.constData(), O_RDONLY);
    const bool durable = draft >= 0 && ::fsync(draft) == 0;
    if (draft >= 0)
        ::close(draft);
    if (!durable || ::rename(draftName.constData(), QFile::encodeName(databaseFile).constData()) != 0) {
        QFile::remove(building);
        return {QStringLiteral("%1: cannot be written").arg(databaseFile)};
    }
    return {};
}

} // namespace Palettra::Deck
