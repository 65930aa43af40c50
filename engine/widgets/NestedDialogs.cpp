#include "NestedDialogs.h"

#include <QDialog>
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
    emit self.dialogFinished();
    return guard ? result : int(QDialog::Rejected);
}

bool NestedDialogs::runningUnder(const QWidget *widget)
{
    const QList<Running *> &running = instance().running;
    return std::any_of(running.begin(), running.end(), [widget](const Running *entry) {
        return entry->dialog.data() == widget || entry->ancestors.contains(const_cast<QWidget *>(widget));
    });
}

void NestedDialogs::rejectUnder(const QWidget *widget)
{
    const QList<Running *> running = instance().running;
    for (const Running *entry : running) {
        if (entry->dialog && entry->ancestors.contains(const_cast<QWidget *>(widget)))
            entry->dialog->reject();
    }
}

} // namespace Vantor
