#include "ItemIndex.h"

#include <QStringList>

namespace Vantor::DB {

namespace {
const QLatin1String Prefix("ItemIndex(");
}

QString ItemIndex::toString() const
{
    return QStringLiteral("ItemIndex(%1,%2,%3)").arg(collection.toString()).arg(pageId).arg(rowId);
}

ItemIndex ItemIndex::fromString(const QString &text)
{
    ItemIndex index;
    if (!text.startsWith(Prefix) || !text.endsWith(QLatin1Char(')')))
        return index;

    // From position 11: past the prefix and the UUID's opening brace.
    const qsizetype start = Prefix.size() + 1;
    const qsizetype length = text.size() - 1 - start;
    if (length < 0)
        return index;
    const QStringList parts = text.mid(start, length).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return index;
    // The opening brace was dropped above: put it back so the UUID parses as braced text.
    QString uuidText = parts.at(0);
    if (!uuidText.startsWith(QLatin1Char('{')))
        uuidText.prepend(QLatin1Char('{'));
    index.collection = QUuid(uuidText);
    index.pageId = parts.at(1).toLongLong();
    index.rowId = parts.at(2).toLongLong();
    return index;
}

} // namespace Vantor::DB
