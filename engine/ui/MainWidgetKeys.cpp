// The main widget's keyboard: the shortcuts that work wherever the focus is in the
// picker (undo and redo of My Palette, copying the chosen colour, help), the deck's chip
// put into My Palette, Escape for the full view, and the frame that shows where the
// focus is.

#include "MainWidget.h"

#include "FocusFrame.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/ColourValueText.h"
#include "engine/palette/MyPaletteFullWidget.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/palette/MyPaletteWidget.h"
#include "engine/widgets/CardRollerWidget.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUndoStack>

namespace Vantor {

void MainWidget::setUpKeyboard()
{
    focusFrame = new FocusFrame(this);
    auto shortcut = [this](const QList<QKeySequence> &keys, auto slot) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        // Wherever the focus is in the picker's window (a header button, the window
        // itself after a file dialog); several pickers open at once each take their own.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, slot);
    };
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { myPalette->undoStack()->undo(); });
    shortcut({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
             [this] { myPalette->undoStack()->redo(); });
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] {
        if (cardRoller->hasFocus())
            copyDeckChip();
        else
            copySelectedColour();
    });
    shortcut({QKeySequence(Qt::Key_F1)}, [this] { helpButtonClicked(); });
    // A text field undoes its own typing first, and hands the keys on to the palette
    // when it has nothing left to undo or redo.
    const QList<QLineEdit *> fields = findChildren<QLineEdit *>();
    for (QLineEdit *field : fields)
        field->installEventFilter(this);
    connect(cardRoller, &CardRollerWidget::chipCollectedInteractively, this, &MainWidget::collectDeckChip);
}

bool MainWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *field = qobject_cast<QLineEdit *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        if (field && ((key->matches(QKeySequence::Undo) && !field->isUndoAvailable())
                      || (key->matches(QKeySequence::Redo) && !field->isRedoAvailable())
                      || (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_Y && !field->isRedoAvailable()))) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWidget::currentDeckChip(DB::ColorEntry &chip) const
{
    const QUuid collection = lastUsedCollection();
    DB::ColorPage card;
    const int row = rowIndex(collection);
    if (DB::loadPageByIndex(collection, pageIndex(collection), card) != DB::StatusOk || row < 1 || row > card.rows.size())
        return false;
    chip = card.rows.at(row - 1);
    return true;
}

bool MainWidget::copyDeckChip()
{
    DB::ColorEntry chip;
    return currentDeckChip(chip) && copyChip(chip);
}

void MainWidget::collectDeckChip()
{
    DB::ColorEntry chip;
    if (currentDeckChip(chip))
        myPalette->collectChip(lastUsedCollection(), chip);
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
    return copyChip(chip);
}

bool MainWidget::copyChip(const DB::ColorEntry &chip)
{
    const QVector<int> &order = DB::rowNameDisplayOrder();
    const QString name = order.isEmpty() ? QString() : chip.name(order.constFirst());
    const QColor rgb(chip.red, chip.green, chip.blue);
    const QString words = colourInWords(chip.code, name, rgb, chipLab(chip));
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
