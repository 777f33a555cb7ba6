#include "link/PortProbe.h"

#include "link/FileKind.h"
#include "link/LockFile.h"
#include "link/PortAdvice.h"
#include "link/ProcessTable.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace veldo {

namespace {

// Unix98 pseudo-terminal slaves have no entry in /sys/dev/char.
constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;

// One scan of the process table serves every port of a discovery, and only when a port needs it.
class LazyHolders {
public:
    QList<ProcessEntry> of(const QString &device)
    {
        if (!m_holders)
            m_holders = DeviceHolders::scan();
        return m_holders->of(device);
    }

private:
    std::optional<DeviceHolders> m_holders;
};

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Only terminal devices are opened: opening some other device (a watchdog, say) acts on it.
bool isTerminalDevice(dev_t device)
{
    const unsigned major = ::major(device);
    if (major >= kFirstPtyMajor && major <= kLastPtyMajor)
        return true;
    const QString subsystem = QFileInfo(QStringLiteral("/sys/dev/char/%1:%2/subsystem").arg(major).arg(::minor(device)))
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

void judge(PortFacts &facts, PortState state, const QString &reason)
{
    facts.state = state;
    facts.reason = reason;
}

void judgeMissingPath(PortFacts &facts, int error)
{
    const QFileInfo link(facts.path);
    if (error == ELOOP)
        return judge(facts, PortState::Error, QStringLiteral("%1 is a loop of symbolic links").arg(facts.path));
    if (error == EACCES)
        return judge(facts, PortState::NoPermission, QStringLiteral("%1: %2").arg(facts.path, systemError(error)));
    if (error != ENOENT && error != ENOTDIR)
        return judge(facts, PortState::Error, QStringLiteral("%1: %2").arg(facts.path, systemError(error)));
    if (link.isSymLink())
        return judge(facts, PortState::Missing,
                     QStringLiteral("%1 leads to %2, which does not exist: is the adapter plugged in?")
                         .arg(facts.path, link.symLinkTarget()));
    judge(facts, PortState::Missing, QStringLiteral("%1 does not exist").arg(facts.path));
}

// Opened, a terminal, and neither locked nor open elsewhere: usable. A device in exclusive
// mode that nobody holds was left so by a program that ended without closing it. The probe's
// own descriptor is closed first, so that only others are found holding the device.
void judgeOpenDevice(PortFacts &facts, int fd, LazyHolders &holders)
{
    termios line{};
    const bool terminal = ::tcgetattr(fd, &line) == 0;
    const bool locked = terminal && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    if (!terminal)
        return judge(facts, PortState::NotSerial, QStringLiteral("%1 is not a serial device").arg(facts.device));
    if (locked)
        return judge(facts, PortState::InUse, QStringLiteral("in use by a program that locks it (flock)"));
    const QList<ProcessEntry> users = holders.of(facts.device);
    if (!users.isEmpty())
        return judge(facts, PortState::InUse, QStringLiteral("in use by %1").arg(describeHolders(users)));
    facts.state = PortState::Usable;
    facts.usb = usbAdapter(facts.device);
}

void judgeFailedOpen(PortFacts &facts, int error, const struct stat &status, LazyHolders &holders)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return judge(facts, PortState::NoPermission, noPermissionReason(facts.device, status));
    case EBUSY: {
        const QList<ProcessEntry> users = holders.of(facts.device);
        if (!users.isEmpty())
            return judge(facts, PortState::InUse, QStringLiteral("in use by %1").arg(describeHolders(users)));
        return judge(facts, PortState::Error,
                     QStringLiteral("%1 was left in exclusive mode, and no lock file or program that can be seen "
                                    "holds it: a program probably ended without closing it. Unplug the adapter "
                                    "and plug it in again to clear it")
                         .arg(facts.device));
    }
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return judge(facts, PortState::Missing, QStringLiteral("%1 has gone").arg(facts.device));
    case EIO:
        return judge(facts, PortState::Missing, QStringLiteral("no serial hardware answers behind %1").arg(facts.device));
    default:
        return judge(facts, PortState::Error, QStringLiteral("%1: %2").arg(facts.device, systemError(error)));
    }
}

PortFacts probe(int number, const QString &path, LazyHolders &holders)
{
    PortFacts facts{.number = number, .path = path};
    if (path.isEmpty()) {
        judge(facts, PortState::Missing, QStringLiteral("no device is assigned to this number"));
        return facts;
    }
    const QByteArray encoded = QFile::encodeName(path);
    struct stat status {};
    if (::stat(encoded.constData(), &status) != 0) {
        judgeMissingPath(facts, errno);
        return facts;
    }
    char resolved[PATH_MAX];
    facts.device = ::realpath(encoded.constData(), resolved) ? QFile::decodeName(resolved) : path;
    if (!S_ISCHR(status.st_mode) || !isTerminalDevice(status.st_rdev)) {
        const QString kind = S_ISCHR(status.st_mode) ? QStringLiteral("a device of another kind") : fileKind(status.st_mode);
        judge(facts, PortState::NotSerial, QStringLiteral("%1 is %2, not a serial device").arg(facts.device, kind));
        return facts;
    }
    const LockFileReading lock = readLockFile(facts.device);
    if (!lock.problem.isEmpty()) {
        judge(facts, PortState::Error, lock.problem);
        return facts;
    }
    if (const std::optional<qint64> pid = lock.pid; pid && processRuns(*pid)) {
        judge(facts, PortState::InUse,
              QStringLiteral("in use by %1, which holds its lock file").arg(describeHolders({{*pid, processName(*pid)}})));
        return facts;
    }
    const int fd = ::open(QFile::encodeName(facts.device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        judgeFailedOpen(facts, errno, status, holders);
        return facts;
    }
    judgeOpenDevice(facts, fd, holders);
    return facts;
}

} // namespace

PortScan DiscoverPorts(const PortMap &map)
{
    LazyHolders holders;
    PortScan ports;
    for (int number = kFirstPort; number <= kLastPort; ++number)
        ports.append(probe(number, map.devicePath(number), holders));
    return ports;
}

PortFacts probePort(int number, const QString &path)
{
    LazyHolders holders;
    return probe(number, path, holders);
}

} // namespace veldo
