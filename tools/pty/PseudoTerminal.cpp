// SPDX-License-Identifier: GPL-3.0-or-later
#include "PseudoTerminal.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace veldo {

PseudoTerminal::PseudoTerminal()
{
    int master = -1;
    int slave = -1;
    char name[PATH_MAX] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    termios raw{};
    if (::tcgetattr(slave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    m_master = master;
    m_slaveKeeper = slave;
    m_slavePath = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal()
{
    close();
    if (m_slaveKeeper >= 0)
        ::close(m_slaveKeeper);
}

bool PseudoTerminal::write(const QByteArray &bytes)
{
    // A full buffer means nobody reads the slave; wait a little for room, never forever.
    constexpr int kRoomTimeoutMs = 500;
    qsizetype done = 0;
    while (m_master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd room{m_master, POLLOUT, 0};
            const int ready = ::poll(&room, 1, kRoomTimeoutMs);
            if (ready == 0 || (ready < 0 && errno != EINTR))
                return false;
        } else if (!(n < 0 && errno == EINTR)) {
            return false;
        }
    }
    return m_master >= 0;
}

QByteArray PseudoTerminal::readAvailable()
{
    QByteArray bytes;
    char chunk[512];
    while (m_master >= 0) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n > 0)
            bytes.append(chunk, n);
        else if (!(n < 0 && errno == EINTR))
            break;
    }
    return bytes;
}

void PseudoTerminal::close()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

} // namespace veldo
