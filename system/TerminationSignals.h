// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

#include <chrono>
#include <memory>

namespace veldo {

// Catches SIGINT, SIGTERM and SIGHUP for the rest of the process: the handler only notes the
// signal and writes its number into a pipe, which TerminationSignals reads in the event loop.
// Called as the first thing in main, so that no signal before the event loop kills the
// process with its port open. With a deadline, a process that has not ended that long after
// the signal (stuck in some wait) closes the port it holds and exits with 128 plus the
// signal's number. Calls after the first change nothing.
void catchTerminationSignals(std::chrono::milliseconds deadline = std::chrono::milliseconds::zero());

// The first of those signals caught so far, 0 for none.
int caughtTerminationSignal();

// The serial port an exit at the deadline must still close: its descriptors (exclusive mode
// cleared) and its lock file. -1 and an empty name for none.
void portToRelease(int portFd, int lockFd, const QByteArray &lockFile);

// The caught signals as a Qt signal, including those caught before it existed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    bool isWatching() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPipe();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace veldo
