// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lines/NetworkLine.h"
#include "lines/SerialLine.h"
#include "ports/PortFacts.h"
#include "ports/PortMap.h"

#include <QObject>

namespace veldo {

// A numbered port of the map: the device it leads to claimed, checked and opened as the
// serial line, or a port on another machine connected as a network line, one at a time.
// Nothing here waits for the line.
class CommPort : public QObject {
    Q_OBJECT
public:
    explicit CommPort(PortMap map, QObject *parent = nullptr);

    int commPort() const { return m_commPort; }
    // Open, or a remote port still connecting.
    bool portOpen() const { return connecting() || line().isOpen(); }
    bool connecting() const { return m_network && m_network->isConnecting(); }
    // Opens the port that facts from a probe describe, taking its number, when they find it
    // usable; nothing else is ever opened. Returns the facts as the opening found them:
    // usable when the port is open, else why it is not. Ignored while a port is open. A
    // remote port starts connecting: connected or unreachable follows.
    PortFacts open(const PortFacts &facts);
    // Opens (after a probe of the number) or closes the port; returns portOpen() afterwards.
    bool setPortOpen(bool open);
    // The facts of the open port; meaningless while it is closed.
    const PortFacts &openFacts() const { return m_openFacts; }
    const PortMap &portMap() const { return m_map; }
    // What the exchanges talk through; closed while no port is open.
    Line &line() { return m_network ? static_cast<Line &>(*m_network) : m_serial; }
    const Line &line() const { return m_network ? static_cast<const Line &>(*m_network) : m_serial; }

signals:
    // The system reported an error on the open port (device gone, connection lost, write
    // failed); the port is closed.
    void failed();
    // The remote port is connected and took the line settings.
    void connected();
    // The remote port could not be reached, for this reason naming HOST:PORT; it is closed.
    void unreachable(const QString &reason);

private:
    void openRemote(const PortFacts &facts);
    void lineFailed(const NetworkLine &line);

    PortMap m_map;
    int m_commPort = kFirstPort;
    SerialLine m_serial;
    NetworkLine *m_network = nullptr; // a child, while the port chosen last is remote
    PortFacts m_openFacts;
};

} // namespace veldo
