#include "PictureReads.h"

#include <QCoreApplication>
#include <QMutex>
#include <QObject>
#include <QThreadPool>
#include <QWaitCondition>

namespace Vantor {

namespace {

QThreadPool &pool()
{
    // Never freed: its workers are waited for by waitForPictureReads(), not at exit.
    static QThreadPool *readers = new QThreadPool;
    return *readers;
}

// Where results are handed back: an object of the thread that starts reads, which lives
// as long as the process, so that a worker never names an object that may be gone.
QObject &postOffice()
{
    static QObject *office = new QObject;
    return *office;
}

} // namespace

struct PictureReadTask::Done
{
    QMutex mutex;
    QWaitCondition condition;
    bool done = false;
};

PictureReadTask::PictureReadTask(ImportFile opened)
    : m_path(opened.path)
    , m_file(std::move(opened.file))
    , m_done(std::make_shared<Done>())
{
    m_result.problem = opened.problem;
    // The worker reads it and may be the last to let it go: it belongs to no thread.
    if (m_file)
        m_file->moveToThread(nullptr);
}

std::shared_ptr<PictureReadTask> PictureReadTask::start(ImportFile opened, QObject *receiver, Finished finished)
{
    postOffice();
    std::shared_ptr<PictureReadTask> read(new PictureReadTask(std::move(opened)));
    const QPointer<QObject> to(receiver);
    pool().start([read, to, finished = std::move(finished)] {
        if (read->m_file) {
            read->m_result = readPictureColours(*read->m_file, &read->m_cancelled);
            read->m_file.reset();
        }
        // The delivery is posted before the read says it is done, so that a waiter
        // finds it there.
        QMetaObject::invokeMethod(
            &postOffice(), [read, to, finished] { read->deliver(to, finished); }, Qt::QueuedConnection);
        const QMutexLocker lock(&read->m_done->mutex);
        read->m_done->done = true;
        read->m_done->condition.wakeAll();
    });
    return read;
}

void PictureReadTask::deliver(const QPointer<QObject> &receiver, const Finished &finished)
{
    if (receiver && !m_cancelled.load())
        finished(m_result);
}

void PictureReadTask::waitUntilRead()
{
    {
        const QMutexLocker lock(&m_done->mutex);
        while (!m_done->done)
            m_done->condition.wait(&m_done->mutex);
    }
    // Its delivery is posted to the post office: taken now.
    QCoreApplication::sendPostedEvents(&postOffice(), QEvent::MetaCall);
}

void waitForPictureReads()
{
    pool().waitForDone();
}

} // namespace Vantor
