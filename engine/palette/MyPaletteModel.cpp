#include "MyPaletteModel.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"

namespace Vantor {

MyPaletteModel::MyPaletteModel(QObject *parent)
    : QObject(parent)
{
}

MyPaletteModel::MyPaletteModel(Storage storage, QObject *parent)
    : QObject(parent)
    , m_storage(storage)
{
}

bool MyPaletteModel::isInGrid(const QPoint &position)
{
    return position.x() >= 0 && position.x() < Columns && position.y() >= 0 && position.y() < Rows;
}

QVector<QPoint> MyPaletteModel::gridOrder()
{
    QVector<QPoint> order;
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column)
            order << QPoint(column, row);
    return order;
}

const PaletteCell &MyPaletteModel::cell(const QPoint &position) const
{
    return m_cells[std::size_t(position.y() * Columns + position.x())];
}

PaletteCell &MyPaletteModel::cellAt(const QPoint &position)
{
    return m_cells[std::size_t(position.y() * Columns + position.x())];
}

QString MyPaletteModel::labelFor(const DB::ColorEntry &entry)
{
    const QVector<int> &order = DB::rowNameDisplayOrder();
    const QString name = order.isEmpty() ? QString() : entry.name(order.first());
    return name.isEmpty() ? entry.code : entry.code + QStringLiteral(" - ") + name;
}

void MyPaletteModel::fillInMemory(const QPoint &position, const QUuid &collection, const DB::ColorEntry &entry)
{
    PaletteCell &target = cellAt(position);
    target.index = DB::ItemIndex{collection, entry.pageId, entry.id};
    target.colour = QColor(entry.red, entry.green, entry.blue);
    target.label = labelFor(entry);
}

void MyPaletteModel::setCell(const QPoint &position, const QUuid &collection, const DB::ColorEntry &entry)
{
    if (!isInGrid(position))
        return;
    fillInMemory(position, collection, entry);
    if (m_storage == Storage::Settings)
        setMyPaletteEntry(position.y(), position.x(), cell(position).index);
}

void MyPaletteModel::emptyCell(const QPoint &position)
{
    if (!isInGrid(position))
        return;
    PaletteCell &target = cellAt(position);
    target.index = DB::ItemIndex();
    target.colour = Qt::transparent;
    target.label.clear();
    const bool hadRoom = !target.room.isEmpty() || !target.surface.isEmpty();
    target.room.clear();
    target.surface.clear();
    if (m_storage == Storage::Settings) {
        setMyPaletteEntry(position.y(), position.x(), target.index);
        if (hadRoom)
            setMyPaletteCellRoom(position.y(), position.x(), QString(), QString());
    }
}

void MyPaletteModel::setCellRoom(const QPoint &position, const QString &room, const QString &surface)
{
    if (!isInGrid(position) || !cell(position).isOccupied())
        return;
    PaletteCell &target = cellAt(position);
    target.room = room.simplified();
    target.surface = surface.simplified();
    if (m_storage == Storage::Settings)
        setMyPaletteCellRoom(position.y(), position.x(), target.room, target.surface);
    emit changed();
}

void MyPaletteModel::clearAll(bool clearDescription)
{
    for (const QPoint &position : gridOrder())
        emptyCell(position);
    if (clearDescription)
        setDescription(QString());
}

bool MyPaletteModel::isEmpty() const
{
    for (const PaletteCell &c : m_cells) {
        if (c.isOccupied())
            return false;
    }
    return true;
}

bool MyPaletteModel::hasOccupiedSelection() const
{
    for (const QPoint &position : m_selection) {
        if (cell(position).isOccupied())
            return true;
    }
    return false;
}

bool MyPaletteModel::pickedChip(QUuid &collection, DB::ColorEntry &chip) const
{
    if (m_selection.size() != 1)
        return false;
    const PaletteCell &cell = this->cell(m_selection.constFirst());
    if (!cell.isOccupied())
        return false;
    collection = cell.index.collection;
    if (DB::loadColorById(cell.index.collection, cell.index.rowId, chip) == DB::StatusOk)
        return true;
    // The collection cannot be read now (replaced, removed): the chip is what the cell
    // shows, its code and name from the label, so that a pick the cell offers still goes.
    chip = DB::ColorEntry();
    chip.red = cell.colour.red();
    chip.green = cell.colour.green();
    chip.blue = cell.colour.blue();
    const int separator = cell.label.indexOf(QLatin1String(" - "));
    chip.code = separator < 0 ? cell.label : cell.label.left(separator);
    if (separator >= 0)
        chip.names << cell.label.mid(separator + 3);
    return true;
}

