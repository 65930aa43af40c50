#include "PaletteRooms.h"

#include "MyPaletteModel.h"
#include "engine/db/ForgivingSearch.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace Vantor {

QString paletteRoomsText(const MyPaletteModel &palette)
{
    QStringList lines;
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        const PaletteCell &cell = palette.cell(position);
        const QString code = cell.label.section(QStringLiteral(" - "), 0, 0);
        if (cell.isOccupied() && !cell.room.isEmpty() && !cell.surface.isEmpty() && !code.isEmpty())
            lines << QStringLiteral("%1 / %2: %3").arg(cell.room, cell.surface, code);
    }
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void applyPaletteRooms(MyPaletteModel &palette, const QString &rooms)
{
    for (const QString &text : rooms.split(QLatin1Char('\n'))) {
        const QString line = text.trimmed();
        const qsizetype slash = line.indexOf(QLatin1Char('/'));
        const qsizetype colon = slash < 0 ? -1 : line.indexOf(QLatin1Char(':'), slash);
        if (line.startsWith(QLatin1Char('#')) || colon < 0)
            continue;
        const QString room = line.left(slash).simplified();
        const QString surface = line.mid(slash + 1, colon - slash - 1).simplified();
        const QString code = DB::forgivingSearchKey(line.mid(colon + 1));
        for (const QPoint &position : MyPaletteModel::gridOrder()) {
            const PaletteCell &cell = palette.cell(position);
            if (cell.isOccupied() && cell.room.isEmpty()
                && DB::forgivingSearchKey(cell.label.section(QStringLiteral(" - "), 0, 0)) == code) {
                palette.setCellRoom(position, room, surface);
                break;
            }
        }
    }
}

QString roomsFileBeside(const QString &palettePath)
{
    const QFileInfo info(palettePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".rooms"));
}

} // namespace Vantor
