// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMultiHash>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

namespace veldo {

struct ProcessEntry {
    qint64 pid = 0;
    QString name; // the kernel's short name of the program, as ps shows it
};

// Every process on the machine: names are visible to every user.
QList<ProcessEntry> runningProcesses();

// Called at the start of every look through all processes, on the thread that looks; for
// tests that show which thread does it. nullptr, the default, calls nothing.
using ProcessWalkObserver = void (*)();
void observeProcessWalks(ProcessWalkObserver observer);

// The program name of one process; empty when it has ended.
QString processName(qint64 pid);

// Whether a process with this number runs; one of another user counts.
bool processRuns(qint64 pid);

// Whether a device number is a Unix98 pseudo-terminal slave (/dev/pts/N).
bool isPseudoTerminal(dev_t device);

// A device as descriptors show it. Each instance of /dev/pts (a container's, a private
// namespace's) numbers its pseudo-terminals from 0, so for them the instance counts too.
struct DeviceId {
    dev_t device = 0;
    dev_t instance = 0; // the file system of a pseudo-terminal's node; 0 for other devices
    static DeviceId of(const struct stat &status);
    friend bool operator==(const DeviceId &, const DeviceId &) = default;
};
size_t qHash(const DeviceId &id, size_t seed = 0);

// Which processes hold the given devices open, as far as this user may look: their own
// processes, or all of them for root. Devices are told by their device numbers, so a
// device reached under any name is found, and each descriptor costs one look. The program
// on the other end of a pseudo-terminal plays the device and is not counted as holding it.
class DeviceHolders {
public:
    static DeviceHolders scan(const QList<DeviceId> &devices);
    QList<ProcessEntry> of(DeviceId device) const;

private:
    QMultiHash<DeviceId, qint64> m_pids;
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
