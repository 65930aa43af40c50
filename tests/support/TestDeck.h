#pragma once

#include "tools/deck/DeckWriter.h"

#include <QSqlDatabase>
#include <QString>
#include <QUuid>

namespace Palettra::Test {

// "<base>/Contents/Resources": where the registry looks for .db files.
QString resourcesFolder(const QString &baseFolder);

// A database file with the complete schema, open for writing through a DeckWriter
// while the object lives. The file's writer connection is closed on destruction.
class TestDeck
{
public:
    // Creates `fileName` in the Resources folder below `baseFolder`.
    TestDeck(const QString &baseFolder, const QString &fileName);
    ~TestDeck();
    TestDeck(const TestDeck &) = delete;
    TestDeck &operator=(const TestDeck &) = delete;

    Palettra::Deck::DeckWriter &writer() { return *m_writer; }
    QString path() const { return m_path; }

    // Closes the writer connection (the file stays). Check writer().ok() before.
    void close();

private:
    QString m_path;
    QString m_connection;
    Palettra::Deck::DeckWriter *m_writer = nullptr;
};

} // namespace Palettra::Test
