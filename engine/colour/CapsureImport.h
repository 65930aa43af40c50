#pragma once

// The import of a Capsure measurement: the names the measuring device's software gave
// the measured object, and the collection colours that carry one of those names or
// codes, in the collections' Capsure priority order.

#include "engine/db/ColorEntry.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace Vantor {

// The measurement file is there and may be read.
bool capsureFileAvailable(const QString &path);

// The object names of the measurement file; empty when it cannot be read, is no XML (or
// carries a DTD), is too large, or names no object.
QStringList capsureMeasurementNames(const QString &path);

// The colours whose code or searched name equals one of the names, grouped by
// collection in the collections' priority order; within a group each colour once, in
// the order found. Colours of collections outside the priority list are left out.
QVector<DB::ColorEntry> capsureMatches(const QStringList &names);

} // namespace Vantor
