// The main widget's keyboard: the shortcuts that work wherever the focus is in the
// picker (undo and redo of My Palette, copying the chosen colour, help), the focused
// panel's chip copied or put into My Palette, Escape for the full view, and the frame
// that shows where the focus is.

#include "MainWidget.h"

#include "FocusFrame.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/colour/ColourValueText.h"
#include "engine/colour/ColourDifference.h"
#include "engine/widgets/MyPaletteFullWidget.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "TabBarWidget.h"

#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/ColorWheelWidget.h"
#include "engine/widgets/MoodSelectWidget.h"
#include "engine/widgets/TexturesWidget.h"
#include "engine/widgets/ColorSchemerPulvexWidget.h"
#include "engine/widgets/ColorSchemerWidget.h"
#include "engine/widgets/ProductsWidget.h"
#include "engine/widgets/NestedDialogs.h"
#include "engine/widgets/ProspectWidget.h"
#include "engine/widgets/SearchWidget.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QFocusEvent>
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
    // The chip of the panel with the keys, else My Palette's selected one.
    shortcut({QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] { copyFocusedChip() || copySelectedColour(); });
    shortcut({QKeySequence(Qt::Key_F1)}, [this] { helpButtonClicked(); });
    // A text field undoes its own typing first, and hands the keys on to the palette
    // when it has nothing left to undo or redo.
    const QList<QLineEdit *> fields = findChildren<QLineEdit *>();
    for (QLineEdit *field : fields)
        field->installEventFilter(this);
    connect(cardRoller, &CardRollerWidget::chipCollectedInteractively, this, &MainWidget::collectFocusedChip);
    connect(productsTab, &ProductsWidget::chipCollectedInteractively, this, &MainWidget::collectFocusedChip);
    connect(colorSchemer, &ColorSchemerWidget::chipCollectedInteractively, this, &MainWidget::collectFocusedChip);
    connect(pulvexSchemer, &ColorSchemerPulvexWidget::chipCollectedInteractively, this, &MainWidget::collectFocusedChip);
    connect(prospectTab, &ProspectWidget::chipCollectedInteractively, this, &MainWidget::collectFocusedChip);
    connect(search, &SearchWidget::chipCollectedInteractively, this, &MainWidget::collectFocusedChip);
    connect(cardRoller, &CardRollerWidget::chipDoubleClicked, this, [this] { reportDoubleClickedChip(cardRoller); });
    connect(productsTab, &ProductsWidget::chipDoubleClicked, this, [this] { reportDoubleClickedChip(productsTab); });
    connect(colorSchemer, &ColorSchemerWidget::chipDoubleClicked, this, [this] { reportDoubleClickedChip(colorSchemer); });
    connect(pulvexSchemer, &ColorSchemerPulvexWidget::chipDoubleClicked, this, [this] { reportDoubleClickedChip(pulvexSchemer); });
    connect(prospectTab, &ProspectWidget::chipDoubleClicked, this, [this] { reportDoubleClickedChip(prospectTab); });
}

