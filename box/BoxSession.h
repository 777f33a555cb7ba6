// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"
#include "files/FileResult.h"
#include "link/CommPort.h"
#include "link/ExchangeRunner.h"
#include "link/PortAdvice.h"
#include "link/PortProbe.h"
#include "link/PortScanner.h"
#include "link/PortWatcher.h"
#include "link/TerminalText.h"
#include "link/TerminationSignals.h"

#include <QObject>

#include <memory>
#include <optional>

namespace veldo {

// The box behind one serial port, as the window and the command line both drive it: it
// chooses and opens a port from what a probe found, runs the exchanges, keeps what every
// download read, and says why no port is usable. The faces show and ask; this decides.
// Its header is all they include from the serial side: the escape of control characters
// and the signals that end a run come with it.
class BoxSession : public QObject {
    Q_OBJECT
public:
    using Pace = ExchangeRunner::Pace;
    using Kind = ExchangeRunner::Kind;

    // The ports of a map, numbered 1..16.
    BoxSession(PortMap map, Pace pace, QObject *parent = nullptr);
    // One device given by its path, standing alone as Com1 of a map without a ports folder;
    // files kept from it are named after the device. Without one, the standard map.
    BoxSession(const QString &device, Pace pace, QObject *parent = nullptr);
    ~BoxSession() override;

    const PortMap &portMap() const { return m_port.portMap(); }

    // Every number probed; nothing is opened. The open port is listed as it was found when opened.
    PortScan probe(OpenHolders openHolders = OpenHolders::Find) const;
    // One number probed, for open().
    PortFacts probe(int number) const;
    // Looks for programs that hold the ports open off this thread; portsFound follows.
    void findHolders(const PortScan &ports);
    // Opens the port that facts from a probe describe when they find it usable; returns the
    // facts as the opening found them. Ignored while a port is open.
    PortFacts open(const PortFacts &facts);
    // With a port open, it stays open, undisturbed: closing and opening again would drop and
    // raise DTR, and boards that reset on it would. With none, the port last chosen is opened
    // if usable, else the lowest usable one that opens. Refusals found by opening replace
    // what the probe said.
    PortScan openFirstUsable(PortScan ports);
    // Closes the open port and opens the given number after a fresh probe of it.
    bool select(int number);
    // Abandons a waiting exchange without an outcome and closes the port.
    void close();

    bool isOpen() const { return m_port.portOpen(); }
    int portNumber() const { return m_port.commPort(); }
    // The port as part of a file name: "Com3", or the device's own name such as "ttyUSB0".
    QString fileTag() const;

    // Why no port is open, from a scan or from a fresh probe.
    QString whyNoPort(const PortScan &ports, Detail detail) const;
    QString whyNoPort(Detail detail) const;
    // Why this port did not open, with the programs known to seize adapters.
    QString whyNotOpened(const PortFacts &facts) const;

    // Watches for ports that come and go: portsChanged, or portLost when the open port's device went.
    void watchPorts();

    // False, with nothing sent, when no port is open or an exchange is running.
    bool startDownload();
    bool startUpload(const SwitchConfig &config);
    bool exchangeRunning() const { return m_runner.isRunning(); }
    Kind exchangeKind() const { return m_runner.kind(); }
    qsizetype bytesSent() const { return m_runner.bytesSent(); }
    qsizetype bytesReceived() const { return m_runner.bytesReceived(); }

    // Whether each configuration read is kept in the downloads folder (the default).
    void setKeepDownloads(bool keep) { m_keepDownloads = keep; }

signals:
    // A tick of a waiting exchange, as the window shows it.
    void ticked();
    // The exchange ended; config holds the box's configuration after a download.
    void finished(veldo::ExchangeOutcome outcome, const std::optional<veldo::SwitchConfig> &config);
    // The holders are known, and with none open, a usable port opened.
    void portsFound(const veldo::PortScan &ports);
    void portsChanged();
    // The open port has closed by itself: its device has gone.
    void portLost();
    // A download went well but could not be kept in the folder; it comes before finished.
    void downloadNotKept(const QString &folder, const veldo::FileResult &result);

private:
    // The open port's facts in place of the probe's; the scan unchanged with none open.
    PortScan withOpenPort(PortScan ports) const;
    void portsMayHaveChanged();

    CommPort m_port;
    ExchangeRunner m_runner;
    PortScanner m_scanner;
    std::unique_ptr<PortWatcher> m_watcher;
    int m_preferredPort = 0;
    bool m_byDevice = false;
    bool m_keepDownloads = true;
};

} // namespace veldo
