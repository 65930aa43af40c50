#include "DeckChecker.h"

#include "engine/db/NavigationQueries.h"
#include "engine/db/SqlSupport.h"
#include "engine/colour/ColourDifference.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QSize>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <sys/stat.h>

namespace Palettra::Deck {

namespace {

// Stored CIELAB may differ from the value computed from the stored RGB by rounding of
// the RGB; anything beyond this is a wrong colour.
const double LabTolerance = 1.0;

// Bounds of the settings that size what the picker draws: its window is 800 × 600.
const QSize WindowSize(800, 600);
const int MaximumSegments = 360;
const int MaximumChipsOnACard = 50;

class Checker
{
public:
    Checker(QSqlDatabase db, QStringList &problems)
        : m_db(std::move(db))
        , m_problems(problems)
    {
    }

    void run()
    {
        if (!checkTables())
            return;
        checkCollections();
        checkSchemes();
        checkRows();
        checkSettings();
        checkTheme();
        checkMaps();
        checkIndexes();
    }

private:
    void problem(const QString &text) { m_problems << text; }

    // Runs a statement; every row is handed to the callback.
    template<typename Callback>
    void forEachRow(const QString &statement, Callback callback, const QVariantList &values = {})
    {
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        query.prepare(statement);
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (!query.exec()) {
            problem(QStringLiteral("query failed (%1): %2").arg(query.lastError().text(), statement));
            return;
        }
        while (query.next())
            callback(query);
    }

