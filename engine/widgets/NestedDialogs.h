#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QDialog;
class QWidget;

namespace Vantor {

// The dialogs that run an event loop of their own inside a picker (the Capsure match,
// the palette file dialogs, the about box). A host may tear a picker down while one of
// them runs: a plug-in's owner window closed under a window-modal dialog, say. Such a
// dialog therefore lives on the heap, and whoever owns a picker's widgets asks here
// whether one of its dialogs still runs before deleting them: a frame that waits in
// exec() must find its widgets alive when the loop returns.
class NestedDialogs : public QObject
{
    Q_OBJECT
public:
    static NestedDialogs &instance();

    // Runs `dialog`, a heap object, modally and returns its result: Rejected when it was
    // ended or deleted from outside. The dialog is deleted once control is back in an
    // outer event loop, so the caller may still read it after this returns.
    static int exec(QDialog *dialog);

    // True while a dialog runs whose parent chain, as it was when the dialog started,
    // contains `widget`.
    static bool runningUnder(const QWidget *widget);
    // Rejects every dialog running under `widget`: each loop ends as soon as control
    // comes back to it.
    static void rejectUnder(const QWidget *widget);

signals:
    // A dialog's loop returned.
    void dialogFinished();

private:
    struct Running
    {
        QPointer<QDialog> dialog;
        QList<QPointer<QWidget>> ancestors;
    };
    QList<Running *> running;
};

} // namespace Vantor
