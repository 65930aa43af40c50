#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QDialog;
class QDrag;
class QWidget;

namespace Vantor {

// The dialogs and drags that run an event loop of their own inside a picker (the Capsure
// match, the palette file dialogs, the about box, a chip dragged out of any panel). A
// host may tear a picker down while one of them runs: a plug-in's owner window closed
// under a window-modal dialog or during a drag, say. Such a dialog or drag therefore
// lives on the heap, and whoever owns a picker's widgets asks here whether one of its
// loops still runs before deleting them: a frame that waits in exec() must find its
// widgets alive when the loop returns.
class NestedDialogs : public QObject
{
    Q_OBJECT
public:
    static NestedDialogs &instance();

    // Runs `dialog`, a heap object, modally and returns its result: Rejected when it was
    // ended or deleted from outside. The dialog is deleted once control is back in an
    // outer event loop, so the caller may still read it after this returns.
    static int exec(QDialog *dialog);

    // Runs `run`, which shows a dialog of its own making as a child of `parent` (one of
    // QFileDialog's static functions): counted as a dialog running under `parent`, and
    // ended by rejectUnder like one.
    static void execChildDialog(QWidget *parent, const std::function<void()> &run);

    // Runs `drag`, a heap object whose parent is the widget it leaves, through `run`
    // (QDrag::exec, or a stand-in of the tests), and returns its drop action.
    static Qt::DropAction execDrag(QDrag *drag, const std::function<Qt::DropAction(QDrag *)> &run);

    // A call out of the picker that may notify whoever listens (the clipboard's
    // dataChanged, a window title, the focus, the window activation, the cursor): a host
    // may tear the picker down from the notice, and may run a loop of its own meanwhile.
    // While one is on the stack, no picker's widgets are deleted.
    class CallOut
    {
    public:
        CallOut();
        ~CallOut();
        CallOut(const CallOut &) = delete;
        CallOut &operator=(const CallOut &) = delete;
    };

    // True while a dialog or drag runs whose parent chain, as it was when it started,
    // contains `widget`, or while any call out is on the stack.
    static bool runningUnder(const QWidget *widget);
    // Rejects every dialog and cancels every drag running under `widget`: each loop ends
    // as soon as control comes back to it.
    static void rejectUnder(const QWidget *widget);

signals:
    // A dialog's or drag's loop returned, or the outermost call out.
    void loopFinished();

private:
    struct Running
    {
        QPointer<QDialog> dialog;
        QPointer<QDrag> drag;
        // The parent of a dialog that somebody else made and runs (execChildDialog).
        QPointer<QWidget> dialogParent;
        QList<QPointer<QWidget>> ancestors;
    };
    QList<Running *> running;
    int callsOut = 0;
};

} // namespace Vantor
