// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace veldo::test {

// ser2net in the foreground on a free loopback port, with a configuration of its own in a
// private folder, serving one device over telnet with RFC 2217 (and TLS when given a key).
// It opens the device at 115200 baud, 7 data bits, even parity, 2 stop bits and RTS/CTS, all
// unlike the box's line, so that a client's settings show on the device.
class Ser2net {
public:
    struct Tls {
        QString keyFile;
        QString certFile;
    };

    explicit Ser2net(QString device, std::optional<Tls> tls = std::nullopt) : m_device(std::move(device)), m_tls(std::move(tls)) {}
    ~Ser2net() { stop(); }
    Ser2net(const Ser2net &) = delete;
    Ser2net &operator=(const Ser2net &) = delete;

    // Where ser2net is installed (a normal user's PATH may lack /usr/sbin); empty when it is not.
    static QString program();

    // Starts it and waits until it accepts connections; false with problem() saying why.
    bool start();
    // Ends it at once, connections and all.
    void stop();
    quint16 port() const { return m_port; }
    QString problem() const { return m_problem; }

private:
    bool writeConfig();
    bool acceptsConnections() const;
    // Keeps why for problem(); false, for start() to return.
    bool failed(const QString &problem)
    {
        m_problem = problem;
        return false;
    }

    QString m_device;
    std::optional<Tls> m_tls;
    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_problem;
};

// A loopback TCP port that nothing listens on at the moment of asking.
quint16 freeLoopbackPort();

} // namespace veldo::test
