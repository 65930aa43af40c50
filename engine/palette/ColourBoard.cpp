#include "ColourBoard.h"

#include "MyPaletteModel.h"
#include "engine/colour/ColourVision.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ForgivingSearch.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/StatusCodes.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace Vantor {

namespace {

struct SurfaceName
{
    const char *name;
    std::initializer_list<const char *> alsoCalled;
};

const SurfaceName SurfaceNames[] = {
    {"walls", {"wall"}},
    {"ceiling", {"ceilings"}},
    {"floor", {"floors", "flooring"}},
    {"skirting", {"skirtings", "skirting board", "skirting boards"}},
    {"door", {"doors", "door leaf"}},
    {"door frame", {"door frames", "frame", "frames", "architrave"}},
    {"door furniture", {"door handle", "door handles", "handle", "handles", "ironmongery"}},
    {"handrail", {"handrails", "rail"}},
    {"stair nosing", {"stair nosings", "nosing", "nosings"}},
    {"stair treads", {"stair tread", "tread", "treads"}},
};

// The surfaces that meet, each pair once.
const std::pair<const char *, const char *> SurfacesThatMeet[] = {
    {"walls", "ceiling"},  {"walls", "floor"}, {"walls", "skirting"},        {"skirting", "floor"},
    {"walls", "door"},     {"walls", "door frame"}, {"door", "door frame"},  {"door", "door furniture"},
    {"walls", "handrail"}, {"stair nosing", "stair treads"},
};

QString foldedRoom(const QString &room)
{
    return room.simplified().toCaseFolded();
}

} // namespace

bool BoardPair::underGuidance() const
{
    return difference < MinimumLrvContrast;
}

QVector<PlacedChip> placedChipsOf(const MyPaletteModel &palette, QVector<LeftOutColour> *leftOut)
{
    QVector<PlacedChip> cells;
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        const PaletteCell &cell = palette.cell(position);
        if (!cell.isOccupied())
            continue;
        DB::ColorEntry chip;
        if (DB::loadColorById(cell.index.collection, cell.index.rowId, chip) == DB::StatusOk)
            cells.append({position, cell.index.collection, chip, std::nullopt});
        else if (leftOut)
            leftOut->append({cell.label.isEmpty() ? cell.colour.name(QColor::HexRgb).toUpper() : cell.label,
                             QStringLiteral("its collection cannot be read")});
    }
    return cells;
}

ColourBoard colourBoardOf(const QVector<PlacedChip> &cells, const QString &title, const QVector<LeftOutColour> &leftOut)
{
    ColourBoard board;
    board.title = title;
    board.leftOut = leftOut;
    QHash<QUuid, QString> collectionNames;
    for (const PlacedChip &cell : cells) {
        BoardChip chip;
        chip.cell = cell.position;
        chip.code = cell.chip.code;
        for (int index : DB::rowNameDisplayOrder()) {
            if (!cell.chip.name(index).isEmpty())
                chip.names << cell.chip.name(index);
        }
        auto name = collectionNames.find(cell.collection);
        if (name == collectionNames.end()) {
            QSharedPointer<DB::Collection> record;
            name = collectionNames.insert(cell.collection,
                                          DB::loadCollection(cell.collection, record) == DB::StatusOk && record ? record->name
                                                                                                                : QString());
        }
        chip.collectionName = *name;
        chip.rgb = cell.chip.color();
        chip.lab = chipLab(cell.chip);
        chip.lrv = lightReflectanceValue(chip.lab);
        chip.matchedFrom = cell.matchedFrom;
        board.chips << chip;
    }
    return board;
}

const QStringList &boardSurfaceNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const SurfaceName &surface : SurfaceNames)
            list << QLatin1String(surface.name);
        return list;
    }();
    return names;
}

QString canonicalBoardSurface(const QString &typed)
{
    const QString folded = typed.simplified().toCaseFolded();
    for (const SurfaceName &surface : SurfaceNames) {
        if (folded == QLatin1String(surface.name))
            return QLatin1String(surface.name);
        for (const char *other : surface.alsoCalled) {
            if (folded == QLatin1String(other))
                return QLatin1String(surface.name);
        }
    }
    return QString();
}

