// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/CommPort.h"

#include "ports/DeviceClaim.h"
#include "ports/LockFile.h"
#include "ports/PortProbe.h"
#include "system/ProcessTable.h"

#include <QCoreApplication>
#include <QFile>

#include <utility>

namespace veldo {

CommPort::CommPort(PortMap map, QObject *parent)
    : QObject(parent)
    , m_map(std::move(map))
{
    connect(&m_serial, &Line::failed, this, &CommPort::failed);
}

bool CommPort::setPortOpen(bool open)
{
    if (open == portOpen())
        return open;
    if (open)
        return this->open(probePort(m_commPort, m_map.devicePath(m_commPort))).usable();
    line().close();
    return false;
}

// QSerialPort's lock file and TIOCEXCL do not keep out programs that lock with flock, nor
// anyone running as root: the claimed descriptor holds an exclusive flock while the port is open.
PortFacts CommPort::open(const PortFacts &facts)
{
    if (portOpen() || facts.number < kFirstPort || facts.number > kLastPort)
        return facts;
    // The line of a remote port chosen before goes once its signals are delivered.
    if (m_network)
        std::exchange(m_network, nullptr)->deleteLater();
    if (facts.isRemote() && facts.usable()) {
        openRemote(facts);
        return facts;
    }
    PortFacts found = facts;
    UniqueFd claim(claimDevice(found));
    if (!claim.valid())
        return found;
    // QSerialPort reads the lock file with a blocking open: what was put there since the
    // probe is judged again, without waiting, the instant before. A lock file whose program
    // has ended would keep QSerialPort out for a while yet.
    const LockFileReading lock = readLockFile(facts.device);
    if (!lock.problem.isEmpty()) {
        found.refuse(PortState::Error, lock.problem);
        return found;
    }
    if (lock.pid && !processRuns(*lock.pid))
        QFile::remove(lockFilePath(facts.device));
    m_commPort = facts.number;
    if (!m_serial.open(facts.device, std::move(claim), lockFilePath(facts.device), kBoxLineSettings)) {
        found.refuse(PortState::Error, QCoreApplication::translate("veldo::PortAdvice", "%1 could not be opened: %2").arg(facts.device, m_serial.failure()));
        return found;
    }
    m_openFacts = found;
    return found;
}

void CommPort::openRemote(const PortFacts &facts)
{
    m_network = new NetworkLine(*parseRemotePortAddress(facts.device).address, this);
    connect(m_network, &NetworkLine::opened, this, &CommPort::connected);
    connect(m_network, &Line::failed, this, [this, line = m_network] { lineFailed(*line); });
    m_commPort = facts.number;
    m_openFacts = facts;
    m_network->open();
}

void CommPort::lineFailed(const NetworkLine &line)
{
    if (isUnreachable(line.failureKind()))
        emit unreachable(line.failure());
    else
        emit failed();
}

} // namespace veldo
