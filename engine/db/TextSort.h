#pragma once

#include <QStringList>

#include <memory>

namespace Vantor::DB {

// The texts in ascending order of their UTF-16 code units, the order QString's operator<
// gives, each text once. A three-way radix quicksort over a few code units at a time
// kept beside each text: it looks at each character about once per level instead of
// comparing whole texts again and again, which matters for hundreds of thousands of
// names that share long beginnings. The texts are moved out of `texts`.
QStringList sortedUniqueTexts(QStringList &texts);

// What SQLite's UPPER and its NOCASE collation make of a text (without ICU): only the
// 26 ASCII letters fold, so "ä" and "Ä" stay apart.
QString sqliteAsciiUpper(const QString &text);

// Gathers texts one by one and gives them back as sortedUniqueTexts would. Texts are
// sorted in batches while more are still coming, on a thread of its own once a first
// batch is full, and the sorted batches merged: a long list read from a database is
// then mostly sorted by the time its last text has been read.
class UniqueTextCollector
{
public:
    UniqueTextCollector();
    ~UniqueTextCollector();
    UniqueTextCollector(const UniqueTextCollector &) = delete;
    UniqueTextCollector &operator=(const UniqueTextCollector &) = delete;

    void add(QString text);
    // Every text added, sorted, each once; the collector is empty afterwards.
    QStringList finish();

    // Texts per batch.
    static constexpr qsizetype BatchSize = 32768;

private:
    struct Runs;
    struct Worker;
    void stopWorker();

    QStringList m_batch;
    std::unique_ptr<Runs> m_ownRuns;
    std::unique_ptr<Worker> m_worker;
};

} // namespace Vantor::DB
