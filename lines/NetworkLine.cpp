// SPDX-License-Identifier: GPL-3.0-or-later
#include "NetworkLine.h"

#include "lines/GensioLoop.h"
#include "lines/RemoteConnection.h"

namespace veldo {

NetworkLine::NetworkLine(RemotePortAddress address, QObject *parent)
    : Line(parent)
    , m_address(std::move(address))
{
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this, [this] { breakOff(NetworkFailure::TimedOut, {}); });
}

NetworkLine::~NetworkLine()
{
    // Before QObject's destructor: from here on the loop posts nothing to this object.
    if (m_connection)
        m_connection->close();
}

void NetworkLine::open()
{
    if (m_state != State::Closed)
        return;
    m_failure = NetworkFailure::None;
    m_failureText.clear();
    GensioLoop *loop = GensioLoop::instance();
    if (!loop) {
        breakOff(NetworkFailure::Other, tr("the network library could not start"));
        return;
    }
    const quint64 serial = ++m_serial;
    m_connection = RemoteConnection::create(*loop, m_address, [this, serial](RemoteConnection::Event event, NetworkFailure failure, const QString &detail) {
        QMetaObject::invokeMethod(
            this, [this, serial, event, failure, detail] { connectionEvent(serial, int(event), failure, detail); }, Qt::QueuedConnection);
    });
    m_state = State::Connecting;
    m_connectTimeout.start();
    m_connection->connect();
}

void NetworkLine::connectionEvent(quint64 serial, int event, NetworkFailure failure, const QString &detail)
{
    if (serial != m_serial || m_state == State::Closed)
        return;
    switch (RemoteConnection::Event(event)) {
    case RemoteConnection::Event::Connected:
        m_connectTimeout.stop();
        m_state = State::Open;
        emit opened();
        break;
    case RemoteConnection::Event::Arrived: emit received(); break;
    case RemoteConnection::Event::Broke: breakOff(failure, detail); break;
    }
}

void NetworkLine::breakOff(NetworkFailure failure, const QString &detail)
{
    close();
    m_failure = failure;
    m_failureText = describe(failure, detail);
    emit failed();
}

void NetworkLine::discardInput()
{
    if (isOpen())
        m_connection->purge();
}

bool NetworkLine::write(const QByteArray &bytes)
{
    if (!isOpen())
        return false;
    m_connection->send(bytes);
    return true;
}

QByteArray NetworkLine::readAll()
{
    return isOpen() ? m_connection->take() : QByteArray();
}

void NetworkLine::close()
{
    m_connectTimeout.stop();
    m_state = State::Closed;
    if (m_connection)
        std::exchange(m_connection, nullptr)->close();
}

QString NetworkLine::describe(NetworkFailure failure, const QString &detail) const
{
    const QString where = m_address.display();
    const QString because = detail.isEmpty() ? QString() : tr(" (%1)").arg(detail);
    switch (failure) {
    case NetworkFailure::None: return QString();
    case NetworkFailure::Refused: return tr("%1 refused the connection: nothing serves that port there").arg(where);
    case NetworkFailure::UnknownHost: return tr("%1: unknown host").arg(where);
    case NetworkFailure::TimedOut: return tr("%1 did not answer within %2 s").arg(where).arg(kConnectTimeoutMs / 1000);
    case NetworkFailure::NotTrusted: return tr("%1: the server's certificate is not trusted%2").arg(where, because);
    case NetworkFailure::NameMismatch: return tr("%1: the server's certificate is not made out to %2").arg(where, m_address.host);
    case NetworkFailure::PortInUse: return tr("%1: the server says the port is in use by another connection").arg(where);
    case NetworkFailure::NoSerialControl: return tr("%1 does not take the line settings (is RFC 2217 on?)%2").arg(where, because);
    case NetworkFailure::Lost: return tr("%1: the connection was lost%2").arg(where, because);
    case NetworkFailure::Other: return tr("%1: %2").arg(where, detail);
    }
    return QString();
}

} // namespace veldo
