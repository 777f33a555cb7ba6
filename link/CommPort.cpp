// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/CommPort.h"

#include "link/DeviceClaim.h"
#include "link/LockFile.h"
#include "link/PortProbe.h"
#include "link/ProcessTable.h"
#include "link/TerminationSignals.h"
#include <QCoreApplication>

#include <QFile>
#include <QSerialPort>

#include <utility>

#include <poll.h>
#include <unistd.h>

namespace veldo {

namespace {

// What the line keeps between two reads: more than any answer of the box, little enough that
// a device talking while no exchange runs cannot fill the memory.
constexpr qint64 kReceiveBufferSize = 1024;

// Whether the system has hung the device up or marked it in error. A read that finds
// nothing also reports an error, which says nothing about the device by itself.
bool deviceFailed(int fd)
{
    pollfd probe{fd, 0, 0};
    return ::poll(&probe, 1, 0) < 0 || (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace

CommPort::CommPort(PortMap map, QObject *parent)
    : QObject(parent)
    , m_map(std::move(map))
    , m_port(new QSerialPort(this))
{
    m_port->setReadBufferSize(kReceiveBufferSize);
    connect(m_port, &QSerialPort::readyRead, this, &CommPort::received);
    // A vanished device reports errors as fast as the loop turns until the port is closed,
    // so the first real one closes it.
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_port->isOpen())
            return;
        if (!deviceFailed(static_cast<int>(m_port->handle())))
            return;
        setPortOpen(false);
        emit failed();
    });
}

CommPort::~CommPort()
{
    setPortOpen(false);
}

void CommPort::setCommPort(int port)
{
    if (!portOpen() && port >= kFirstPort && port <= kLastPort)
        m_commPort = port;
}

bool CommPort::setSettings(const LineSettings &settings)
{
    if (portOpen())
        return false;
    m_settings = settings;
    return true;
}

bool CommPort::portOpen() const
{
    return m_port->isOpen();
}

bool CommPort::setPortOpen(bool open)
{
    if (open == portOpen())
        return open;
    if (open)
        return this->open(probePort(m_commPort, m_map.devicePath(m_commPort))).usable();
    portToRelease(-1, -1, {});
    m_port->close();
    ::close(m_lockFd);
    m_lockFd = -1;
    return false;
}

// QSerialPort's lock file and TIOCEXCL do not keep out programs that lock with flock, nor
// anyone running as root: the claimed descriptor holds an exclusive flock while the port is open.
PortFacts CommPort::open(const PortFacts &facts)
{
    if (portOpen() || facts.number < kFirstPort || facts.number > kLastPort)
        return facts;
    PortFacts found = facts;
    m_lockFd = claimDevice(found);
    if (m_lockFd < 0)
        return found;
    // QSerialPort reads the lock file with a blocking open: what was put there since the
    // probe is judged again, without waiting, the instant before. A lock file whose program
    // has ended would keep QSerialPort out for a while yet.
    const LockFileReading lock = readLockFile(facts.device);
    if (!lock.problem.isEmpty())
        return refuseOpen(found, PortState::Error, lock.problem);
    if (lock.pid && !processRuns(*lock.pid))
        QFile::remove(lockFilePath(facts.device));
    m_commPort = facts.number;
    m_port->setPortName(facts.device);
    m_port->setBaudRate(m_settings.baudRate);
    m_port->setParity(m_settings.parity);
    m_port->setDataBits(m_settings.dataBits);
    m_port->setStopBits(m_settings.stopBits);
    m_port->setFlowControl(m_settings.flowControl);
    if (!m_port->open(QIODevice::ReadWrite))
        return refuseOpen(found, PortState::Error, QCoreApplication::translate("veldo::PortAdvice", "%1 could not be opened: %2").arg(facts.device, m_port->errorString()));
    portToRelease(int(m_port->handle()), m_lockFd, QFile::encodeName(lockFilePath(facts.device)));
    m_openFacts = found;
    return found;
}

PortFacts CommPort::refuseOpen(PortFacts facts, PortState state, const QString &reason)
{
    ::close(m_lockFd);
    m_lockFd = -1;
    facts.state = state;
    facts.reason = reason;
    return facts;
}

void CommPort::discardInput()
{
    // Drops both what the system holds and what QSerialPort has already fetched.
    if (portOpen())
        m_port->clear(QSerialPort::Input);
}

bool CommPort::output(const QByteArray &bytes)
{
    if (!portOpen() || m_port->write(bytes) != bytes.size())
        return false;
    // Hands the bytes to the system now, without waiting for the line.
    m_port->flush();
    return portOpen();
}

QByteArray CommPort::input()
{
    return portOpen() ? m_port->readAll() : QByteArray();
}

} // namespace veldo
