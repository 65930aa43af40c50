#include "NestedDialogs.h"

#include <QDialog>
#include <QDrag>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace Vantor {

NestedDialogs &NestedDialogs::instance()
{
    static NestedDialogs *dialogs = new NestedDialogs;
    return *dialogs;
}

int NestedDialogs::exec(QDialog *dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    NestedDialogs &self = instance();
    auto entry = std::make_unique<Running>();
    entry->dialog = dialog;
    for (QWidget *ancestor = dialog->parentWidget(); ancestor; ancestor = ancestor->parentWidget())
        entry->ancestors << ancestor;
    self.running << entry.get();
    const QPointer<QDialog> guard(dialog);
    const int result = dialog->exec();
    self.running.removeOne(entry.get());
    if (guard)
        guard->deleteLater();
    emit self.loopFinished();
    return guard ? result : int(QDialog::Rejected);
}

void NestedDialogs::execChildDialog(QWidget *parent, const std::function<void()> &run)
{
    NestedDialogs &self = instance();
    auto entry = std::make_unique<Running>();
    entry->dialogParent = parent;
    for (QWidget *ancestor = parent; ancestor; ancestor = ancestor->parentWidget())
        entry->ancestors << ancestor;
    self.running << entry.get();
    run();
    self.running.removeOne(entry.get());
    emit self.loopFinished();
}

Qt::DropAction NestedDialogs::execDrag(QDrag *drag, const std::function<Qt::DropAction(QDrag *)> &run)
{
    if (!drag)
        return Qt::IgnoreAction;
    NestedDialogs &self = instance();
    auto entry = std::make_unique<Running>();
    entry->drag = drag;
    for (QObject *up = drag->parent(); up; up = up->parent()) {
        if (up->isWidgetType())
            entry->ancestors << static_cast<QWidget *>(up);
    }
    self.running << entry.get();
    const Qt::DropAction action = run(drag);
    self.running.removeOne(entry.get());
    emit self.loopFinished();
    return action;
}

NestedDialogs::CallOut::CallOut()
{
    ++instance().callsOut;
}

NestedDialogs::CallOut::~CallOut()
{
    NestedDialogs &self = instance();
    if (--self.callsOut == 0)
        emit self.loopFinished();
}

bool NestedDialogs::runningUnder(const QWidget *widget)
{
    if (instance().callsOut > 0)
        return true;
    const QList<Running *> &running = instance().running;
    return std::any_of(running.begin(), running.end(), [widget](const Running *entry) {
        return (entry->dialog && entry->dialog.data() == widget)
            || entry->ancestors.contains(const_cast<QWidget *>(widget));
    });
}

void NestedDialogs::rejectUnder(const QWidget *widget)
{
    const QList<Running *> running = instance().running;
    for (const Running *entry : running) {
        if (!entry->ancestors.contains(const_cast<QWidget *>(widget)))
            continue;
        if (entry->dialog)
            entry->dialog->reject();
        if (entry->dialogParent) {
            const QList<QDialog *> dialogs = entry->dialogParent->findChildren<QDialog *>(Qt::FindDirectChildrenOnly);
            for (QDialog *dialog : dialogs)
                dialog->reject();
        }
        // Only one drag runs at a time, and this is it.
        if (entry->drag)
            QDrag::cancel();
    }
}

} // namespace Vantor
