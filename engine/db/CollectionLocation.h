#pragma once

#include <QString>
#include <QUuid>

namespace Vantor::DB {

// Where one registered collection lives: its file and its identity inside that file.
struct CollectionLocation
{
    QUuid uuid;
    qint64 id = 0;          // COLLECTION.ID inside the file; queries filter by it
    qint32 order = 0;       // display order
    QString databasePath;   // absolute path of the .db file
    QString systemId;
};

} // namespace Vantor::DB
