#include "FrontRequests.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Palettra {

namespace {

// [0] is read by the event loop, [1] written by the handler.
int requestSockets[2] = {-1, -1};

extern "C" void frontRequestHandler(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full socket already holds a request: nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(requestSockets[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

FrontRequests::FrontRequests(QObject *parent)
    : QObject(parent)
{
    if (requestSockets[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, requestSockets) != 0)
        return;
    for (const int socket : requestSockets)
        ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
    struct sigaction action = {};
    action.sa_handler = frontRequestHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGUSR1, &action, nullptr) != 0) {
        ::close(requestSockets[0]);
        ::close(requestSockets[1]);
        requestSockets[0] = requestSockets[1] = -1;
        return;
    }
    notifier = new QSocketNotifier(requestSockets[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &FrontRequests::readRequests);
}

FrontRequests::~FrontRequests()
{
    if (!notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGUSR1, &action, nullptr);
    delete notifier;
    ::close(requestSockets[0]);
    ::close(requestSockets[1]);
    requestSockets[0] = requestSockets[1] = -1;
}

void FrontRequests::readRequests()
{
    // Requests that came together are one.
    char bytes[16];
    while (::read(requestSockets[0], bytes, sizeof bytes) > 0) {
    }
    emit frontRequested();
}

} // namespace Palettra
