// The main widget's keyboard: the shortcuts that work wherever the focus is in the
// picker (undo and redo of My Palette, copying the chosen colour, help), Escape for the
// full view, and the frame that shows where the focus is.

#include "MainWidget.h"

#include "FocusFrame.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/ColourValueText.h"
#include "engine/palette/MyPaletteFullWidget.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/palette/MyPaletteWidget.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QUndoStack>

namespace Vantor {

void MainWidget::setUpKeyboard()
{
    focusFrame = new FocusFrame(this);
    auto shortcut = [this](const QList<QKeySequence> &keys, auto slot) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        // Several pickers may be open at once: each takes its own keys only.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, slot);
    };
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { myPalette->undoStack()->undo(); });
    shortcut({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
             [this] { myPalette->undoStack()->redo(); });
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] { copySelectedColour(); });
    shortcut({QKeySequence(Qt::Key_F1)}, [this] { helpButtonClicked(); });
}

void MainWidget::keyPressEvent(QKeyEvent *event)
{
    // Escape leaves the full view; elsewhere it goes on to the window around the picker.
    if (event->key() == Qt::Key_Escape && myPaletteFull->isVisible()) {
        unzoomMyPaletteClicked();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool MainWidget::copySelectedColour()
{
    const MyPaletteModel &palette = myPalette->model();
    if (palette.selection().size() != 1)
        return false;
    const PaletteCell &cell = palette.cell(palette.selection().constFirst());
    DB::ColorEntry chip;
    if (!cell.isOccupied() || DB::loadColorById(cell.index.collection, cell.index.rowId, chip) != DB::StatusOk)
        return false;
    const QVector<int> &order = DB::rowNameDisplayOrder();
    const QString name = order.isEmpty() ? QString() : chip.name(order.constFirst());
    const QColor rgb(chip.red, chip.green, chip.blue);
    const bool storedLab = chip.l != 0.0 || chip.a != 0.0 || chip.b != 0.0 || rgb == QColor(Qt::black);
    const LabColour lab = storedLab ? LabColour{chip.l, chip.a, chip.b} : labFromColour(rgb);
    const QString words = colourInWords(chip.code, name, rgb, lab);
    // The words for a text editor, the colour itself for programs that take colours.
    auto *data = new QMimeData;
    data->setText(words);
    data->setColorData(rgb);
    QGuiApplication::clipboard()->setMimeData(data);
    myPalette->showStatus(QStringLiteral("Copied: %1").arg(words));
    emit colourCopied(words);
    return true;
}

} // namespace Vantor
