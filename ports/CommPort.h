// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lines/SerialLine.h"
#include "ports/PortFacts.h"
#include "ports/PortMap.h"

#include <QObject>

namespace veldo {

// A numbered port of the map: the device it leads to claimed, checked and opened as the
// serial line, one at a time. Nothing here waits for the line.
class CommPort : public QObject {
    Q_OBJECT
public:
    explicit CommPort(PortMap map, QObject *parent = nullptr);

    int commPort() const { return m_commPort; }
    bool portOpen() const { return m_line.isOpen(); }
    // Opens the port that facts from a probe describe, taking its number, when they find it
    // usable; nothing else is ever opened. Returns the facts as the opening found them:
    // usable when the port is open, else why it is not. Ignored while a port is open.
    PortFacts open(const PortFacts &facts);
    // Opens (after a probe of the number) or closes the port; returns portOpen() afterwards.
    bool setPortOpen(bool open);
    // The facts of the open port; meaningless while it is closed.
    const PortFacts &openFacts() const { return m_openFacts; }
    const PortMap &portMap() const { return m_map; }
    // What the exchanges talk through; closed while no port is open.
    Line &line() { return m_line; }

signals:
    // The system reported an error on the open port (device gone, write failed); the port is closed.
    void failed();

private:
    PortMap m_map;
    int m_commPort = kFirstPort;
    SerialLine m_line;
    PortFacts m_openFacts;
};

} // namespace veldo
