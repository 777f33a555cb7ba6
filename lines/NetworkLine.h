// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lines/Line.h"
#include "lines/NetworkFailure.h"
#include "lines/RemotePortAddress.h"

#include <QTimer>

#include <memory>

namespace veldo {

class RemoteConnection;

// A serial port on another machine over RFC 2217 (telnet's COM-PORT option), in the clear or
// over TLS, through gensio. open() returns at once: the name lookup, the connect, the TLS
// handshake and the line settings (9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control) happen off this thread, and opened() or failed() follows on it.
class NetworkLine : public Line {
    Q_OBJECT
public:
    // The connect, the handshake and the answers to the line settings together take no longer.
    static constexpr int kConnectTimeoutMs = 5000;

    explicit NetworkLine(RemotePortAddress address, QObject *parent = nullptr);
    ~NetworkLine() override;

    const RemotePortAddress &address() const { return m_address; }
    // Starts connecting; ignored while open or connecting.
    void open();
    bool isConnecting() const { return m_state == State::Connecting; }

    bool isOpen() const override { return m_state == State::Open; }
    void discardInput() override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void close() override;
    QString failure() const override { return m_failureText; }
    NetworkFailure failureKind() const { return m_failure; }

signals:
    // The connection stands and the server took the line settings.
    void opened();

private:
    enum class State { Closed,
                       Connecting,
                       Open };

    void connectionEvent(quint64 serial, int event, NetworkFailure failure, const QString &detail);
    void breakOff(NetworkFailure failure, const QString &detail);
    QString describe(NetworkFailure failure, const QString &detail) const;

    const RemotePortAddress m_address;
    State m_state = State::Closed;
    std::shared_ptr<RemoteConnection> m_connection;
    quint64 m_serial = 0; // tells this connection's late events from an earlier one's
    QTimer m_connectTimeout;
    NetworkFailure m_failure = NetworkFailure::None;
    QString m_failureText;
};

} // namespace veldo
