// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/LineSettings.h"
#include "link/PortFacts.h"
#include "link/PortMap.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QSerialPort;

namespace veldo {

// The serial port as the window uses it: a numbered port, line settings, open or closed, a discard of pending input, an immediate write and a
// non-blocking read of everything received. Nothing here waits for the line.
class CommPort : public QObject {
    Q_OBJECT
public:
    explicit CommPort(PortMap map, QObject *parent = nullptr);
    ~CommPort() override;

    int commPort() const { return m_commPort; }
    void setCommPort(int port); // ignored while the port is open or outside 1..16

    const LineSettings &settings() const { return m_settings; }
    bool setSettings(const LineSettings &settings); // false (unchanged) while open

    bool portOpen() const;
    // Opens the port that facts from a probe describe, taking its number, when they find it
    // usable; nothing else is ever opened. Returns the facts as the opening found them:
    // usable when the port is open, else why it is not. Ignored while a port is open.
    PortFacts open(const PortFacts &facts);
    // Opens (after a probe of the number) or closes the port; returns portOpen() afterwards.
    bool setPortOpen(bool open);
    // The facts of the open port; meaningless while it is closed.
    const PortFacts &openFacts() const { return m_openFacts; }

    void discardInput();                  // InBufferCount = 0
    bool output(const QByteArray &bytes); // queued at once; false when closed or the write fails
    QByteArray input();                   // all bytes received so far, possibly none
    const PortMap &portMap() const { return m_map; }

signals:
    // New bytes wait to be read.
    void received();
    // The system reported an error on the open port (device gone, write failed); the port is closed.
    void failed();

private:
    // Releases the claim of a port that did not open; the facts say why.
    PortFacts refuseOpen(PortFacts facts, PortState state, const QString &reason);

    PortMap m_map;
    int m_commPort = kFirstPort;
    LineSettings m_settings = kBoxLineSettings;
    QSerialPort *m_port = nullptr;
    int m_lockFd = -1;
    PortFacts m_openFacts;
};

} // namespace veldo
