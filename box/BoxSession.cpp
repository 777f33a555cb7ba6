// SPDX-License-Identifier: GPL-3.0-or-later
#include "box/BoxSession.h"

#include "files/KeptDownloads.h"
#include "lines/RemotePortAddress.h"
#include "ports/CommPort.h"
#include "ports/PortAdvice.h"
#include "ports/PortProbe.h"
#include "ports/PortScanner.h"
#include "ports/PortWatcher.h"
#include "protocol/ExchangeRunner.h"
#include "system/BackgroundJob.h"
#include "system/ProcessTable.h"

#include <QDateTime>
#include <QFileInfo>

namespace veldo {

struct BoxSession::Parts {
    Parts(const PortMap &map, Pace pace, BoxSession *session)
        : port(map)
        , runner(port.line(), session, pace)
        , scanner(session)
    {
    }

    CommPort port;
    ExchangeRunner runner;
    PortScanner scanner;
    std::unique_ptr<PortWatcher> watcher;
    // Last, so that they end first: their work reads the port map.
    BackgroundJob choice;
    BackgroundJob explanation;
};

BoxSession::BoxSession(const PortMap &map, Pace pace, QObject *parent)
    : QObject(parent)
    , m(std::make_unique<Parts>(map, pace, this))
{
    setObjectName(QStringLiteral("BoxSession"));
    connect(&m->runner, &ExchangeRunner::ticked, this, &BoxSession::ticked);
    connect(&m->runner, &ExchangeRunner::finished, this,
            [this](ExchangeOutcome outcome, const std::optional<SwitchConfig> &config) {
                if (config && m_keepDownloads) {
                    const QString folder = keptDownloadsFolder();
                    const FileResult kept = keepDownload(*config, fileTag(), QDateTime::currentDateTime(), folder);
                    if (!kept.ok())
                        emit downloadNotKept(folder, kept);
                }
                emit finished(outcome, config);
            });
    connect(&m->port, &CommPort::failed, this, &BoxSession::portLost);
    connect(&m->port, &CommPort::connected, this, &BoxSession::connected);
    connect(&m->port, &CommPort::unreachable, this, &BoxSession::unreachable);
    connect(&m->scanner, &PortScanner::finished, this,
            [this](const PortScan &ports) { emit holdersFound(withOpenPort(ports)); });
}

BoxSession::BoxSession(const QString &device, Pace pace, QObject *parent)
    : BoxSession(device.isEmpty() ? PortMap::standard() : PortMap(QString(), {device}), pace, parent)
{
    m_byDevice = !device.isEmpty();
}

BoxSession::~BoxSession()
{
    close();
}

const PortMap &BoxSession::portMap() const
{
    return m->port.portMap();
}

bool BoxSession::isOpen() const
{
    return m->port.portOpen();
}

int BoxSession::portNumber() const
{
    return m->port.commPort();
}

bool BoxSession::isConnecting() const
{
    return m->port.connecting();
}

bool BoxSession::exchangeRunning() const
{
    return m->runner.isRunning() || m_waitingStart;
}

BoxSession::Kind BoxSession::exchangeKind() const
{
    return m_waitingStart ? m_waitingKind : m->runner.kind();
}

qsizetype BoxSession::bytesSent() const
{
    return m->runner.bytesSent();
}

qsizetype BoxSession::bytesReceived() const
{
    return m->runner.bytesReceived();
}

PortScan BoxSession::probe(OpenHolders openHolders) const
{
    return withOpenPort(DiscoverPorts(portMap(), openHolders));
}

PortFacts BoxSession::probe(int number) const
{
    return probePort(number, portMap().devicePath(number));
}

void BoxSession::findHolders(const PortScan &ports)
{
    m->scanner.start(ports);
}

PortFacts BoxSession::open(const PortFacts &facts)
{
    m_unreachable.clear();
    PortFacts found = m->port.open(facts);
    m->runner.setLine(m->port.line());
    if (isOpen())
        m_preferredPort = found.number;
    else if (!m_unreachable.isEmpty())
        found.refuse(PortState::Error, m_unreachable); // refused at once, before any connect
    return found;
}

PortScan BoxSession::withOpenPort(PortScan ports) const
{
    for (PortFacts &port : ports) {
        if (isOpen() && port.number == portNumber())
            port = m->port.openFacts();
    }
    return ports;
}

PortScan BoxSession::openFirstUsable(PortScan ports)
{
    if (isOpen() || m->choice.pending())
        return withOpenPort(ports);
    QList<PortFacts *> candidates;
    for (PortFacts &port : ports) {
        if (port.usable())
            candidates.insert(port.number == m_preferredPort ? 0 : candidates.size(), &port);
    }
    for (PortFacts *port : candidates) {
        *port = open(*port);
        if (isOpen())
            break;
    }
    return ports;
}

void BoxSession::choose(int number)
{
    close();
    const auto facts = std::make_shared<PortFacts>();
    m->choice.start([this, number, facts] { *facts = probe(number); }, [this, facts] { emit chosen(open(*facts)); });
}

void BoxSession::close()
{
    m_waitingStart = nullptr;
    m->choice.cancel();
    m->runner.abandon();
    m->port.setPortOpen(false);
}

QString BoxSession::fileTag() const
{
    if (!m_byDevice)
        return QStringLiteral("Com%1").arg(portNumber());
    const QString path = portMap().devicePath(kFirstPort);
    if (const RemotePortAddressParse remote = parseRemotePortAddress(path); remote.address) {
        // Host names hold letters, digits, dots and dashes: the colons and brackets go.
        return remote.address->display().remove(u'[').remove(u']').replace(u':', u'_');
    }
    // The device behind the links, as the system names it: /dev/pts/3 as "pts3".
    const QString devices = QStringLiteral("/dev/");
    const QString device = QFileInfo(path).canonicalFilePath();
    return device.startsWith(devices) ? device.mid(devices.size()).remove(u'/') : QFileInfo(path).fileName();
}

QString BoxSession::whyNoPort(const PortScan &ports, Detail detail) const
{
    return noPortExplanation(ports, runningProcesses(), portMap().portsFolder(), detail);
}

void BoxSession::explainNoPort(Detail detail)
{
    const auto why = std::make_shared<QString>();
    // No port is open while it runs, or its words are dropped: the probe needs no open port's facts.
    m->explanation.start([this, detail, why] { *why = whyNoPort(DiscoverPorts(portMap()), detail); },
                         [this, why] {
                             if (!isOpen())
                                 emit noPortExplained(m_unreachable.isEmpty() ? *why : m_unreachable + QStringLiteral("\n\n") + *why);
                         });
}

QString BoxSession::whyNotOpened(const PortFacts &facts) const
{
    // Programs that seize local adapters have nothing to do with a port on another machine.
    if (facts.isRemote())
        return facts.reason;
    return (QStringList{facts.reason} << grabberHints(runningProcesses())).join(u'\n');
}

void BoxSession::watchPorts()
{
    if (m->watcher)
        return;
    m->watcher = std::make_unique<PortWatcher>(portMap().portsFolder());
    connect(m->watcher.get(), &PortWatcher::portsChanged, this, &BoxSession::portsMayHaveChanged);
}

void BoxSession::portsMayHaveChanged()
{
    if (isOpen() && !m->port.openFacts().isRemote() && !QFileInfo::exists(m->port.openFacts().device)) {
        close();
        emit portLost();
        return;
    }
    emit portsChanged();
}

bool BoxSession::startDownload()
{
    return startWhenOpen(Kind::Download, [this] { return m->runner.startDownload(); });
}

bool BoxSession::startUpload(const SwitchConfig &config)
{
    return startWhenOpen(Kind::Upload, [this, config] { return m->runner.startUpload(config); });
}

// Nothing goes on the wire before the connection stands and the line settings are taken.
bool BoxSession::startWhenOpen(Kind kind, std::function<bool()> start)
{
    if (!isConnecting())
        return start();
    if (m_waitingStart)
        return false;
    m_waitingStart = std::move(start);
    m_waitingKind = kind;
    return true;
}

void BoxSession::connected()
{
    if (const std::function<bool()> start = std::exchange(m_waitingStart, nullptr))
        start();
    emit portConnected();
}

void BoxSession::unreachable(const QString &reason)
{
    m_waitingStart = nullptr;
    m_unreachable = reason;
    emit portUnreachable(reason);
}

} // namespace veldo
