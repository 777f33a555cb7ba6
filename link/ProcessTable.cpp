#include "link/ProcessTable.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace veldo {

namespace {

using Directory = std::unique_ptr<DIR, int (*)(DIR *)>;

Directory openDirectory(const char *path)
{
    return Directory(::opendir(path), &::closedir);
}

// The numeric entries of /proc.
template <typename Visit> void forEachPid(Visit visit)
{
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

// The pseudo-terminal a master descriptor drives: "/dev/pts/N" from "tty-index: N".
QString ptyOfMaster(qint64 pid, const char *fd)
{
    const QByteArray info = readSmallFile("/proc/" + QByteArray::number(pid) + "/fdinfo/" + fd);
    const qsizetype at = info.indexOf("tty-index:");
    if (at < 0)
        return {};
    const QByteArray index = info.mid(at + 10, info.indexOf('\n', at) - at - 10).trimmed();
    return QStringLiteral("/dev/pts/") + QString::fromLatin1(index);
}

} // namespace

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

DeviceHolders DeviceHolders::scan()
{
    DeviceHolders holders;
    QSet<QPair<QString, qint64>> deviceSides;
    forEachPid([&](qint64 pid) {
        const QByteArray fdFolder = "/proc/" + QByteArray::number(pid) + "/fd";
        const Directory fds = openDirectory(fdFolder.constData());
        if (!fds)
            return; // another user's process
        while (const dirent *entry = ::readdir(fds.get())) {
            char target[256];
            const ssize_t n = ::readlinkat(::dirfd(fds.get()), entry->d_name, target, sizeof target - 1);
            if (n <= 5 || std::string_view(target, 5) != "/dev/")
                continue;
            const QString device = QString::fromLocal8Bit(target, n);
            if (device == QLatin1String("/dev/ptmx") || device == QLatin1String("/dev/pts/ptmx"))
                deviceSides.insert({ptyOfMaster(pid, entry->d_name), pid});
            else if (!holders.m_pids.contains(device, pid))
                holders.m_pids.insert(device, pid);
        }
    });
    for (const auto &[device, pid] : std::as_const(deviceSides))
        holders.m_pids.remove(device, pid);
    return holders;
}

QList<ProcessEntry> DeviceHolders::of(const QString &device) const
{
    QList<ProcessEntry> processes;
    for (auto it = m_pids.constFind(device); it != m_pids.constEnd() && it.key() == device; ++it)
        processes.append({it.value(), processName(it.value())});
    return processes;
}

} // namespace veldo
