// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/ProcessTable.h"

#include <QFile>
#include <QSet>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace veldo {

namespace {

using Directory = std::unique_ptr<DIR, int (*)(DIR *)>;

constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;

// The device number of /dev/ptmx, through which every pseudo-terminal master is opened.
const dev_t kPtmx = makedev(5, 2);

// Far more than any machine's locks; /proc/locks is read whole, and a neighbour can add to it.
constexpr qint64 kLocksReadLimit = 16 * 1024 * 1024;

Directory openDirectory(const char *path)
{
    return Directory(::opendir(path), &::closedir);
}

std::atomic<ProcessWalkObserver> processWalkObserver = nullptr;

// The numeric entries of /proc.
template <typename Visit> void forEachPid(Visit visit)
{
    if (const ProcessWalkObserver observer = processWalkObserver.load())
        observer();
    const Directory proc = openDirectory("/proc");
    if (!proc)
        return;
    while (const dirent *entry = ::readdir(proc.get())) {
        char *end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid > 0 && *end == '\0')
            visit(qint64(pid));
    }
}

QByteArray readSmallFile(const QByteArray &path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

// The pseudo-terminal a master descriptor drives, from "tty-index: N": node N of the process's
// own /dev/pts, which in a container or another mount namespace is another instance than
// ours. A master opened through the ptmx node of an instance mounted elsewhere names none.
std::optional<DeviceId> ptyOfMaster(qint64 pid, const char *fd, const struct stat &master)
{
    const QByteArray process = "/proc/" + QByteArray::number(pid);
    const QByteArray info = readSmallFile(process + "/fdinfo/" + fd);
    const qsizetype at = info.indexOf("tty-index:");
    if (at < 0)
        return std::nullopt;
    const QByteArray index = info.mid(at + 10, info.indexOf('\n', at) - at - 10).trimmed();
    struct stat status {};
    struct statfs masterFileSystem {};
    if (::stat((process + "/root/dev/pts/" + index).constData(), &status) != 0
        || ::statfs((process + "/fd/" + fd).constData(), &masterFileSystem) != 0
        || (masterFileSystem.f_type == DEVPTS_SUPER_MAGIC && master.st_dev != status.st_dev))
        return std::nullopt;
    return DeviceId::of(status);
}

} // namespace

bool isPseudoTerminal(dev_t device)
{
    return ::major(device) >= kFirstPtyMajor && ::major(device) <= kLastPtyMajor;
}

DeviceId DeviceId::of(const struct stat &status)
{
    return {status.st_rdev, isPseudoTerminal(status.st_rdev) ? status.st_dev : 0};
}

size_t qHash(const DeviceId &id, size_t seed)
{
    return qHashMulti(seed, quint64(id.device), quint64(id.instance));
}

void observeProcessWalks(ProcessWalkObserver observer)
{
    processWalkObserver = observer;
}

QList<ProcessEntry> runningProcesses()
{
    QList<ProcessEntry> processes;
    forEachPid([&processes](qint64 pid) {
        const QString name = processName(pid);
        if (!name.isEmpty())
            processes.append({pid, name});
    });
    return processes;
}

QString processName(qint64 pid)
{
    return QString::fromLocal8Bit(readSmallFile("/proc/" + QByteArray::number(pid) + "/comm").trimmed());
}

bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

DeviceHolders DeviceHolders::scan(const QList<DeviceId> &devices)
{
    DeviceHolders holders;
    if (devices.isEmpty())
        return holders;
    const QSet<DeviceId> wanted(devices.cbegin(), devices.cend());
    QSet<QPair<DeviceId, qint64>> deviceSides;
    forEachPid([&](qint64 pid) {
        const QByteArray fdFolder = "/proc/" + QByteArray::number(pid) + "/fd";
        const Directory fds = openDirectory(fdFolder.constData());
        if (!fds)
            return; // another user's process
        while (const dirent *entry = ::readdir(fds.get())) {
            struct stat status {};
            if (entry->d_name[0] == '.' || ::fstatat(::dirfd(fds.get()), entry->d_name, &status, 0) != 0
                || !S_ISCHR(status.st_mode))
                continue;
            if (status.st_rdev == kPtmx) {
                if (const std::optional<DeviceId> slave = ptyOfMaster(pid, entry->d_name, status); slave && wanted.contains(*slave))
                    deviceSides.insert({*slave, pid});
            } else if (const DeviceId held = DeviceId::of(status); wanted.contains(held) && !holders.m_pids.contains(held, pid)) {
                holders.m_pids.insert(held, pid);
            }
        }
    });
    for (const auto &[device, pid] : std::as_const(deviceSides))
        holders.m_pids.remove(device, pid);
    return holders;
}

QList<ProcessEntry> DeviceHolders::of(DeviceId device) const
{
    QList<ProcessEntry> processes;
    for (auto it = m_pids.constFind(device); it != m_pids.constEnd() && it.key() == device; ++it)
        processes.append({it.value(), processName(it.value())});
    return processes;
}

// Lines such as "3: FLOCK  ADVISORY  WRITE 9299 00:05:112 0 EOF"; those with "->" are
// processes waiting for a lock, not holding one.
FileLocks FileLocks::read()
{
    FileLocks locks;
    QFile file(QStringLiteral("/proc/locks"));
    if (!file.open(QIODevice::ReadOnly))
        return locks;
    for (const QByteArray &line : file.read(kLocksReadLimit).split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields.at(1) == "->" || fields.at(1) == "LEASE" || fields.at(1) == "DELEG")
            continue;
        const QList<QByteArray> file = fields.at(5).split(':');
        bool ok[3] = {};
        if (file.size() != 3)
            continue;
        const quint64 fileSystem = makedev(file.at(0).toUInt(&ok[0], 16), file.at(1).toUInt(&ok[1], 16));
        const quint64 inode = file.at(2).toULongLong(&ok[2]);
        if (ok[0] && ok[1] && ok[2])
            locks.m_pids.insert({fileSystem, inode}, std::max<qint64>(fields.at(4).toLongLong(), 0));
    }
    return locks;
}

std::optional<QList<qint64>> FileLocks::holders(dev_t fileSystem, ino_t inode) const
{
    const QList<qint64> pids = m_pids.values({quint64(fileSystem), quint64(inode)});
    return pids.isEmpty() ? std::nullopt : std::optional(pids);
}

} // namespace veldo
