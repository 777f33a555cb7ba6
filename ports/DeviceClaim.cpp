// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/DeviceClaim.h"

#include "ports/PortAdvice.h"
#include "system/ErrorText.h"
#include "system/ProcessTable.h"
#include <QCoreApplication>

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace veldo {

namespace {

// A device in exclusive mode that no program that can be seen holds was left so by a
// program that ended without closing it.
void judgeBusy(PortFacts &facts, DeviceId device)
{
    if (const QList<ProcessEntry> users = DeviceHolders::scan({device}).of(device); !users.isEmpty())
        return facts.refuse(PortState::InUse, QCoreApplication::translate("veldo::PortAdvice", "in use by %1").arg(describeHolders(users)));
    facts.refuse(PortState::Error,
                 QCoreApplication::translate("veldo::PortAdvice", "%1 was left in exclusive mode, and no lock file or program that can be seen holds it: a "
                                                                  "program probably ended without closing it. Unplug the adapter and plug it in again to clear it")
                     .arg(facts.device));
}

void judgeFailedOpen(PortFacts &facts, int error, const struct stat &status)
{
    switch (error) {
    case EACCES:
    case EPERM: return facts.refuse(PortState::NoPermission, noPermissionReason(facts.device, status));
    case EBUSY: return judgeBusy(facts, DeviceId::of(status));
    case ENOENT:
    case ENXIO:
    case ENODEV: return facts.refuse(PortState::Missing, QCoreApplication::translate("veldo::PortAdvice", "%1 has gone").arg(facts.device));
    case EIO: return facts.refuse(PortState::Missing, QCoreApplication::translate("veldo::PortAdvice", "no serial hardware answers behind %1").arg(facts.device));
    default: return facts.refuse(PortState::Error, QStringLiteral("%1: %2").arg(facts.device, systemError(error)));
    }
}

} // namespace

int claimDevice(PortFacts &facts)
{
    if (!facts.usable())
        return -1;
    const QByteArray path = QFile::encodeName(facts.device);
    struct stat status {};
    if (::stat(path.constData(), &status) != 0) {
        facts.refuse(PortState::Missing, QCoreApplication::translate("veldo::PortAdvice", "%1 has gone").arg(facts.device));
        return -1;
    }
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        judgeFailedOpen(facts, errno, status);
        return -1;
    }
    termios line{};
    if (::tcgetattr(fd, &line) != 0) {
        ::close(fd);
        facts.refuse(PortState::NotSerial, QCoreApplication::translate("veldo::PortAdvice", "%1 is not a serial device").arg(facts.device));
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        facts.refuse(PortState::InUse, QCoreApplication::translate("veldo::PortAdvice", "in use by a program that locks it (flock)"));
        return -1;
    }
    return fd;
}

} // namespace veldo
