#pragma once

#include "ColorEntry.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QUuid>

class QMimeData;

namespace Vantor::DB {

// The record a chip carries when it is dragged between panels, as JSON under a private
// MIME type. A chip record names a database colour; a colour record (from the trend
// groups) carries a bare colour with two name lines.
inline constexpr const char *ChipMimeType = "orva.tavel.zyla/color.chip.dnd.info";

// Which panel a drag started in (the record's "from").
enum ChipDragSource : int {
    NoChipDragSource = 0,
    FromCardRoller = 1,
    FromColorSchemer = 2,
    FromMyPalette = 3,
    FromProspectGroups = 4,
};

bool hasChipRecord(const QMimeData *mime);
// The record's source, or 0 when it has none in 1..4 or does not parse.
int chipRecordSource(const QMimeData *mime);
// Reads the colour the record names from the database: that lookup's status, or -1
// when the data holds no record.
int readChipRecord(const QMimeData *mime, QUuid &collectionId, ColorEntry &entry);
int readColourRecordRgb(const QMimeData *mime, QColor &colour);
int readColourRecordNames(const QMimeData *mime, QString &name1, QString &name2);

QByteArray writeChipRecord(int from, const QUuid &collectionId, const ColorEntry &entry);
QByteArray writeColourRecord(int from, const QColor &colour, const QString &name1, const QString &name2);

} // namespace Vantor::DB