    bool checkTables()
    {
        const QHash<QString, QStringList> required{
            {QStringLiteral("COLLECTION"), {QStringLiteral("ID"), QStringLiteral("UUID"), QStringLiteral("SYSTEMID"), QStringLiteral("NAME"), QStringLiteral("ORDER"), QStringLiteral("VERSION")}},
            {QStringLiteral("SETTING"), {QStringLiteral("COLLECTION_ID"), QStringLiteral("NAME"), QStringLiteral("VALUE"), QStringLiteral("VALUE_INDEX")}},
            {QStringLiteral("LOCALE"), {QStringLiteral("COLLECTION_ID"), QStringLiteral("KEY"), QStringLiteral("STRING")}},
            {QStringLiteral("THEME"), {QStringLiteral("COLLECTION_ID"), QStringLiteral("ITEM_KEY"), QStringLiteral("ITEM_DATA")}},
            {QStringLiteral("PAGE"), {QStringLiteral("ID"), QStringLiteral("PAGE_INDEX"), QStringLiteral("SEGMENT"), QStringLiteral("NAME"), QStringLiteral("EXTERIOR"), QStringLiteral("MOOD"), QStringLiteral("NAME0"), QStringLiteral("NAME9"), QStringLiteral("EXTRA0"), QStringLiteral("EXTRA9")}},
            {QStringLiteral("ROW"), {QStringLiteral("ID"), QStringLiteral("COLLECTION_ID"), QStringLiteral("PAGE_ID"), QStringLiteral("ROW_INDEX"), QStringLiteral("CODE"), QStringLiteral("SEGMENT"), QStringLiteral("RED"), QStringLiteral("GREEN"), QStringLiteral("BLUE"), QStringLiteral("L"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("NEUTRAL"), QStringLiteral("WHITE"), QStringLiteral("MOOD"), QStringLiteral("NAME0"), QStringLiteral("NAME9"), QStringLiteral("EXTRA0"), QStringLiteral("EXTRA9")}},
            {QStringLiteral("COLLECTION_PAGE_MAP"), {QStringLiteral("COLLECTION_ID"), QStringLiteral("PAGE_ID")}},
            {QStringLiteral("PAGE_SCHEME"), {QStringLiteral("PAGE_ID"), QStringLiteral("SCHEME_PAGE_ID"), QStringLiteral("SCHEME_ID")}},
            {QStringLiteral("ROW_SCHEME_MAP"), {QStringLiteral("COLLECTION_ID"), QStringLiteral("ROW_ID"), QStringLiteral("SCHEME_ID"), QStringLiteral("SCHEME_ROW_ID"), QStringLiteral("PAGE_ORDER"), QStringLiteral("ROW_ORDER")}},
            {QStringLiteral("ROW_TO_PAGE_SCHEME"), {QStringLiteral("COLLECTION_ID"), QStringLiteral("ROW_ID"), QStringLiteral("SCHEME_ID"), QStringLiteral("SCHEME_PAGE_ID"), QStringLiteral("ORDER")}},
            {QStringLiteral("PRODUCT"), {QStringLiteral("ID"), QStringLiteral("NAME")}},
            {QStringLiteral("PRODUCT_GROUP"), {QStringLiteral("ID"), QStringLiteral("NAME")}},
            {QStringLiteral("ROW_PRODUCT_MAP"), {QStringLiteral("ROW_ID"), QStringLiteral("PRODUCT_ID")}},
            {QStringLiteral("ROW_PRODUCT_GROUP_MAP"), {QStringLiteral("ROW_ID"), QStringLiteral("PRODUCT_GROUP_ID")}},
            {QStringLiteral("PROSPECT_GROUP"), {QStringLiteral("ID"), QStringLiteral("COLLECTION_ID"), QStringLiteral("NAME"), QStringLiteral("DEFAULT_OPEN"), QStringLiteral("ORDER")}},
            {QStringLiteral("PROSPECT_ENTRY"), {QStringLiteral("ID"), QStringLiteral("PROSPECT_GROUP_ID"), QStringLiteral("ROW_ID"), QStringLiteral("NAME_1"), QStringLiteral("NAME_2"), QStringLiteral("RED"), QStringLiteral("GREEN"), QStringLiteral("BLUE"), QStringLiteral("ORDER")}},
            {QStringLiteral("TEXTURE"), {QStringLiteral("ID"), QStringLiteral("COLLECTION_ID"), QStringLiteral("NAME"), QStringLiteral("IMAGE"), QStringLiteral("BASE_ALPHA")}},
            {QStringLiteral("TEXTURE_MAP"), {QStringLiteral("TEXTURE_ID"), QStringLiteral("PAGE_ID"), QStringLiteral("ALPHA"), QStringLiteral("NAME")}},
            {QStringLiteral("CAPSURE_COLLECTION_IDS_BY_PRIORITY"), {QStringLiteral("COLLECTION_ID"), QStringLiteral("PRIORITY")}},
        };
        QStringList tables = m_db.tables(QSql::Tables) + m_db.tables(QSql::Views);
        for (QString &table : tables)
            table = table.toUpper();
        bool complete = true;
        for (auto it = required.cbegin(); it != required.cend(); ++it) {
            if (!tables.contains(it.key())) {
                problem(QStringLiteral("table %1: missing").arg(it.key()));
                complete = false;
                continue;
            }
            const QSqlRecord record = m_db.record(it.key() == QLatin1String("ROW") ? QStringLiteral("\"ROW\"") : it.key());
            for (const QString &column : it.value()) {
                if (record.indexOf(column) < 0) {
                    problem(QStringLiteral("table %1: column %2 missing").arg(it.key(), column));
                    complete = false;
                }
            }
        }
        return complete;
    }

    void checkCollections()
    {
        forEachRow(QStringLiteral("SELECT C.ID, C.UUID, C.NAME FROM COLLECTION C JOIN SETTING S ON S.COLLECTION_ID = C.ID "
                                  "WHERE S.NAME = 'collection.enabled' COLLATE NOCASE AND S.VALUE = 1"),
                   [this](QSqlQuery &query) {
                       const qint64 id = query.value(0).toLongLong();
                       const QString where = QStringLiteral("collection %1 (%2)").arg(query.value(2).toString(), query.value(1).toString());
                       m_enabled.insert(id);
                       if (QUuid(query.value(1).toString()).isNull())
                           problem(where + QStringLiteral(": UUID is not a UUID"));
                       int cards = 0;
                       forEachRow(QStringLiteral("SELECT COUNT(*) FROM COLLECTION_PAGE_MAP CMAP JOIN PAGE P ON P.ID = CMAP.PAGE_ID "
                                                 "WHERE CMAP.COLLECTION_ID = ?"),
                                  [&cards](QSqlQuery &count) { cards = count.value(0).toInt(); }, {id});
                       if (cards == 0)
                           problem(where + QStringLiteral(": has no cards in COLLECTION_PAGE_MAP"));
                       forEachRow(QStringLiteral("SELECT P.PAGE_INDEX, COUNT(*) FROM COLLECTION_PAGE_MAP CMAP JOIN PAGE P ON P.ID = CMAP.PAGE_ID "
                                                 "WHERE CMAP.COLLECTION_ID = ? GROUP BY P.PAGE_INDEX HAVING COUNT(*) > 1"),
                                  [this, &where](QSqlQuery &dup) {
                                      problem(where + QStringLiteral(": page index %1 is used by %2 cards").arg(dup.value(0).toInt()).arg(dup.value(1).toInt()));
                                  },
                                  {id});
                       // No card over the chip limit.
                       int limit = 0;
                       forEachRow(QStringLiteral("SELECT VALUE FROM SETTING WHERE COLLECTION_ID = ? AND NAME = 'max.chips.on.a.page' COLLATE NOCASE"),
                                  [&limit](QSqlQuery &value) { limit = value.value(0).toInt(); }, {id});
                       if (limit > 0) {
                           forEachRow(QStringLiteral("SELECT P.PAGE_INDEX, COUNT(R.ID) FROM COLLECTION_PAGE_MAP CMAP JOIN PAGE P ON P.ID = CMAP.PAGE_ID "
                                                     "JOIN \"ROW\" R ON R.PAGE_ID = P.ID WHERE CMAP.COLLECTION_ID = ? GROUP BY P.ID HAVING COUNT(R.ID) > ?"),
                                      [this, &where, limit](QSqlQuery &over) {
                                          problem(where + QStringLiteral(": card %1 holds %2 chips, more than max.chips.on.a.page (%3)")
                                                              .arg(over.value(0).toInt()).arg(over.value(1).toInt()).arg(limit));
                                      },
                                      {id, limit});
                       }
                   });
        if (m_enabled.isEmpty())
            problem(QStringLiteral("file: no collection is enabled (setting collection.enabled = 1)"));
    }

    // Every scheme kind a collection lists must have schemes stored, in the table its
    // mode reads; otherwise its button only ever shows an empty grid.
    void checkSchemes()
    {
        const QHash<QString, int> schemeIds{
            {QStringLiteral("harmonic"), 1}, {QStringLiteral("contrast"), 2}, {QStringLiteral("wide contrast"), 3},
            {QStringLiteral("dynamic"), 4}, {QStringLiteral("dramatic"), 5},
            // The neutral button shows its tonal form first.
            {QStringLiteral("neutral"), 7}, {QStringLiteral("tonal neutral"), 7}, {QStringLiteral("complementary neutral"), 8},
            {QStringLiteral("natural neutral"), 9}};
        for (const qint64 id : std::as_const(m_enabled)) {
            auto setting = [&](const char *name) {
                QStringList values;
                forEachRow(QStringLiteral("SELECT VALUE FROM SETTING WHERE COLLECTION_ID = ? AND NAME = ? COLLATE NOCASE "
                                          "ORDER BY VALUE_INDEX"),
                           [&values](QSqlQuery &query) { values << query.value(0).toString().trimmed(); },
                           {id, QLatin1String(name)});
                return values;
            };
            if (setting("has.color.schemes.page").value(0) != QLatin1String("1"))
                continue;
            const bool pulvex = setting("card.type").value(0).compare(QLatin1String("pulvex"), Qt::CaseInsensitive) == 0;
            const QString mode = setting("mode.card").value(0);
            // Pulvex collections show their contrast partners, whatever their mode.
            const QString table = pulvex ? QStringLiteral("ROW_SCHEME_MAP")
                : mode.compare(QLatin1String("ModeColorToColor"), Qt::CaseInsensitive) == 0 ? QStringLiteral("ROW_SCHEME_MAP")
                : mode.compare(QLatin1String("ModeColorToCard"), Qt::CaseInsensitive) == 0  ? QStringLiteral("ROW_TO_PAGE_SCHEME")
                : mode.compare(QLatin1String("ModeCardToCard"), Qt::CaseInsensitive) == 0   ? QStringLiteral("PAGE_SCHEME")
                                                                                             : QString();
            if (table.isEmpty())
                continue;
            for (const QString &word : setting("schemes")) {
                const int scheme = schemeIds.value(word.toLower(), 0);
                if (scheme == 0)
                    continue; // an unknown word is reported with the settings
                int stored = 0;
                forEachRow(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE COLLECTION_ID = ? AND SCHEME_ID = ?").arg(table),
                           [&stored](QSqlQuery &count) { stored = count.value(0).toInt(); }, {id, scheme});
                if (stored == 0)
                    problem(QStringLiteral("collection %1: scheme kind \"%2\" is listed but %3 holds no scheme of it")
                                .arg(id).arg(word, table));
            }
        }
    }

    void checkRows()
    {
        QSet<qint64> pages;
        forEachRow(QStringLiteral("SELECT ID FROM PAGE"), [&pages](QSqlQuery &query) { pages.insert(query.value(0).toLongLong()); });
        QHash<qint64, QVector<int>> positions;
        forEachRow(QStringLiteral("SELECT ID, PAGE_ID, ROW_INDEX, CODE, RED, GREEN, BLUE, L, A, B FROM \"ROW\""),
                   [&](QSqlQuery &query) {
                       const qint64 id = query.value(0).toLongLong();
                       const qint64 page = query.value(1).toLongLong();
                       const QString where = QStringLiteral("row %1 (%2)").arg(id).arg(query.value(3).toString());
                       if (!pages.contains(page))
                           problem(where + QStringLiteral(": its card %1 does not exist").arg(page));
                       positions[page].append(query.value(2).toInt());
                       const QColor rgb(query.value(4).toInt(), query.value(5).toInt(), query.value(6).toInt());
                       const Vantor::LabColour stored{query.value(7).toDouble(), query.value(8).toDouble(), query.value(9).toDouble()};
                       const double difference = Vantor::deltaE2000(stored, Vantor::labFromColour(rgb));
                       if (difference > LabTolerance)
                           problem(where + QStringLiteral(": stored CIELAB %1 %2 %3 differs from its RGB %4 by ΔE00 %5")
                                               .arg(stored.l, 0, 'f', 2).arg(stored.a, 0, 'f', 2).arg(stored.b, 0, 'f', 2)
                                               .arg(rgb.name()).arg(difference, 0, 'f', 2));
                   });
        for (auto it = positions.begin(); it != positions.end(); ++it) {
            std::sort(it->begin(), it->end());
            for (int i = 0; i < it->size(); ++i) {
                if (it->at(i) != i + 1) {
                    problem(QStringLiteral("card %1: chip positions are not 1 to %2 without gaps").arg(it.key()).arg(it->size()));
                    break;
                }
            }
        }
    }

    void checkSettings()
    {
        const QStringList numbers{QStringLiteral("max.chips.on.a.page"), QStringLiteral("num.of.segments"),
                                  QStringLiteral("first.segment.angle"), QStringLiteral("widget.prospect.chip.width"),
                                  QStringLiteral("widget.prospect.chip.height"), QStringLiteral("capsure.priority")};
        const QHash<QString, QStringList> words{
            {QStringLiteral("card.type"), {QStringLiteral("normal"), QStringLiteral("pulvex")}},
            {QStringLiteral("segment.increment.orientation"), {QStringLiteral("CW"), QStringLiteral("CCW")}},
            {QStringLiteral("mode.card"), {QStringLiteral("ModeColorToColor"), QStringLiteral("ModeColorToCard"), QStringLiteral("ModeCardToCard")}},
            {QStringLiteral("mode.mood"), {QStringLiteral("MoodModeNormal"), QStringLiteral("MoodModeWarmFreshEquals")}},
            {QStringLiteral("product.groups.mode"), {QStringLiteral("Products"), QStringLiteral("GroupsWithProductTooltip")}},
            {QStringLiteral("schemes"), {QStringLiteral("harmonic"), QStringLiteral("contrast"), QStringLiteral("wide contrast"), QStringLiteral("dynamic"), QStringLiteral("dramatic"), QStringLiteral("neutral"), QStringLiteral("tonal neutral"), QStringLiteral("complementary neutral"), QStringLiteral("natural neutral")}},
            {QStringLiteral("tab.bar.page"), {QStringLiteral("PageOfColorSchemes"), QStringLiteral("PageOfProducts"), QStringLiteral("PageOfProspect"), QStringLiteral("PageOfTextures")}},
        };
        forEachRow(QStringLiteral("SELECT COLLECTION_ID, NAME, VALUE, VALUE_INDEX FROM SETTING ORDER BY COLLECTION_ID, NAME, VALUE_INDEX"),
                   [&](QSqlQuery &query) {
                       const QString name = query.value(1).toString();
                       const QString key = name.toLower();
                       const QVariant value = query.value(2);
                       const QString text = value.toString();
                       const QString where = QStringLiteral("setting %1 of collection %2").arg(name).arg(query.value(0).toLongLong());
                       if (value.typeId() != QMetaType::QString) {
                           problem(where + QStringLiteral(": value is not text"));
                           return;
                       }
                       bool ok = true;
                       if (numbers.contains(key, Qt::CaseInsensitive))
                           text.trimmed().toDouble(&ok);
                       if (!ok)
                           problem(where + QStringLiteral(": \"%1\" is not a number").arg(text));
                       for (auto it = words.cbegin(); it != words.cend(); ++it) {
                           if (key == it.key().toLower() && !it.value().contains(text.trimmed(), Qt::CaseInsensitive))
                               problem(where + QStringLiteral(": \"%1\" is not one of %2").arg(text, it.value().join(QStringLiteral(", "))));
                       }
                       // Numbers the engine can lay out and draw: a wheel of a million
                       // segments or chips far larger than the window is no deck.
                       const auto outside = [&](const QString &number, int lowest, int highest, const char *what) {
                           bool isNumber = false;
                           const double value = number.trimmed().toDouble(&isNumber);
                           if (isNumber && (value < lowest || value > highest))
                               problem(where + QStringLiteral(": %1 is outside %2 to %3 (%4)")
                                                   .arg(number.trimmed()).arg(lowest).arg(highest).arg(QLatin1String(what)));
                       };
                       if (key == QLatin1String("num.of.segments"))
                           outside(text, 1, MaximumSegments, "segments of the wheel");
                       if (key == QLatin1String("max.chips.on.a.page"))
                           outside(text, 1, MaximumChipsOnACard, "chips on a card");
                       if (key == QLatin1String("widget.prospect.chip.width"))
                           outside(text, 1, WindowSize.width(), "pixels of a trend chip's width");
                       if (key == QLatin1String("widget.prospect.chip.height"))
                           outside(text, 1, WindowSize.height(), "pixels of a trend chip's height");
                       if (key == QLatin1String("texture.size")) {
                           const QStringList parts = text.split(QLatin1Char(','));
                           if (parts.size() == 2) {
                               outside(parts.at(0), 1, WindowSize.width(), "pixels of a texture's width");
                               outside(parts.at(1), 1, WindowSize.height(), "pixels of a texture's height");
                           }
                       }
                       if (key == QLatin1String("cie2000.delta.intervals")) {
                           for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                               if (part.trimmed().toDouble(&ok) <= 0 || !ok)
                                   problem(where + QStringLiteral(": \"%1\" is not a positive number").arg(part));
                           }
                       }
                       if (key == QLatin1String("texture.size")) {
                           const QStringList parts = text.split(QLatin1Char(','));
                           if (parts.size() != 2 || parts.at(0).trimmed().toInt() <= 0 || parts.at(1).trimmed().toInt() <= 0)
                               problem(where + QStringLiteral(": \"%1\" is not width,height").arg(text));
                       }
                       if (key.endsWith(QLatin1String(".order")) && key != QLatin1String("color.name.order")
                           && key != QLatin1String("color.auxiliary.order")) {
                           const int position = text.trimmed().toInt(&ok);
                           if (!ok || position < 0 || position > 9)
                               problem(where + QStringLiteral(": \"%1\" is not a name position from 0 to 9").arg(text));
                       }
                   });
    }

