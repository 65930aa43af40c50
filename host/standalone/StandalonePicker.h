#pragma once

#include "engine/db/ColorEntry.h"

#include <QColor>
#include <QUuid>
#include <QWidget>

class QTimer;

namespace Vantor {
class MainWidget;
}

namespace Palettra {

// Where the picker is to be opened, as a user would get there: a collection (its UUID or
// system id), a colour or card found by the search field, a tab, a scheme kind and its
// neutral form, a palette file and the full view of My Palette. Empty fields are left as
// they are.
struct PickerView
{
    QString collection;
    QString search;
    QString tab;       // schemes, products, trends or textures
    QString scheme;    // a word of the "schemes" setting, e.g. "harmonic"
    QString neutralForm; // tonal, complementary or natural
    QString palette;
    bool fullView = false;
};

// The picker as a window of its own: the main widget with a header button that copies
// the one selected My Palette colour to the clipboard as #RRGGBB.
class StandalonePicker : public QWidget
{
    Q_OBJECT
public:
    explicit StandalonePicker(QWidget *parent = nullptr);
    ~StandalonePicker() override;

    Vantor::MainWidget *mainWidget() const { return m_mainWidget; }
    quint16 copyButtonId() const { return m_copyButtonId; }

    // The colour the copy button hands out: valid only when exactly one My Palette cell
    // is selected and holds a chip.
    QColor pickedColour() const;

    // Goes to the view. A part of it that names nothing (a collection, tab, scheme or
    // form) or a palette file that gives nothing fails, with `error` set; a search that
    // finds nothing is NothingFound, with `error` saying so.
    enum class ViewOpened { Shown, NothingFound, Failed };
    ViewOpened openView(const PickerView &view, QString &error);

    // Pick mode (palettra --pick): a header button "Use colour", enabled exactly when one
    // My Palette cell with a chip is selected; it (or a double click on that cell) picks.
    void enablePickMode();
    quint16 useButtonId() const { return m_useButtonId; }
    // Shows the picker in the middle of its screen and gives it the keys.
    void showCentred();
    // Shows the window again where it is, unminimised, above the others and with the keys.
    void bringToFront();
    // What --accept picks: after a view's palette file, that palette's selected chip, else
    // its first; after a view's search, the chip the search landed on; else the selected
    // My Palette chip, else the deck's current chip.
    bool acceptNow();

signals:
    // The user (or --accept) picked the chip of the collection.
    void chipPicked(QUuid collection, Vantor::DB::ColorEntry chip);

public slots:
    void copyPickedColour();
    void updateCopyButton();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void colourCopied();
    enum class AcceptSource { SelectedElseDeck, Deck, LoadedPalette };
    AcceptSource acceptSource = AcceptSource::SelectedElseDeck;
    void aboutButtonClicked();
    void useButtonClicked();
    void updateUseButton();
    // The chip of the one selected occupied My Palette cell.
    bool selectedChip(QUuid &collection, Vantor::DB::ColorEntry &chip) const;

    QTimer *copiedTimer = nullptr;
    Vantor::MainWidget *m_mainWidget = nullptr;
    quint16 m_copyButtonId = 0;
    quint16 m_useButtonId = 0;
};

} // namespace Palettra
