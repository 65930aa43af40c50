#include "BenchSources.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

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

ToolRun runPalettraDb(const QStringList &arguments)
{
    std::vector<QByteArray> words{QByteArrayLiteral(PALETTRA_DB_PROGRAM)};
    for (const QString &argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    ToolRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv.front(), nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    // The child's own peak, read from its status while it runs: the peak wait4 reports
    // counts, for a child spawned from a large process, that process's memory too.
    const QString statusFile = QStringLiteral("/proc/%1/status").arg(child);
    double peak = 0.0;
    int status = 0;
    for (;;) {
        QFile file(statusFile);
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : file.readAll().split('\n')) {
                if (line.startsWith("VmHWM:"))
                    peak = std::max(peak, line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024.0);
            }
        }
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child)
            break;
        if (ended < 0)
            return run;
        usleep(2000);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.residentBytes = peak;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

} // namespace Palettra::Bench