    void checkTheme()
    {
        forEachRow(QStringLiteral("SELECT COLLECTION_ID, ITEM_KEY, ITEM_DATA FROM THEME"), [this](QSqlQuery &query) {
            const QString key = query.value(1).toString();
            const QString where = QStringLiteral("theme item %1 of collection %2").arg(key).arg(query.value(0).toLongLong());
            const QVariant data = query.value(2);
            if (data.typeId() != QMetaType::QByteArray) {
                problem(where + QStringLiteral(": not stored as a blob"));
                return;
            }
            const QByteArray bytes = data.toByteArray();
            if (key.startsWith(QLatin1String("image."), Qt::CaseInsensitive) && QImage::fromData(bytes).isNull())
                problem(where + QStringLiteral(": the image does not decode"));
            if (key.startsWith(QLatin1String("color."), Qt::CaseInsensitive)) {
                const QStringList parts = QString::fromUtf8(bytes).split(QLatin1Char(','), Qt::SkipEmptyParts);
                bool fine = parts.size() == 3 || parts.size() == 4;
                for (const QString &part : parts) {
                    bool ok = false;
                    const int component = part.trimmed().toInt(&ok);
                    fine = fine && ok && component >= 0 && component <= 255;
                }
                if (!fine)
                    problem(where + QStringLiteral(": \"%1\" is not r,g,b or r,g,b,a").arg(QString::fromUtf8(bytes)));
            }
            if (key.startsWith(QLatin1String("list.of.preferred.font.faces"), Qt::CaseInsensitive)) {
                int usable = 0;
                for (const QString &entry : QString::fromUtf8(bytes).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                    const QStringList parts = entry.split(QLatin1Char(','), Qt::SkipEmptyParts);
                    usable += parts.size() == 2 && parts.at(1).toInt() > 0 ? 1 : 0;
                }
                if (usable == 0)
                    problem(where + QStringLiteral(": no \"family,size\" entry"));
            }
        });
    }

