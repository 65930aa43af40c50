#include "CompleteDatabase.h"

#include "engine/db/DatabaseSchema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace Palettra::Deck {

QStringList browsingSchemaStatements()
{
    QStringList statements;
    statements << QStringLiteral("CREATE TABLE COLLECTION_PAGE_MAP (COLLECTION_ID integer NOT NULL, PAGE_ID integer NOT NULL)");
    for (int i = 0; i < 10; ++i) {
        for (const char *table : {"\"ROW\"", "PAGE"}) {
            statements << QStringLiteral("ALTER TABLE %1 ADD COLUMN NAME%2 text NOT NULL DEFAULT ''").arg(QLatin1String(table)).arg(i);
            statements << QStringLiteral("ALTER TABLE %1 ADD COLUMN EXTRA%2 text NOT NULL DEFAULT ''").arg(QLatin1String(table)).arg(i);
        }
    }
    statements << QStringLiteral("ALTER TABLE \"ROW\" ADD COLUMN IS_MTO integer NOT NULL DEFAULT 0")
               << QStringLiteral("ALTER TABLE PRODUCT ADD COLUMN PRODUCT_CODE text NOT NULL DEFAULT ''")
               << QStringLiteral("CREATE TABLE ROW_SCHEME_MAP (COLLECTION_ID integer NOT NULL, ROW_ID integer NOT NULL, "
                                 "SCHEME_ID integer NOT NULL, SCHEME_ROW_ID integer NOT NULL, "
                                 "PAGE_ORDER integer NOT NULL DEFAULT 0, ROW_ORDER integer NOT NULL DEFAULT 0)")
               << QStringLiteral("CREATE TABLE ROW_TO_PAGE_SCHEME (COLLECTION_ID integer NOT NULL, ROW_ID integer NOT NULL, "
                                 "SCHEME_ID integer NOT NULL, SCHEME_PAGE_ID integer NOT NULL, "
                                 "\"ORDER\" integer NOT NULL DEFAULT 0)");

    // Page queries join PAGE with the map from either side and filter the collection.
    statements << QStringLiteral("CREATE INDEX IDX_CMAP_PAGE_COLLECTION ON COLLECTION_PAGE_MAP (PAGE_ID, COLLECTION_ID)")
               << QStringLiteral("CREATE INDEX IDX_CMAP_COLLECTION_PAGE ON COLLECTION_PAGE_MAP (COLLECTION_ID, PAGE_ID)")
               << QStringLiteral("CREATE INDEX IDX_PAGE_PAGE_INDEX ON PAGE (PAGE_INDEX)")
               << QStringLiteral("CREATE INDEX IDX_PAGE_SEGMENT_PAGE_INDEX ON PAGE (SEGMENT, PAGE_INDEX)")
               << QStringLiteral("CREATE INDEX IDX_ROW_SCHEME_MAP ON ROW_SCHEME_MAP (ROW_ID, SCHEME_ID)")
               << QStringLiteral("CREATE INDEX IDX_ROW_TO_PAGE_SCHEME ON ROW_TO_PAGE_SCHEME (ROW_ID, SCHEME_ID)")
               << QStringLiteral("CREATE INDEX IDX_PAGE_SCHEME_PAGE ON PAGE_SCHEME (PAGE_ID, SCHEME_ID)")
               << QStringLiteral("CREATE INDEX IDX_ROW_RGB ON \"ROW\" (RED, GREEN, BLUE)")
               << QStringLiteral("CREATE INDEX IDX_ROW_CODE ON \"ROW\" (CODE)")
               << QStringLiteral("CREATE INDEX IDX_SETTING_NAME ON SETTING (NAME, VALUE)")
               << QStringLiteral("CREATE INDEX IDX_LOCALE_KEY ON LOCALE (COLLECTION_ID, \"KEY\")")
               << QStringLiteral("CREATE INDEX IDX_THEME_KEY ON THEME (COLLECTION_ID, ITEM_KEY)")
               << QStringLiteral("CREATE INDEX IDX_TEXTURE_MAP_PAGE ON TEXTURE_MAP (PAGE_ID)")
               << QStringLiteral("CREATE INDEX IDX_ROW_PRODUCT_ROW ON ROW_PRODUCT_MAP (ROW_ID)")
               << QStringLiteral("CREATE INDEX IDX_ROW_PRODUCT_GROUP_ROW ON ROW_PRODUCT_GROUP_MAP (ROW_ID)");
    return statements;
}

QString createCompleteSchema(QSqlDatabase &db)
{
    const QStringList statements = Vantor::DB::Schema::referenceStatements() + browsingSchemaStatements();
    QSqlQuery query(db);
    if (!db.transaction())
        return db.lastError().text();
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            const QString error = QStringLiteral("%1: %2").arg(statement, query.lastError().text());
            db.rollback();
            return error;
        }
    }
    if (!db.commit())
        return db.lastError().text();
    return QString();
}

QString createCompleteDatabase(const QString &path)
{
    QFile::remove(path);
    const QString connection = QStringLiteral("palettra-create-") + QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open())
            error = db.lastError().text();
        else
            error = createCompleteSchema(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

} // namespace Palettra::Deck
