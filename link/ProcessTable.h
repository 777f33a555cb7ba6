#pragma once

#include <QList>
#include <QMultiHash>
#include <QString>

#include <sys/types.h>

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

// Which processes hold the given devices open, as far as this user may look: their own
// processes, or all of them for root. Devices are told by their device numbers, so a
// device reached under any name is found, and each descriptor costs one look. The program
// on the other end of a pseudo-terminal plays the device and is not counted as holding it.
class DeviceHolders {
public:
    static DeviceHolders scan(const QList<dev_t> &devices);
    QList<ProcessEntry> of(dev_t device) const;

private:
    QMultiHash<dev_t, qint64> m_pids;
};

// The processes that hold a lock (flock, fcntl) on a file, from /proc/locks: the file is
// told by its file system and inode. A lock whose process cannot be named counts as PID 0.
class FileLocks {
public:
    static FileLocks read();
    // nullopt when the file is not locked.
    std::optional<QList<qint64>> holders(dev_t fileSystem, ino_t inode) const;

private:
    QMultiHash<QPair<quint64, quint64>, qint64> m_pids;
};

} // namespace veldo
