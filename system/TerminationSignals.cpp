// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/TerminationSignals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

namespace veldo {

namespace {

constexpr std::array kWatched = {SIGINT, SIGTERM, SIGHUP};

std::array<int, 2> signalPipe = {-1, -1};
volatile sig_atomic_t caught = 0;
std::chrono::milliseconds exitDeadline{0};

// The port to close at the deadline; `ready` is cleared while the rest changes.
struct PortToRelease {
    volatile sig_atomic_t ready = 0;
    int portFd = -1;
    int lockFd = -1;
    char lockFile[256] = {};
};
PortToRelease port;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    if (caught == 0) {
        caught = signalNumber;
        if (exitDeadline.count() > 0) {
            const auto ms = exitDeadline.count();
            const itimerval once{{0, 0}, {time_t(ms / 1000), suseconds_t(ms % 1000 * 1000)}};
            ::setitimer(ITIMER_REAL, &once, nullptr);
        }
    }
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

// Only calls that are safe in a signal handler.
void onDeadline(int)
{
    if (port.ready) {
        ::ioctl(port.portFd, TIOCNXCL);
        ::close(port.portFd);
        ::close(port.lockFd);
        if (port.lockFile[0] != '\0')
            ::unlink(port.lockFile);
    }
    ::_exit(128 + caught);
}

void install(int signalNumber, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, nullptr);
}

} // namespace

void catchTerminationSignals(std::chrono::milliseconds deadline)
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    exitDeadline = deadline;
    if (deadline.count() > 0)
        install(SIGALRM, onDeadline);
    for (const int signalNumber : kWatched)
        install(signalNumber, onSignal);
}

int caughtTerminationSignal()
{
    return caught;
}

void portToRelease(int portFd, int lockFd, const QByteArray &lockFile)
{
    port.ready = 0;
    port.portFd = portFd;
    port.lockFd = lockFd;
    // A name cut short could be another file's: one too long is left in place.
    const std::size_t length = lockFile.size() < qsizetype(sizeof port.lockFile) ? std::size_t(lockFile.size()) : 0;
    std::memcpy(port.lockFile, lockFile.constData(), length);
    port.lockFile[length] = '\0';
    port.ready = portFd >= 0 ? 1 : 0;
}

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    catchTerminationSignals();
    if (signalPipe[0] < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::readPipe()
{
    char byte = 0;
    while (::read(signalPipe[0], &byte, 1) == 1)
        emit received(byte);
}

} // namespace veldo
