// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortLink.h"

#include "ports/PortMap.h"
#include "system/ErrorText.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace veldo {

namespace {

QString linkTarget(const QByteArray &path)
{
    char target[4096];
    const ssize_t n = ::readlink(path.constData(), target, sizeof target);
    return n < 0 ? QString() : QFile::decodeName(QByteArray(target, n));
}

bool isDanglingLink(const QByteArray &path)
{
    struct stat entry {};
    struct stat device {};
    return ::lstat(path.constData(), &entry) == 0 && S_ISLNK(entry.st_mode)
        && ::stat(path.constData(), &device) != 0 && errno == ENOENT;
}

// Puts a borrowed link back; fails, and changes nothing, where something has taken the name.
bool restoreLink(const QString &target, const QByteArray &path)
{
    return ::symlink(QFile::encodeName(target).constData(), path.constData()) == 0;
}

} // namespace

PortLink::~PortLink()
{
    remove();
}

LinkResult PortLink::make(const QString &portsFolder, int port, const QString &device)
{
    if (port < kFirstPort || port > kLastPort)
        return {false, QStringLiteral("port %1 is not between %2 and %3").arg(port).arg(kFirstPort).arg(kLastPort)};
    if (!QDir().mkpath(portsFolder))
        return {false, QStringLiteral("cannot create the folder %1").arg(portsFolder)};
    remove();
    const QString path = PortMap(portsFolder, {}).overridePath(port);
    const QByteArray encodedPath = QFile::encodeName(path);
    const QString borrowed = isDanglingLink(encodedPath) ? linkTarget(encodedPath) : QString();
    if (!borrowed.isEmpty())
        ::unlink(encodedPath.constData());
    if (::symlink(QFile::encodeName(device).constData(), encodedPath.constData()) != 0) {
        const int error = errno;
        if (!borrowed.isEmpty())
            restoreLink(borrowed, encodedPath);
        const QString why = error == EEXIST ? QStringLiteral("a file or a link to a present device has that name; remove it or choose another port")
                                            : systemError(error);
        return {false, QStringLiteral("cannot link %1: %2").arg(path, why)};
    }
    m_path = path;
    m_device = device;
    m_borrowed = borrowed;
    return {};
}

bool PortLink::remove()
{
    if (m_path.isEmpty())
        return false;
    const QByteArray encodedPath = QFile::encodeName(m_path);
    const bool ours = linkTarget(encodedPath) == m_device;
    const bool removed = ours && ::unlink(encodedPath.constData()) == 0;
    // Made afresh only where nothing has taken the name meanwhile.
    if (removed && !m_borrowed.isEmpty())
        restoreLink(m_borrowed, encodedPath);
    m_path.clear();
    m_device.clear();
    m_borrowed.clear();
    return removed;
}

} // namespace veldo
