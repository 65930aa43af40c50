#include "TestDeck.h"
#include "TestEnvironment.h"

#include "engine/db/NavigationQueries.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The card roller's statements run at every paint: on a database made by our tools,
// every table they touch is reached through an index, never scanned whole.
TEST(QueryPlan, CardPaintStatementsUseIndexes)
{
    QTemporaryDir dir;
    Palettra::Test::TestDeck deck(dir.path(), QStringLiteral("plan.db"));
    deck.writer().addCollection(QUuid::createUuid(), QStringLiteral("P"), QStringLiteral("Plan"), 1);
    ASSERT_TRUE(deck.writer().ok());
    QSqlDatabase db;
    for (const QString &name : QSqlDatabase::connectionNames()) {
        if (QSqlDatabase::database(name, false).databaseName() == deck.path())
            db = QSqlDatabase::database(name);
    }
    ASSERT_TRUE(db.isOpen());
    QSqlQuery(db).exec(QStringLiteral("ANALYZE"));

    const QStringList statements = Vantor::DB::cardPaintStatements();
    ASSERT_EQ(statements.size(), 6);
    for (const QString &statement : statements) {
        QSqlQuery plan(db);
        ASSERT_TRUE(plan.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + statement)) << statement.toStdString();
        for (int i = 0; i < statement.count(QLatin1Char('?')); ++i)
            plan.addBindValue(1);
        ASSERT_TRUE(plan.exec()) << statement.toStdString();
        QStringList steps;
        while (plan.next())
            steps << plan.value(3).toString();
        for (const QString &step : steps) {
            EXPECT_FALSE(step.startsWith(QLatin1String("SCAN")) && !step.contains(QLatin1String("USING")))
                << step.toStdString() << "\n  in " << statement.toStdString();
        }
    }
}

} // namespace
