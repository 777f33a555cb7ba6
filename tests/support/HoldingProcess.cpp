#include "HoldingProcess.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veldo {

namespace {

// Runs in the child: only calls that are safe after fork in a threaded process.
[[noreturn]] void holdDevice(const char *device, HoldingProcess::Lock lock, int ready, int release)
{
    // Inherited descriptors would keep the parent's own device locks alive in the child.
    for (int fd = 3; fd < 1024; ++fd) {
        if (fd != ready && fd != release)
            ::close(fd);
    }
    const int fd = ::open(device, O_RDWR | O_NOCTTY | O_NONBLOCK);
    const bool locked = fd >= 0
        && (lock == HoldingProcess::Lock::Flock ? ::flock(fd, LOCK_EX | LOCK_NB) : ::ioctl(fd, TIOCEXCL)) == 0;
    const char verdict = locked ? 'y' : 'n';
    (void)!::write(ready, &verdict, 1);
    char none = 0;
    while (::read(release, &none, 1) > 0) {
    }
    // Exclusive mode outlives the descriptor while anyone else keeps the device open.
    if (locked && lock == HoldingProcess::Lock::ExclusiveMode)
        ::ioctl(fd, TIOCNXCL);
    ::_exit(0);
}

} // namespace

HoldingProcess::HoldingProcess(const QString &device, Lock lock)
{
    const QByteArray path = QFile::encodeName(device);
    int ready[2] = {-1, -1};
    int release[2] = {-1, -1};
    if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(release, O_CLOEXEC) != 0)
        return;
    m_child = ::fork();
    if (m_child == 0)
        holdDevice(path.constData(), lock, ready[1], release[0]);
    ::close(ready[1]);
    ::close(release[0]);
    m_release = release[1];
    char verdict = 'n';
    m_holding = m_child > 0 && ::read(ready[0], &verdict, 1) == 1 && verdict == 'y';
    ::close(ready[0]);
}

HoldingProcess::~HoldingProcess()
{
    if (m_release >= 0)
        ::close(m_release);
    if (m_child > 0)
        ::waitpid(m_child, nullptr, 0);
}

} // namespace veldo
