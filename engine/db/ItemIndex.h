#pragma once

#include <QString>
#include <QUuid>

namespace Vantor::DB {

// Identifies one colour of one collection persistently (My Palette cells, palette files).
struct ItemIndex
{
    QUuid collection;
    qint64 pageId = -1;
    qint64 rowId = -1;

    // "ItemIndex({uuid},page,row)"
    QString toString() const;
    // The default value unless the text has the exact form above.
    static ItemIndex fromString(const QString &text);

    friend bool operator==(const ItemIndex &a, const ItemIndex &b)
    {
        return a.collection == b.collection && a.pageId == b.pageId && a.rowId == b.rowId;
    }
    friend bool operator!=(const ItemIndex &a, const ItemIndex &b) { return !(a == b); }
};

} // namespace Vantor::DB
