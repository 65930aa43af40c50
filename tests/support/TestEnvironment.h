#pragma once

#include <QString>
#include <QStringList>
#include <QUuid>

#include <ostream>

// Readable values in assertion messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}
inline void PrintTo(const QUuid &uuid, std::ostream *out)
{
    *out << uuid.toString().toStdString();
}

namespace Palettra::Test {

// The temporary folders that stand in for the user's configuration and the machine's
// data folder in this test process (set up before anything reads them).
QString configHome();
QString dataHome();

// Sets XDG_CONFIG_HOME, XDG_DATA_DIRS and HOME to fresh temporary folders, and the
// offscreen platform. Call first thing in main.
void isolateFromUserFolders();

} // namespace Palettra::Test
