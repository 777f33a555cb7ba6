// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "box/ExchangeReport.h"
#include "box/PortReport.h"
#include "config/SwitchConfig.h"
#include "files/FileResult.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace veldo {

class PortMap;

// The box behind one serial port, as the window and the command line both drive it: it
// chooses and opens a port from what a probe found, runs the exchanges, keeps what every
// download read, and says why no port is usable. The faces show and ask; this decides.
// Its header is all they include from the box's side, and it shows them values only.
class BoxSession : public QObject {
    Q_OBJECT
public:
    using Pace = ExchangePace;
    using Kind = ExchangeKind;

    // The ports of a map, numbered 1..16.
    BoxSession(const PortMap &map, Pace pace, QObject *parent = nullptr);
    // One device given by its path, standing alone as Com1 of a map without a ports folder;
    // files kept from it are named after the device. Without one, the standard map.
    BoxSession(const QString &device, Pace pace, QObject *parent = nullptr);
    ~BoxSession() override;

    // Every number probed; nothing is opened. The open port is listed as it was found when opened.
    PortScan probe(OpenHolders openHolders = OpenHolders::Find) const;
    // One number probed, for open().
    PortFacts probe(int number) const;
    // Looks for programs that hold the ports open, off this thread; holdersFound follows.
    // Only looks: opening is openFirstUsable's.
    void findHolders(const PortScan &ports);
    // Opens the port that facts from a probe describe when they find it usable; returns the
    // facts as the opening found them. Ignored while a port is open.
    PortFacts open(const PortFacts &facts);
    // With a port open, it stays open, undisturbed: closing and opening again would drop and
    // raise DTR, and boards that reset on it would. With none, the port last chosen is opened
    // if usable, else the lowest usable one that opens. Refusals found by opening replace
    // what the probe said.
    PortScan openFirstUsable(PortScan ports);
    // Closes the open port and opens the given number after a fresh probe of it, made off
    // this thread; chosen follows once it is opened or refused. A later choice or close()
    // drops one still waiting, and no other port is opened meanwhile.
    void choose(int number);
    // Abandons a waiting exchange without an outcome and closes the port.
    void close();

    // Open, or a remote port still connecting.
    bool isOpen() const;
    // A remote port is being connected: connected or unreachable follows.
    bool isConnecting() const;
    int portNumber() const;
    // The port as part of a file name: "Com3", or the device's own name such as "ttyUSB0",
    // or for a remote port given by its URL its host and port, such as "lab-pi_3001".
    QString fileTag() const;

    // Why no port is open, from a scan.
    QString whyNoPort(const PortScan &ports, Detail detail) const;
    // The same from a fresh probe, made off this thread, first saying why the remote port chosen
    // last could not be reached; noPortExplained follows unless a
    // port has opened meanwhile. A later request drops one still waiting.
    void explainNoPort(Detail detail);
    // Why this port did not open, with the programs known to seize adapters.
    QString whyNotOpened(const PortFacts &facts) const;

    // Watches for ports that come and go: portsChanged, or portLost when the open port's device went.
    void watchPorts();

    // False, with nothing sent, when no port is open or an exchange is running. While a remote
    // port connects, the exchange waits and starts once it is connected, or is dropped.
    bool startDownload();
    bool startUpload(const SwitchConfig &config);
    bool exchangeRunning() const;
    Kind exchangeKind() const;
    qsizetype bytesSent() const;
    qsizetype bytesReceived() const;

    // Whether each configuration read is kept in the downloads folder (the default).
    void setKeepDownloads(bool keep) { m_keepDownloads = keep; }

signals:
    // A tick of a waiting exchange, as the window shows it.
    void ticked();
    // The exchange ended; config holds the box's configuration after a download.
    void finished(veldo::ExchangeOutcome outcome, const std::optional<veldo::SwitchConfig> &config);
    // The holders are known: the scan given to findHolders with them marked, and the open
    // port as it was found when opened.
    void holdersFound(const veldo::PortScan &ports);
    // A port chosen: the facts as the opening found them, usable when it is open.
    void chosen(const veldo::PortFacts &facts);
    void noPortExplained(const QString &why);
    void portsChanged();
    // The open port has closed by itself: its device has gone, or its connection was lost.
    void portLost();
    // The remote port is connected; a waiting exchange has started.
    void portConnected();
    // The remote port could not be reached, for this reason naming HOST:PORT; it is closed and
    // a waiting exchange dropped without an outcome.
    void portUnreachable(const QString &reason);
    // A download went well but could not be kept in the folder; it comes before finished.
    void downloadNotKept(const QString &folder, const veldo::FileResult &result);

private:
    // The open port's facts in place of the probe's; the scan unchanged with none open.
    PortScan withOpenPort(PortScan ports) const;
    void portsMayHaveChanged();
    const PortMap &portMap() const;
    bool startWhenOpen(Kind kind, std::function<bool()> start);
    void connected();
    void unreachable(const QString &reason);

    // The port, the exchanges over its line, the holder scan and the watcher.
    struct Parts;
    std::unique_ptr<Parts> m;
    std::function<bool()> m_waitingStart; // the exchange asked for while a remote port connects
    Kind m_waitingKind = Kind::Download;
    QString m_unreachable; // why the remote port chosen last could not be reached
    int m_preferredPort = 0;
    bool m_byDevice = false;
    bool m_keepDownloads = true;
};

} // namespace veldo