bool boardSurfacesMeet(const QString &first, const QString &second)
{
    return std::any_of(std::begin(SurfacesThatMeet), std::end(SurfacesThatMeet), [&](const auto &pair) {
        return (first == QLatin1String(pair.first) && second == QLatin1String(pair.second))
            || (first == QLatin1String(pair.second) && second == QLatin1String(pair.first));
    });
}

QString boardSurfacePairsSource()
{
    return QStringLiteral(
        "Surfaces compared: walls with the ceiling, the floor, skirtings, doors, door frames and handrails; skirtings with "
        "the floor; doors with their frames and their furniture; stair nosings with the treads. These are the surfaces "
        "that meet for which BS 8300-2:2018 (Design of an accessible and inclusive built environment, Buildings) asks "
        "for visual contrast, a difference of at least 30 LRV points (20 may do in some cases); the UK Approved "
        "Document M refers to it.");
}

bool applyBoardRooms(ColourBoard &board, const QString &rooms, QStringList &problems)
{
    const int problemsBefore = int(problems.size());
    QHash<QString, int> chipsByCode;
    for (int i = 0; i < board.chips.size(); ++i)
        chipsByCode.insert(DB::forgivingSearchKey(board.chips.at(i).code), i);
    QVector<BoardSurface> surfaces;
    QHash<QString, int> lineOfSurface; // folded room and surface → line
    const QStringList lines = rooms.split(QLatin1Char('\n'));
    for (int number = 1; number <= lines.size(); ++number) {
        const QString line = lines.at(number - 1).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype slash = line.indexOf(QLatin1Char('/'));
        const qsizetype colon = slash < 0 ? -1 : line.indexOf(QLatin1Char(':'), slash);
        const QString room = slash < 0 ? QString() : line.left(slash).simplified();
        const QString surfaceText = colon < 0 ? QString() : line.mid(slash + 1, colon - slash - 1).simplified();
        const QString code = colon < 0 ? QString() : line.mid(colon + 1).simplified();
        if (room.isEmpty() || surfaceText.isEmpty() || code.isEmpty()) {
            problems << QStringLiteral("line %1: \"%2\" is not ROOM / SURFACE: CODE").arg(number).arg(line);
            continue;
        }
        const QString surface = canonicalBoardSurface(surfaceText);
        if (surface.isEmpty()) {
            problems << QStringLiteral("line %1: unknown surface \"%2\" (known: %3)")
                            .arg(number)
                            .arg(surfaceText, boardSurfaceNames().join(QStringLiteral(", ")));
            continue;
        }
        const auto chip = chipsByCode.constFind(DB::forgivingSearchKey(code));
        if (chip == chipsByCode.cend()) {
            problems << QStringLiteral("line %1: %2 is not a colour of the board").arg(number).arg(code);
            continue;
        }
        const QString key = foldedRoom(room) + QLatin1Char('/') + surface;
        if (lineOfSurface.contains(key)) {
            problems << QStringLiteral("line %1: %2 / %3 was given on line %4 already")
                            .arg(number)
                            .arg(room, surface)
                            .arg(lineOfSurface.value(key));
            continue;
        }
        lineOfSurface.insert(key, number);
        surfaces.append({room, surface, *chip, number});
    }
    if (problems.size() > problemsBefore)
        return false;
    // Rooms in the order they first come; in each, the pairs of surfaces that meet.
    QStringList roomOrder;
    for (const BoardSurface &surface : std::as_const(surfaces)) {
        if (!roomOrder.contains(foldedRoom(surface.room)))
            roomOrder << foldedRoom(surface.room);
    }
    QVector<BoardPair> pairs;
    for (const QString &room : std::as_const(roomOrder)) {
        for (int i = 0; i < surfaces.size(); ++i) {
            for (int j = i + 1; j < surfaces.size(); ++j) {
                if (foldedRoom(surfaces.at(i).room) != room || foldedRoom(surfaces.at(j).room) != room
                    || !boardSurfacesMeet(surfaces.at(i).surface, surfaces.at(j).surface))
                    continue;
                const double difference = std::abs(board.chips.at(surfaces.at(i).chip).lrv - board.chips.at(surfaces.at(j).chip).lrv);
                pairs.append({int(i), int(j), difference});
            }
        }
    }
    board.surfaces = surfaces;
    board.pairs = pairs;
    return true;
}

BoardPaper boardPaperFor(const QLocale &locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? BoardPaper::Letter : BoardPaper::A4;
}

} // namespace Vantor
