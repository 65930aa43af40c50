#pragma once

#include <QString>
#include <QUuid>

namespace Vantor::DB {

// The tooltip of a chip, as the collection's tooltip switches and display orders want
// it: rich text (html) or plain text. Empty when the colour cannot be loaded.
QString colorTooltipText(const QUuid &uuid, qint64 rowId, bool html);

} // namespace Vantor::DB
