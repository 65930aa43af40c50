#include "FileLock.h"

#include <QFile>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Palettra::Test {

ExclusiveLockHolder::ExclusiveLockHolder(const QString &file)
{
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return;
    const QByteArray path = QFile::encodeName(file);
    m_child = fork();
    if (m_child == 0) {
        // Only calls that are safe in a child of a threaded process.
        const int fd = open(path.constData(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0x40000000;
        lock.l_len = 512;
        const char answer = fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
        if (write(ready[1], &answer, 1) != 1)
            _exit(1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char answer = 0;
    m_locked = m_child > 0 && read(ready[0], &answer, 1) == 1 && answer == 'y';
    close(ready[0]);
}

ExclusiveLockHolder::~ExclusiveLockHolder()
{
    if (m_child > 0) {
        kill(m_child, SIGKILL);
        waitpid(m_child, nullptr, 0);
    }
}

} // namespace Palettra::Test
