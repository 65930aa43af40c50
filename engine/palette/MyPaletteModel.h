#pragma once

#include "engine/db/ColorEntry.h"
#include "engine/db/ItemIndex.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QUuid>
#include <QVector>

#include <array>

namespace Vantor {

// One cell of My Palette. A cell holds a chip exactly when its row id is above 0.
struct PaletteCell
{
    DB::ItemIndex index;
    QColor colour = Qt::transparent;
    QString label;
    // The room and surface the chip is for (the colour board checks surfaces that meet);
    // they stay when another chip is dropped on the cell and go when it is emptied.
    QString room;
    QString surface;

    bool isOccupied() const { return index.rowId > 0; }
};

// The user's palette of up to 24 chips in a 6 × 4 grid, with a selection of positions
// and a description. Every change of a cell or of the selection is written to the
// persistent state at once; a chip is identified across runs by (collection, page id,
// row id) and its colour and label are always read again from the database.
class MyPaletteModel : public QObject
{
    Q_OBJECT
public:
    static constexpr int Columns = 6;
    static constexpr int Rows = 4;

    // Where the palette lives: the user's settings (the picker's own palette), or memory
    // only (a palette a tool reads from a file, which must not touch the user's).
    enum class Storage { Settings, MemoryOnly };

    explicit MyPaletteModel(QObject *parent = nullptr);
    explicit MyPaletteModel(Storage storage, QObject *parent = nullptr);

    static bool isInGrid(const QPoint &position);
    // The 24 positions in grid order: row by row, left to right.
    static QVector<QPoint> gridOrder();

    const PaletteCell &cell(const QPoint &position) const;

    // Fills a cell from a colour of a collection and stores it.
    void setCell(const QPoint &position, const QUuid &collection, const DB::ColorEntry &entry);
    // Empties a cell and removes its stored entry.
    void emptyCell(const QPoint &position);
    // Empties all cells (stored); with `clearDescription` also the description.
    void clearAll(bool clearDescription);
    // Gives an occupied cell's chip its room and surface (empty for none) and stores them.
    // Emits changed().
    void setCellRoom(const QPoint &position, const QString &room, const QString &surface);

    bool isEmpty() const;
    bool hasOccupiedSelection() const;
    const QList<QPoint> &selection() const { return m_selection; }
    // The colours of the selected positions that hold a chip, in selection order.
    QVector<QColor> selectedChipColours() const;
    // The picked chip: that of the one selected cell, as its collection holds it now,
    // or as the cell shows it when the collection cannot be read. False (nothing picked)
    // unless exactly one cell is selected and it holds a chip. Whatever hands a chip on
    // (the clipboard, a script) takes this one.
    bool pickedChip(QUuid &collection, DB::ColorEntry &chip) const;

    QString description() const { return m_description; }
    // Changes the description and stores it.
    void setDescription(const QString &description);

    // Brings every cell, the selection and the description back from the persistent
    // state, reading the chips from the database. Cells whose chip cannot be read stay
    // empty in memory; their stored entries survive. Emits nothing.
    void restore();

    // Empties every selected cell (the selection stays). Emits changed().
    void eraseSelection();
    // Empties every cell, keeping description and selection. Emits changed() and
    // selectionChanged().
    void clearCells();
    // The selection rule of a press on a position.
    void pressCell(const QPoint &position, Qt::KeyboardModifiers modifiers);
    // A chip dropped onto a position: fills every selected position when the target is
    // one of them, else the target alone. Emits changed().
    void dropChip(const QPoint &target, const QUuid &collection, const DB::ColorEntry &entry);

    // The label rule: the code, " - " and the first displayed name, or the code alone.
    static QString labelFor(const DB::ColorEntry &entry);

    // What the cells hold and the description, to be put back later (undo).
    struct Snapshot
    {
        std::array<DB::ItemIndex, Columns * Rows> cells;
        std::array<std::pair<QString, QString>, Columns * Rows> rooms; // room, surface
        QString description;
        bool operator==(const Snapshot &other) const
        {
            return cells == other.cells && rooms == other.rooms && description == other.description;
        }
        bool operator!=(const Snapshot &other) const { return !(*this == other); }
    };
    Snapshot snapshot() const;
    // Puts the cells and the description back as they were, storing them as every
    // change is stored. Emits changed().
    void applySnapshot(const Snapshot &state);

signals:
    void changed();
    void selectionChanged();

private:
    PaletteCell &cellAt(const QPoint &position);
    void fillInMemory(const QPoint &position, const QUuid &collection, const DB::ColorEntry &entry);
    void storeSelected(const QPoint &position, bool selected);

    Storage m_storage = Storage::Settings;
    std::array<PaletteCell, Columns * Rows> m_cells;
    QList<QPoint> m_selection;
    QString m_description;
};

} // namespace Vantor
