#pragma once

#include <QString>

#include <sys/types.h>

namespace Palettra::Test {

// Another process that holds SQLite's exclusive lock on a database file (a write lock
// on its pending, reserved and shared bytes) until this object goes.
class ExclusiveLockHolder
{
public:
    explicit ExclusiveLockHolder(const QString &file);
    ~ExclusiveLockHolder();
    ExclusiveLockHolder(const ExclusiveLockHolder &) = delete;
    ExclusiveLockHolder &operator=(const ExclusiveLockHolder &) = delete;

    bool locked() const { return m_locked; }

private:
    pid_t m_child = -1;
    bool m_locked = false;
};

} // namespace Palettra::Test
