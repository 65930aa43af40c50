#pragma once

#include <QObject>

class QEvent;

namespace Vantor {

// Looks at the collection files before each user action (a mouse button, a key or the
// wheel): a maker's update or a deck rebuilt on a shared folder while the host runs is
// what the next action shows. One for the application, made with the first main widget.
class CollectionFilesCheck : public QObject
{
    Q_OBJECT

public:
    static CollectionFilesCheck *instance();

    // Looks now (a picker opening); emits collectionFilesChanged() when the files
    // changed since the last look.
    void check();

signals:
    // Files changed: what was read from them before is out of date.
    void collectionFilesChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit CollectionFilesCheck(QObject *parent);

    // The input event last looked at: the same press passed on to a parent widget is
    // not looked at again.
    int m_lastType = 0;
    quint64 m_lastTimestamp = 0;
};

} // namespace Vantor
