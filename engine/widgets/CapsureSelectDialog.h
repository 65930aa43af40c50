#pragma once

#include "engine/db/ColorEntry.h"

#include <QDialog>
#include <QVector>

class QComboBox;
class QLabel;

namespace Vantor {

class TaskButton;

// The small dialog that lists the collection colours matching a Capsure measurement:
// a drop-down list of them, a swatch of the one chosen there, an OK button and an
// instruction. Closing it any other way means no choice.
class CapsureSelectDialog : public QDialog
{
    Q_OBJECT
public:
    CapsureSelectDialog(const QVector<DB::ColorEntry> &matches, QWidget *parent);

    // The colour chosen in the list; empty (id -1) while none is.
    const DB::ColorEntry &chosenColour() const { return chosen; }
    QComboBox *matchList() const { return listBox; }
    QWidget *swatchWidget() const { return swatch; }
    TaskButton *okButton() const { return ok; }
    QLabel *instructionLabel() const { return label; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void itemSelectionChanged(int index);
    void okBtnClicked();

private:
    void layOut();

    QVector<DB::ColorEntry> matches;
    DB::ColorEntry chosen;
    QWidget *panel = nullptr;
    QComboBox *listBox = nullptr;
    QWidget *swatch = nullptr;
    TaskButton *ok = nullptr;
    QLabel *label = nullptr;
};

} // namespace Vantor
