// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/PortProbe.h"

#include "lines/RemotePortAddress.h"
#include "ports/LockFile.h"
#include "ports/PortAdvice.h"
#include "system/ErrorText.h"
#include "system/FileKind.h"
#include "system/ProcessTable.h"
#include <QCoreApplication>

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <cerrno>
#include <climits>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace veldo {

namespace {

// Only terminal devices are opened: opening some other device (a watchdog, say) acts on it.
// Pseudo-terminal slaves have no entry in /sys/dev/char.
bool isTerminalDevice(dev_t device)
{
    if (isPseudoTerminal(device))
        return true;
    const QString subsystem = QFileInfo(QStringLiteral("/sys/dev/char/%1:%2/subsystem").arg(::major(device)).arg(::minor(device)))
                                  .symLinkTarget();
    return subsystem.endsWith(QLatin1String("/tty"));
}

// Looking up a device's details scans every serial device of the system, so only USB
// adapters, the only ones with details to show, are looked up.
std::optional<UsbAdapter> usbAdapter(const QString &device)
{
    const QString bus = QFileInfo(QStringLiteral("/sys/class/tty/%1/device/subsystem").arg(QFileInfo(device).fileName()))
                            .symLinkTarget();
    if (!bus.endsWith(QLatin1String("/usb")) && !bus.endsWith(QLatin1String("/usb-serial")))
        return std::nullopt;
    const QSerialPortInfo info(device);
    return UsbAdapter{info.description(), info.manufacturer(), info.serialNumber()};
}

void judgeMissingPath(PortFacts &facts, int error)
{
    const QFileInfo link(facts.path);
    if (error == ELOOP)
        return facts.refuse(PortState::Error, QCoreApplication::translate("veldo::PortAdvice", "%1 is a loop of symbolic links").arg(facts.path));
    if (error == EACCES)
        return facts.refuse(PortState::NoPermission, QStringLiteral("%1: %2").arg(facts.path, systemError(error)));
    if (error != ENOENT && error != ENOTDIR)
        return facts.refuse(PortState::Error, QStringLiteral("%1: %2").arg(facts.path, systemError(error)));
    if (link.isSymLink())
        return facts.refuse(PortState::Missing,
                            QCoreApplication::translate("veldo::PortAdvice", "%1 leads to %2, which does not exist: is the adapter plugged in?")
                                .arg(facts.path, link.symLinkTarget()));
    facts.refuse(PortState::Missing, QCoreApplication::translate("veldo::PortAdvice", "%1 does not exist").arg(facts.path));
}

// Locked by a lock file of a running program or by flock: in use, with the holder named
// where it can be seen. Whether it is open elsewhere is left to the descriptor scan.
bool judgeLocks(PortFacts &facts, const struct stat &status, const FileLocks &locks)
{
    const LockFileReading lock = readLockFile(facts.device);
    if (!lock.problem.isEmpty()) {
        facts.refuse(PortState::Error, lock.problem);
        return true;
    }
    if (const std::optional<qint64> pid = lock.pid; pid && processRuns(*pid)) {
        facts.refuse(PortState::InUse,
                     QCoreApplication::translate("veldo::PortAdvice", "in use by %1, which holds its lock file").arg(describeHolders({{*pid, processName(*pid)}})));
        return true;
    }
    const std::optional<QList<qint64>> lockers = locks.holders(status.st_dev, status.st_ino);
    if (!lockers)
        return false;
    QList<ProcessEntry> named;
    for (qint64 pid : *lockers) {
        if (pid > 0)
            named.append({pid, processName(pid)});
    }
    facts.refuse(PortState::InUse,
                 named.isEmpty() ? QCoreApplication::translate("veldo::PortAdvice", "in use by a program that locks it (flock)")
                                 : QCoreApplication::translate("veldo::PortAdvice", "in use by %1, which locks it (flock)").arg(describeHolders(named)));
    return true;
}

// A remote port's URL: the path itself, or the target of a link, read as written and never followed.
QString remoteUrl(const QString &path)
{
    if (isRemotePortUrl(path))
        return path;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    if (length <= 0)
        return {};
    const QString text = QFile::decodeName(QByteArray(target, int(length)));
    return isRemotePortUrl(text) ? text : QString();
}

// A remote port is usable as far as anyone can tell without connecting, which the probe never does.
bool judgeRemote(PortFacts &facts)
{
    facts.device = remoteUrl(facts.path);
    if (facts.device.isEmpty())
        return false;
    const RemotePortAddressParse parse = parseRemotePortAddress(facts.device);
    if (!parse.address)
        facts.refuse(PortState::Error, describeRemotePortAddressError(parse.error, facts.device));
    else
        facts.remote = parse.address->display();
    return true;
}

// Everything but the descriptor scan, from the file system alone: nothing is opened.
// True when only that scan can still find the port in use.
bool judgeWithoutOpening(PortFacts &facts, const FileLocks &locks)
{
    if (facts.path.isEmpty()) {
        facts.refuse(PortState::Missing, QCoreApplication::translate("veldo::PortAdvice", "no device is assigned to this number"));
        return false;
    }
    if (judgeRemote(facts)) {
        if (facts.isRemote())
            facts.state = PortState::Usable;
        return false;
    }
    const QByteArray encoded = QFile::encodeName(facts.path);
    struct stat status {};
    if (::stat(encoded.constData(), &status) != 0) {
        judgeMissingPath(facts, errno);
        return false;
    }
    char resolved[PATH_MAX];
    facts.device = ::realpath(encoded.constData(), resolved) ? QFile::decodeName(resolved) : facts.path;
    if (!S_ISCHR(status.st_mode) || !isTerminalDevice(status.st_rdev)) {
        const QString kind = S_ISCHR(status.st_mode) ? QCoreApplication::translate("veldo::PortAdvice", "a device of another kind") : fileKind(status.st_mode);
        facts.refuse(PortState::NotSerial, QCoreApplication::translate("veldo::PortAdvice", "%1 is %2, not a serial device").arg(facts.device, kind));
        return false;
    }
    if (::faccessat(AT_FDCWD, encoded.constData(), R_OK | W_OK, AT_EACCESS) != 0) {
        const int error = errno;
        facts.refuse(error == EACCES || error == EPERM ? PortState::NoPermission : PortState::Error,
                     error == EACCES || error == EPERM ? noPermissionReason(facts.device, status)
                                                       : QStringLiteral("%1: %2").arg(facts.device, systemError(error)));
        return false;
    }
    if (judgeLocks(facts, status, locks))
        return false;
    return true;
}

void judgeUsable(PortFacts &facts)
{
    facts.state = PortState::Usable;
    facts.usb = usbAdapter(facts.device);
}

PortScan judgeAll(PortScan ports, OpenHolders openHolders)
{
    const FileLocks locks = FileLocks::read();
    for (PortFacts &port : ports) {
        if (judgeWithoutOpening(port, locks))
            judgeUsable(port);
    }
    if (openHolders == OpenHolders::Find)
        findOpenHolders(ports);
    return ports;
}

} // namespace

PortScan DiscoverPorts(const PortMap &map, OpenHolders openHolders)
{
    PortScan ports;
    for (int number = kFirstPort; number <= kLastPort; ++number)
        ports.append(PortFacts{.number = number, .path = map.devicePath(number)});
    return judgeAll(ports, openHolders);
}

PortFacts probePort(int number, const QString &path)
{
    return judgeAll({PortFacts{.number = number, .path = path}}, OpenHolders::Find).constFirst();
}

void findOpenHolders(PortScan &ports)
{
    QList<PortFacts *> usable;
    QList<DeviceId> devices;
    for (PortFacts &port : ports) {
        struct stat status {};
        if (port.usable() && !port.isRemote() && ::stat(QFile::encodeName(port.device).constData(), &status) == 0) {
            usable << &port;
            devices << DeviceId::of(status);
        }
    }
    const DeviceHolders holders = DeviceHolders::scan(devices);
    for (qsizetype i = 0; i < usable.size(); ++i) {
        if (const QList<ProcessEntry> users = holders.of(devices[i]); !users.isEmpty())
            usable[i]->refuse(PortState::InUse, QCoreApplication::translate("veldo::PortAdvice", "in use by %1").arg(describeHolders(users)));
    }
}

} // namespace veldo
