#include "TestDeck.h"

#include "tools/deck/CompleteDatabase.h"

#include <QDir>
#include <QSqlDatabase>
#include <stdexcept>

namespace Palettra::Test {

QString resourcesFolder(const QString &baseFolder)
{
    return baseFolder + QStringLiteral("/Contents/Resources");
}

TestDeck::TestDeck(const QString &baseFolder, const QString &fileName)
    : m_path(resourcesFolder(baseFolder) + QLatin1Char('/') + fileName)
    , m_connection(QStringLiteral("test-deck-") + QUuid::createUuid().toString())
{
    QDir().mkpath(resourcesFolder(baseFolder));
    const QString error = Palettra::Deck::createCompleteDatabase(m_path);
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    if (!db.open())
        throw std::runtime_error("cannot open test deck");
    m_writer = new Palettra::Deck::DeckWriter(db);
}

TestDeck::~TestDeck()
{
    close();
}

void TestDeck::close()
{
    if (!m_writer)
        return;
    delete m_writer;
    m_writer = nullptr;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

} // namespace Palettra::Test