QVector<QColor> MyPaletteModel::selectedChipColours() const
{
    QVector<QColor> colours;
    for (const QPoint &position : m_selection) {
        if (cell(position).isOccupied())
            colours << cell(position).colour;
    }
    return colours;
}

void MyPaletteModel::setDescription(const QString &description)
{
    m_description = description;
    if (m_storage == Storage::Settings)
        setMyPaletteDescription(description);
}

void MyPaletteModel::restore()
{
    m_selection.clear();
    // What the user wrote comes back with the cells.
    if (m_storage == Storage::Settings)
        m_description = myPaletteDescription();
    for (const QPoint &position : gridOrder()) {
        const DB::ItemIndex stored = myPaletteEntry(position.y(), position.x());
        DB::ColorEntry entry;
        if (stored.rowId > 0 && DB::loadColorById(stored.collection, stored.rowId, entry) == DB::StatusOk) {
            fillInMemory(position, stored.collection, entry);
            PaletteCell &target = cellAt(position);
            target.room = myPaletteCellRoom(position.y(), position.x());
            target.surface = myPaletteCellSurface(position.y(), position.x());
        } else {
            PaletteCell &target = cellAt(position);
            target.index = DB::ItemIndex();
            target.colour = Qt::transparent;
            target.label.clear();
        }
        if (myPaletteCellSelected(position.y(), position.x()))
            m_selection.append(position);
    }
}

void MyPaletteModel::storeSelected(const QPoint &position, bool selected)
{
    if (m_storage == Storage::Settings)
        setMyPaletteCellSelected(position.y(), position.x(), selected);
}

void MyPaletteModel::eraseSelection()
{
    for (const QPoint &position : m_selection)
        emptyCell(position);
    emit changed();
}

void MyPaletteModel::clearCells()
{
    for (const QPoint &position : gridOrder())
        emptyCell(position);
    emit changed();
    emit selectionChanged();
}

void MyPaletteModel::pressCell(const QPoint &position, Qt::KeyboardModifiers modifiers)
{
    if (!isInGrid(position))
        return;
    if (modifiers == Qt::NoModifier) {
        for (const QPoint &selected : m_selection)
            storeSelected(selected, false);
        m_selection.clear();
        m_selection.append(position);
        storeSelected(position, true);
    } else if (modifiers == Qt::ControlModifier) {
        if (m_selection.contains(position)) {
            m_selection.removeAll(position);
            storeSelected(position, false);
        } else {
            m_selection.append(position);
            storeSelected(position, true);
        }
    }
    emit selectionChanged();
}

void MyPaletteModel::dropChip(const QPoint &target, const QUuid &collection, const DB::ColorEntry &entry)
{
    if (!isInGrid(target))
        return;
    if (m_selection.contains(target)) {
        for (const QPoint &position : m_selection)
            setCell(position, collection, entry);
    } else {
        setCell(target, collection, entry);
    }
    emit changed();
}

MyPaletteModel::Snapshot MyPaletteModel::snapshot() const
{
    // What is stored, where the palette is stored: a chip the database cannot read just
    // now shows as an empty cell but keeps its stored entry, and an undo must not lose it.
    Snapshot state;
    const QVector<QPoint> order = gridOrder();
    for (int i = 0; i < order.size(); ++i) {
        const QPoint &position = order.at(i);
        state.cells[std::size_t(i)] = m_storage == Storage::Settings ? myPaletteEntry(position.y(), position.x())
                                                                     : cell(position).index;
        state.rooms[std::size_t(i)] = {cell(position).room, cell(position).surface};
    }
    state.description = m_description;
    return state;
}

void MyPaletteModel::applySnapshot(const Snapshot &state)
{
    const QVector<QPoint> order = gridOrder();
    for (int i = 0; i < order.size(); ++i) {
        const DB::ItemIndex &index = state.cells[std::size_t(i)];
        DB::ColorEntry entry;
        if (index.rowId > 0 && DB::loadColorById(index.collection, index.rowId, entry) == DB::StatusOk) {
            setCell(order.at(i), index.collection, entry);
            const auto &[room, surface] = state.rooms[std::size_t(i)];
            PaletteCell &target = cellAt(order.at(i));
            if (target.room != room || target.surface != surface) {
                target.room = room;
                target.surface = surface;
                if (m_storage == Storage::Settings)
                    setMyPaletteCellRoom(order.at(i).y(), order.at(i).x(), room, surface);
            }
        } else {
            emptyCell(order.at(i));
            if (index.rowId > 0 && m_storage == Storage::Settings)
                setMyPaletteEntry(order.at(i).y(), order.at(i).x(), index);
        }
    }
    setDescription(state.description);
    emit changed();
}

} // namespace Vantor
