#pragma once

#include <QList>
#include <QMultiHash>
#include <QString>

namespace veldo {

struct ProcessEntry {
    qint64 pid = 0;
    QString name; // the kernel's short name of the program, as ps shows it
};

// Every process on the machine: names are visible to every user.
QList<ProcessEntry> runningProcesses();

// The program name of one process; empty when it has ended.
QString processName(qint64 pid);

// Whether a process with this number runs; one of another user counts.
bool processRuns(qint64 pid);

// Which processes hold which devices open, as far as this user may look: their own
// processes, or all of them for root. The program on the other end of a pseudo-terminal
// plays the device and is not counted as holding it.
class DeviceHolders {
public:
    static DeviceHolders scan();
    QList<ProcessEntry> of(const QString &device) const;

private:
    QMultiHash<QString, qint64> m_pids;
};

} // namespace veldo
