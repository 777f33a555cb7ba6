// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/SerialLine.h"

#include "system/TerminationSignals.h"

#include <QFile>
#include <QSerialPort>

#include <poll.h>

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

SerialLine::SerialLine(QObject *parent)
    : Line(parent)
    , m_port(new QSerialPort(this))
{
    m_port->setReadBufferSize(kReceiveBufferSize);
    connect(m_port, &QSerialPort::readyRead, this, &Line::received);
    // A vanished device reports errors as fast as the loop turns until the port is closed,
    // so the first real one closes it.
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_port->isOpen())
            return;
        if (!deviceFailed(static_cast<int>(m_port->handle())))
            return;
        const QString why = m_port->errorString();
        close();
        m_failure = why;
        emit failed();
    });
}

SerialLine::~SerialLine()
{
    close();
}

bool SerialLine::open(const QString &device, UniqueFd claim, const QString &lockFile, const LineSettings &settings)
{
    if (isOpen())
        return false;
    m_failure.clear();
    m_port->setPortName(device);
    m_port->setBaudRate(settings.baudRate);
    m_port->setParity(settings.parity);
    m_port->setDataBits(settings.dataBits);
    m_port->setStopBits(settings.stopBits);
    m_port->setFlowControl(settings.flowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_failure = m_port->errorString();
        return false;
    }
    m_claim = std::move(claim);
    portToRelease(int(m_port->handle()), m_claim.get(), QFile::encodeName(lockFile));
    return true;
}

bool SerialLine::isOpen() const
{
    return m_port->isOpen();
}

void SerialLine::close()
{
    if (!isOpen())
        return;
    portToRelease(-1, -1, {});
    m_port->close();
    m_claim = UniqueFd();
}

void SerialLine::discardInput()
{
    // Drops both what the system holds and what QSerialPort has already fetched.
    if (isOpen())
        m_port->clear(QSerialPort::Input);
}

bool SerialLine::write(const QByteArray &bytes)
{
    if (!isOpen() || m_port->write(bytes) != bytes.size())
        return false;
    // Hands the bytes to the system now, without waiting for the line.
    m_port->flush();
    return isOpen();
}

QByteArray SerialLine::readAll()
{
    return isOpen() ? m_port->readAll() : QByteArray();
}

} // namespace veldo
