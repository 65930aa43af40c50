#include "PaletteUndo.h"

#include "engine/PersistentState.h"

#include <QUndoStack>

namespace Vantor {

PaletteChange::PaletteChange(MyPaletteModel &model, MyPaletteModel::Snapshot before, MyPaletteModel::Snapshot after,
                             const QString &text)
    : QUndoCommand(text)
    , m_model(model)
    , m_before(std::move(before))
    , m_after(std::move(after))
{
}

void PaletteChange::undo()
{
    const PersistentStateBatch batch;
    m_model.applySnapshot(m_before);
}

void PaletteChange::redo()
{
    // The stack redoes a command as it takes it; the change was made already.
    if (m_done) {
        m_done = false;
        return;
    }
    const PersistentStateBatch batch;
    m_model.applySnapshot(m_after);
}

void recordPaletteChange(QUndoStack &stack, MyPaletteModel &model, const QString &text, const std::function<void()> &change)
{
    const PersistentStateBatch batch;
    MyPaletteModel::Snapshot before = model.snapshot();
    change();
    MyPaletteModel::Snapshot after = model.snapshot();
    if (after != before)
        stack.push(new PaletteChange(model, std::move(before), std::move(after), text));
}

} // namespace Vantor