    void checkReference(const QString &what, const QString &statement)
    {
        forEachRow(statement, [this, &what](QSqlQuery &query) {
            problem(QStringLiteral("%1 %2: points at %3 %4, which does not exist")
                        .arg(what, query.value(0).toString(), query.value(1).toString(), query.value(2).toString()));
        });
    }

    void checkMaps()
    {
        checkReference(QStringLiteral("ROW_SCHEME_MAP row"),
                       QStringLiteral("SELECT M.rowid, 'colour', M.ROW_ID FROM ROW_SCHEME_MAP M WHERE M.ROW_ID NOT IN (SELECT ID FROM \"ROW\") "
                                      "UNION ALL SELECT M.rowid, 'colour', M.SCHEME_ROW_ID FROM ROW_SCHEME_MAP M WHERE M.SCHEME_ROW_ID NOT IN (SELECT ID FROM \"ROW\")"));
        checkReference(QStringLiteral("ROW_TO_PAGE_SCHEME row"),
                       QStringLiteral("SELECT M.rowid, 'colour', M.ROW_ID FROM ROW_TO_PAGE_SCHEME M WHERE M.ROW_ID NOT IN (SELECT ID FROM \"ROW\") "
                                      "UNION ALL SELECT M.rowid, 'card', M.SCHEME_PAGE_ID FROM ROW_TO_PAGE_SCHEME M WHERE M.SCHEME_PAGE_ID NOT IN (SELECT ID FROM PAGE)"));
        checkReference(QStringLiteral("PAGE_SCHEME row"),
                       QStringLiteral("SELECT M.ID, 'card', M.PAGE_ID FROM PAGE_SCHEME M WHERE M.PAGE_ID NOT IN (SELECT ID FROM PAGE) "
                                      "UNION ALL SELECT M.ID, 'card', M.SCHEME_PAGE_ID FROM PAGE_SCHEME M WHERE M.SCHEME_PAGE_ID NOT IN (SELECT ID FROM PAGE)"));
        checkReference(QStringLiteral("COLLECTION_PAGE_MAP row"),
                       QStringLiteral("SELECT M.rowid, 'card', M.PAGE_ID FROM COLLECTION_PAGE_MAP M WHERE M.PAGE_ID NOT IN (SELECT ID FROM PAGE)"));
        checkReference(QStringLiteral("ROW_PRODUCT_MAP row"),
                       QStringLiteral("SELECT M.rowid, 'colour', M.ROW_ID FROM ROW_PRODUCT_MAP M WHERE M.ROW_ID NOT IN (SELECT ID FROM \"ROW\") "
                                      "UNION ALL SELECT M.rowid, 'product', M.PRODUCT_ID FROM ROW_PRODUCT_MAP M WHERE M.PRODUCT_ID NOT IN (SELECT ID FROM PRODUCT)"));
        checkReference(QStringLiteral("ROW_PRODUCT_GROUP_MAP row"),
                       QStringLiteral("SELECT M.rowid, 'colour', M.ROW_ID FROM ROW_PRODUCT_GROUP_MAP M WHERE M.ROW_ID NOT IN (SELECT ID FROM \"ROW\") "
                                      "UNION ALL SELECT M.rowid, 'product group', M.PRODUCT_GROUP_ID FROM ROW_PRODUCT_GROUP_MAP M WHERE M.PRODUCT_GROUP_ID NOT IN (SELECT ID FROM PRODUCT_GROUP)"));
        checkReference(QStringLiteral("TEXTURE_MAP row"),
                       QStringLiteral("SELECT M.rowid, 'texture', M.TEXTURE_ID FROM TEXTURE_MAP M WHERE M.TEXTURE_ID NOT IN (SELECT ID FROM TEXTURE) "
                                      "UNION ALL SELECT M.rowid, 'card', M.PAGE_ID FROM TEXTURE_MAP M WHERE M.PAGE_ID NOT IN (SELECT ID FROM PAGE)"));
        checkReference(QStringLiteral("PROSPECT_ENTRY"),
                       QStringLiteral("SELECT E.ID, 'trend group', E.PROSPECT_GROUP_ID FROM PROSPECT_ENTRY E WHERE E.PROSPECT_GROUP_ID NOT IN (SELECT ID FROM PROSPECT_GROUP) "
                                      "UNION ALL SELECT E.ID, 'colour', E.ROW_ID FROM PROSPECT_ENTRY E WHERE E.ROW_ID IS NOT NULL AND E.ROW_ID NOT IN (SELECT ID FROM \"ROW\")"));
        forEachRow(QStringLiteral("SELECT ID, NAME, IMAGE FROM TEXTURE"), [this](QSqlQuery &query) {
            if (QImage::fromData(query.value(2).toByteArray()).isNull())
                problem(QStringLiteral("texture %1 (%2): the image does not decode").arg(query.value(0).toLongLong()).arg(query.value(1).toString()));
        });
    }