void MainWidget::orderTabStops()
{
    QList<QWidget *> panels;
    panels << collectionSelect << colorWheel << moodSelect << cardRoller << search << tabBar << colorSchemer
           << pulvexSchemer << prospectTab << texturesTab << productsTab << myPalette;
    for (quint16 id : std::as_const(headerOrder)) {
        if (QAbstractButton *button = headerButtons.value(id))
            panels << button;
    }
    // Each panel with the stops inside it (the field and roll buttons of the search, My
    // Palette's buttons and description), in their order as it is.
    QVector<QList<QWidget *>> groups(panels.size());
    for (QWidget *widget = nextInFocusChain(); widget && widget != this; widget = widget->nextInFocusChain()) {
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        for (qsizetype i = 0; i < panels.size(); ++i) {
            if (widget == panels.at(i) || panels.at(i)->isAncestorOf(widget)) {
                groups[i] << widget;
                break;
            }
        }
    }
    QWidget *previous = this;
    for (const QList<QWidget *> &group : std::as_const(groups)) {
        for (QWidget *stop : group) {
            QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
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

MainWidget::PanelChip MainWidget::chipOfPanel(const QWidget *panel, QUuid &collection, DB::ColorEntry &chip,
                                               DB::ProspectEntry &trend) const
{
    collection = lastUsedCollection();
    if (panel == cardRoller || panel == productsTab)
        return currentDeckChip(chip) ? PanelChip::Chip : PanelChip::None;
    if (panel == colorSchemer) {
        SchemeCell cell;
        if (!colorSchemer->keyboardCell(cell))
            return PanelChip::None;
        collection = cell.collection;
        return DB::loadColorById(collection, cell.rowId, chip) == DB::StatusOk ? PanelChip::Chip : PanelChip::None;
    }
    if (panel == pulvexSchemer)
        return pulvexSchemer->keyboardCell(chip) ? PanelChip::Chip : PanelChip::None;
    if (panel == search) {
        const bool named = search->hasFoundChip() && DB::loadColorById(collection, searchFoundChip, chip) == DB::StatusOk;
        return named ? PanelChip::Chip : PanelChip::None;
    }
    if (panel == prospectTab && prospectTab->prospectViewport()->keyboardEntry(trend)) {
        // A trend colour may stand for a chip of the collection; else it is a colour only.
        const bool standsForChip = trend.rowId > 0 && DB::loadColorById(collection, trend.rowId, chip) == DB::StatusOk;
        return standsForChip ? PanelChip::Chip : PanelChip::TrendColour;
    }
    return PanelChip::None;
}

MainWidget::PanelChip MainWidget::focusedChip(QUuid &collection, DB::ColorEntry &chip, DB::ProspectEntry &trend) const
{
    for (const QWidget *panel : {static_cast<QWidget *>(cardRoller), static_cast<QWidget *>(productsTab),
                                 static_cast<QWidget *>(colorSchemer), static_cast<QWidget *>(pulvexSchemer),
                                 static_cast<QWidget *>(prospectTab), static_cast<QWidget *>(search)}) {
        if (panel->hasFocus())
            return chipOfPanel(panel, collection, chip, trend);
    }
    return PanelChip::None;
}

void MainWidget::reportDoubleClickedChip(const QWidget *panel)
{
    QUuid collection;
    DB::ColorEntry chip;
    DB::ProspectEntry trend;
    if (chipOfPanel(panel, collection, chip, trend) == PanelChip::Chip)
        emit chipDoubleClicked(collection, chip);
}

bool MainWidget::copyFocusedChip()
{
    QUuid collection;
    DB::ColorEntry chip;
    DB::ProspectEntry trend;
    switch (focusedChip(collection, chip, trend)) {
    case PanelChip::Chip:
        return copyChip(chip);
    case PanelChip::TrendColour:
        copyWords(colourInWords(QString(), trend.name1, trend.color, labFromColour(trend.color)), trend.color);
        return true;
    case PanelChip::None:
        break;
    }
    return false;
}

void MainWidget::collectFocusedChip()
{
    QUuid collection;
    DB::ColorEntry chip;
    DB::ProspectEntry trend;
    switch (focusedChip(collection, chip, trend)) {
    case PanelChip::Chip:
        myPalette->collectChip(collection, chip);
        break;
    case PanelChip::TrendColour:
        myPalette->showStatus(QStringLiteral("%1 is a trend colour, not a chip of the collection: it cannot go into My Palette")
                                  .arg(trend.name1.isEmpty() ? trend.color.name(QColor::HexRgb).toUpper() : trend.name1));
        break;
    case PanelChip::None:
        break;
    }
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

void MainWidget::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    // The widget is a stop on the way, not a place of its own: Tab and Shift+Tab (and a
    // window that gives its focus to its first stop) pass on to the panels; a click on
    // the background keeps the focus here.
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::OtherFocusReason:
        focusNextChild();
        break;
    case Qt::BacktabFocusReason:
        focusPreviousChild();
        break;
    default:
        break;
    }
}

bool MainWidget::copySelectedColour()
{
    QUuid collection;
    DB::ColorEntry chip;
    return myPalette->model().pickedChip(collection, chip) && copyChip(chip);
}

bool MainWidget::copyChip(const DB::ColorEntry &chip)
{
    copyWords(chipInWords(chip), QColor(chip.red, chip.green, chip.blue));
    return true;
}

void MainWidget::copyWords(const QString &words, const QColor &rgb)
{
    // The words for a text editor, the colour itself for programs that take colours.
    auto *data = new QMimeData;
    data->setText(words);
    data->setColorData(rgb);
    {
        // A program that watches the clipboard hears of it at once; a host among them
        // may destroy the picker from the notice.
        const NestedDialogs::CallOut call;
        QGuiApplication::clipboard()->setMimeData(data);
    }
    myPalette->showStatus(QStringLiteral("Copied: %1").arg(words));
    emit colourCopied(words);
}

} // namespace Vantor
