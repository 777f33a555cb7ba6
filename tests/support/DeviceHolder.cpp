#include "DeviceHolder.h"

#include "ChildProcess.h"

#include <QFile>

#include <csignal>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veldo::test {

namespace {

int openDevice(const QByteArray &path, bool exclusive)
{
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    return fd >= 0 && exclusive && ::ioctl(fd, TIOCEXCL) != 0 ? -1 : fd;
}

} // namespace

DeviceHolder::DeviceHolder(const QString &device, bool exclusive)
{
    const QByteArray path = QFile::encodeName(device);
    int ready[2];
    if (::pipe(ready) != 0)
        return;
    const pid_t child = ::fork();
    if (child == 0) {
        // Only the device and the pipe: a pseudo-terminal master inherited from the test would
        // make this child the device's own end rather than a program that holds it.
        ::dup2(ready[1], 3);
        ::close_range(4, ~0U, 0);
        ready[1] = 3;
        const char opened = openDevice(path, exclusive) >= 0 ? 1 : 0;
        [[maybe_unused]] const ssize_t told = ::write(ready[1], &opened, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char opened = 0;
    const bool holding = child > 0 && ::read(ready[0], &opened, 1) == 1 && opened;
    ::close(ready[0]);
    m_pid = child;
    if (!holding)
        end();
}

DeviceHolder::~DeviceHolder()
{
    end();
}

void DeviceHolder::end()
{
    if (m_pid > 0) { // the child only waits to be ended
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    m_pid = 0;
}

bool leaveInExclusiveMode(const QString &device)
{
    const QByteArray path = QFile::encodeName(device);
    return runInChild([&path] { return openDevice(path, true) >= 0 ? 0 : 1; }) == 0;
}

} // namespace veldo::test