    // The card roller's statements must be served by indexes, or a large collection
    // browses slowly.
    void checkIndexes()
    {
        for (const QString &statement : Vantor::DB::cardPaintStatements()) {
            QSqlQuery plan(m_db);
            plan.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + statement);
            for (int i = 0; i < statement.count(QLatin1Char('?')); ++i)
                plan.addBindValue(1);
            if (!plan.exec())
                continue;
            while (plan.next()) {
                const QString step = plan.value(3).toString();
                if (step.startsWith(QLatin1String("SCAN")) && !step.contains(QLatin1String("USING"))) {
                    problem(QStringLiteral("indexes: browsing scans a whole table (%1); build the file with the deck tool's indexes")
                                .arg(step));
                    return;
                }
            }
        }
    }

    QSqlDatabase m_db;
    QStringList &m_problems;
    QSet<qint64> m_enabled;
};

} // namespace

namespace {

// What stands at the path when it is not an ordinary file: opening a named pipe would
// wait for a writer, a device would be read as if it were a database.
QString notAFile(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("no such file");
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("a directory, not a database file");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("a named pipe (FIFO), not a database file");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return QStringLiteral("a device, not a database file");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("a socket, not a database file");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("not an ordinary file");
    return QString();
}

} // namespace

QStringList checkDeck(const QString &databaseFile)
{
    QStringList problems;
    if (const QString what = notAFile(databaseFile); !what.isEmpty())
        return {QStringLiteral("%1: %2").arg(databaseFile, what)};
    if (!QFileInfo(databaseFile).isReadable())
        return {QStringLiteral("%1: cannot be read (permissions)").arg(databaseFile)};
    const QString connection = QStringLiteral("palettra-check");
    {
        // Opened as the engine opens collection files: read-only, and waiting only briefly
        // for a file another process holds locked.
        QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(Vantor::DB::SqlDriverName), connection);
        db.setConnectOptions(QLatin1String(Vantor::DB::ReadOnlyConnectOptions));
        db.setDatabaseName(databaseFile);
        if (!db.open()) {
            problems << QStringLiteral("%1: cannot be opened (%2)").arg(databaseFile, db.lastError().text());
        } else if (QSqlQuery probe(db); !probe.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"))) {
            // SQLITE_BUSY and SQLITE_LOCKED, with or without an extended code.
            const int code = probe.lastError().nativeErrorCode().toInt();
            if ((code & 0xff) == 5 || (code & 0xff) == 6)
                problems << QStringLiteral("%1: locked by another process; check it again when that process is done")
                                .arg(databaseFile);
            else
                problems << QStringLiteral("%1: not a collection database (%2)").arg(databaseFile, probe.lastError().text());
        } else if (db.tables().isEmpty()) {
            problems << QStringLiteral("%1: not a collection database (it holds no tables)").arg(databaseFile);
        } else {
            probe.finish();
            Checker checker(db, problems);
            checker.run();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return problems;
}

} // namespace Palettra::Deck
