#include "CollectionFilesCheck.h"

#include "engine/db/CollectionRegistry.h"

#include <QCoreApplication>
#include <QInputEvent>
#include <QPointer>

namespace Vantor {

CollectionFilesCheck::CollectionFilesCheck(QObject *parent)
    : QObject(parent)
{
}

CollectionFilesCheck *CollectionFilesCheck::instance()
{
    static QPointer<CollectionFilesCheck> made;
    if (!made && QCoreApplication::instance()) {
        made = new CollectionFilesCheck(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(made);
    }
    return made;
}

void CollectionFilesCheck::check()
{
    if (DB::CollectionRegistry::instance().refreshChangedFiles())
        emit collectionFilesChanged();
}

bool CollectionFilesCheck::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel: {
        const quint64 timestamp = static_cast<QInputEvent *>(event)->timestamp();
        if (event->type() != m_lastType || timestamp != m_lastTimestamp || timestamp == 0) {
            m_lastType = event->type();
            m_lastTimestamp = timestamp;
            check();
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Vantor
