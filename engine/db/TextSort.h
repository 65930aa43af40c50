#pragma once

#include <QStringList>

namespace Vantor::DB {

// The texts in ascending order of their UTF-16 code units, the order QString's operator<
// gives, each text once. A three-way radix quicksort over a few code units at a time
// kept beside each text: it looks at each character about once per level instead of
// comparing whole texts again and again, which matters for hundreds of thousands of
// names that share long beginnings. A large list is sorted in two halves on two threads
// and merged. The texts are moved out of `texts`.
QStringList sortedUniqueTexts(QStringList &texts);

} // namespace Vantor::DB
