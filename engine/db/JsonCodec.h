#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace Vantor::DB {

// A small JSON codec between text and variants (maps with string keys, lists, strings,
// numbers, booleans, null). Its spacing and number formats are part of the drag-and-drop
// payload format.

// Parses one value from the start of the text; what follows it is ignored. A null text
// gives a null variant. On failure `ok` is false and the result is an empty map or list
// (for a broken object or array) or a null variant.
QVariant parseJson(const QString &text, bool &ok);

// The deepest nesting of objects and arrays accepted: far beyond any payload of ours,
// well short of exhausting the stack with text from another program.
inline constexpr int MaximumJsonNesting = 256;

// Serialises a value: "{ \"key\" : value, ... }", "[ a, b ]", doubles with 20
// significant digits. On failure `ok` is false and the result is a null byte array.
QByteArray serializeJson(const QVariant &value, bool &ok);
QByteArray serializeJson(const QVariant &value);

} // namespace Vantor::DB
