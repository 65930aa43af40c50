#pragma once

#include <QObject>

class QSocketNotifier;

namespace Palettra {

// SIGUSR1 as a request to bring the picker's window to the front: a program that started
// the picker (an add-on whose button is pressed again) has no window of the picker to
// raise, but it has its process. The signal handler only writes a byte into a socket;
// the request is emitted from the event loop. One per process.
class FrontRequests : public QObject
{
    Q_OBJECT
public:
    explicit FrontRequests(QObject *parent = nullptr);
    ~FrontRequests() override;

    // False when the signal could not be taken (then it keeps its default action).
    bool isListening() const { return notifier != nullptr; }

signals:
    void frontRequested();

private:
    void readRequests();

    QSocketNotifier *notifier = nullptr;
};

} // namespace Palettra
