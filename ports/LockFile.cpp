// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/LockFile.h"

#include "system/FileKind.h"
#include "system/UniqueFd.h"
#include <QCoreApplication>

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veldo {

namespace {

// Far more than a PID and the names after it.
constexpr int kReadLimit = 128;

LockFileReading notALockFile(const QString &path, mode_t mode)
{
    return {std::nullopt, QCoreApplication::translate("veldo::PortAdvice", "the lock file %1 is %2, not a lock file").arg(path, fileKind(mode))};
}

} // namespace

QString lockFilePath(const QString &device)
{
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    return QStringLiteral("/var/lock/LCK..") + name.replace(u'/', u'_');
}

LockFileReading readLockFile(const QString &device)
{
    const QString path = lockFilePath(device);
    const UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return errno == ELOOP ? notALockFile(path, S_IFLNK) : LockFileReading{};
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return {};
    if (!S_ISREG(status.st_mode))
        return notALockFile(path, status.st_mode);
    char text[kReadLimit];
    const ssize_t length = ::read(fd.get(), text, sizeof text);
    bool ok = false;
    const qint64 pid = QByteArray(text, std::max<ssize_t>(length, 0)).simplified().split(' ').value(0).toLongLong(&ok);
    return ok && pid > 0 ? LockFileReading{pid, {}} : LockFileReading{};
}

} // namespace veldo
