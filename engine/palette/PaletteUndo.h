#pragma once

// Undo and redo of My Palette's changes: drops, erases, clears and loads.

#include "MyPaletteModel.h"

#include <QUndoCommand>

#include <functional>

class QUndoStack;

namespace Vantor {

// A change of the palette by its states before and after: undo and redo put one of them
// back, stored as every change is.
class PaletteChange : public QUndoCommand
{
public:
    PaletteChange(MyPaletteModel &model, MyPaletteModel::Snapshot before, MyPaletteModel::Snapshot after,
                  const QString &text);

    void undo() override;
    void redo() override;

private:
    MyPaletteModel &m_model;
    MyPaletteModel::Snapshot m_before;
    MyPaletteModel::Snapshot m_after;
    bool m_done = true; // the change has just been made when the command is pushed
};

// Runs `change` on the palette and records it on the stack, when it changed anything.
void recordPaletteChange(QUndoStack &stack, MyPaletteModel &model, const QString &text, const std::function<void()> &change);

} // namespace Vantor
