#pragma once

#include <QStringList>
#include <QUuid>
#include <QVector>

#include "StatusCodes.h"

namespace Vantor::DB {

// The completion candidates of a collection: the card and colour names of the search
// orders and every colour code, distinct, non-blank, sorted by character code. 0, -1
// when there are none, or a code of openCollection. The list is cleared first.
int loadCompletions(const QUuid &uuid, QStringList &completions);

// What reading a collection's completions takes, gathered where the registry lives: the
// file, the collection's id in it and the search orders of the collection shown.
struct CompletionSource
{
    int status = StatusOk; // openCollection's code
    QString databasePath;
    qint64 collectionId = -1;
    QVector<int> pagePositions;
    QVector<int> rowPositions;
    qint64 dataVersion = -1; // of the file as the collection's connection saw it
};
CompletionSource completionSource(const QUuid &uuid);

// The same list as above, read through a read-only connection of its own: safe on any
// thread, so that a large deck's list can be read away from the interface. The lists of
// the last collections read are kept for the same file state and search orders.
int loadCompletions(const CompletionSource &source, QStringList &completions);
// A kept list; false when there is none.
bool keptCompletions(const CompletionSource &source, QStringList &completions);

// Where a phrase leads: the first card or colour whose searched name or code equals it
// (ignoring the case of ASCII letters in the stored texts). The outputs start as -1,
// -1, -1, 0 and false; rowIndex stays -1 when the phrase names a card. 0, -6 when
// nothing matches, -1 when the query fails, or a code of openCollection.
int searchPhrase(const QUuid &uuid, const QString &phrase, int &pageIndex, int &rowIndex, int &segment, int &mood,
                 bool &exterior);

} // namespace Vantor::DB
