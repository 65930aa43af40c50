#pragma once

// Pictures read for a palette on workers of a pool the process keeps, away from the
// window. Whoever started a read may go at any time without waiting for it: the read is
// cancelled (its decoder and its clustering stop at their next row or round) and its
// result is never delivered. waitForPictureReads() is for the end of the process or of
// a plug-in: afterwards no worker runs code of ours.

#include "PaletteImport.h"

#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QObject;

namespace Vantor {

class PictureReadTask final
{
public:
    using Finished = std::function<void(const PictureColours &)>;

    // Starts reading the picture of `opened` (a file opened for its import, which the
    // read takes over). `finished` runs on the thread that started the read, once it has
    // ended, while `receiver` lives and the read was not cancelled.
    static std::shared_ptr<PictureReadTask> start(ImportFile opened, QObject *receiver, Finished finished);

    const QString &path() const { return m_path; }
    // Nobody wants the result any more.
    void cancel() { m_cancelled.store(true); }
    // Blocks until the worker is done; the result is then on its way to the receiver.
    void waitUntilRead();

    PictureReadTask(const PictureReadTask &) = delete;
    PictureReadTask &operator=(const PictureReadTask &) = delete;

private:
    explicit PictureReadTask(ImportFile opened);
    void deliver(const QPointer<QObject> &receiver, const Finished &finished);

    QString m_path;
    std::shared_ptr<QFile> m_file;
    std::atomic_bool m_cancelled{false};
    PictureColours m_result;
    struct Done;
    std::shared_ptr<Done> m_done;
};

// Waits until every worker has left the code of the reads (cancelled ones stop soon).
void waitForPictureReads();

} // namespace Vantor
