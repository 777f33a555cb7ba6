// SPDX-License-Identifier: GPL-3.0-or-later
#include "box/BoxSession.h"

#include "files/KeptDownloads.h"
#include "link/ProcessTable.h"

#include <QDateTime>
#include <QFileInfo>

namespace veldo {

BoxSession::BoxSession(PortMap map, Pace pace, QObject *parent)
    : QObject(parent)
    , m_port(std::move(map))
    , m_runner(m_port, this, pace)
    , m_scanner(this)
{
    setObjectName(QStringLiteral("BoxSession"));
    connect(&m_runner, &ExchangeRunner::ticked, this, &BoxSession::ticked);
    connect(&m_runner, &ExchangeRunner::finished, this,
            [this](ExchangeOutcome outcome, const std::optional<SwitchConfig> &config) {
                if (config && m_keepDownloads) {
                    const QString folder = keptDownloadsFolder();
                    const FileResult kept = keepDownload(*config, fileTag(), QDateTime::currentDateTime(), folder);
                    if (!kept.ok())
                        emit downloadNotKept(folder, kept);
                }
                emit finished(outcome, config);
            });
    connect(&m_port, &CommPort::failed, this, &BoxSession::portLost);
    connect(&m_scanner, &PortScanner::finished, this,
            [this](const PortScan &ports) { emit portsFound(openFirstUsable(ports)); });
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
    m_scanner.start(ports);
}

PortFacts BoxSession::open(const PortFacts &facts)
{
    m_port.setSettings(kBoxLineSettings);
    const PortFacts found = m_port.open(facts);
    if (isOpen())
        m_preferredPort = found.number;
    return found;
}

PortScan BoxSession::withOpenPort(PortScan ports) const
{
    for (PortFacts &port : ports) {
        if (isOpen() && port.number == portNumber())
            port = m_port.openFacts();
    }
    return ports;
}

PortScan BoxSession::openFirstUsable(PortScan ports)
{
    if (isOpen())
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

bool BoxSession::select(int number)
{
    close();
    return open(probe(number)).usable() && isOpen();
}

void BoxSession::close()
{
    m_runner.abandon();
    m_port.setPortOpen(false);
}

QString BoxSession::fileTag() const
{
    if (!m_byDevice)
        return QStringLiteral("Com%1").arg(portNumber());
    // The device behind the links, as the system names it: /dev/pts/3 as "pts3".
    const QString path = portMap().devicePath(kFirstPort);
    const QString devices = QStringLiteral("/dev/");
    const QString device = QFileInfo(path).canonicalFilePath();
    return device.startsWith(devices) ? device.mid(devices.size()).remove(u'/') : QFileInfo(path).fileName();
}

QString BoxSession::whyNoPort(const PortScan &ports, Detail detail) const
{
    return noPortExplanation(ports, runningProcesses(), portMap().portsFolder(), detail);
}

QString BoxSession::whyNoPort(Detail detail) const
{
    return whyNoPort(probe(), detail);
}

QString BoxSession::whyNotOpened(const PortFacts &facts) const
{
    return (QStringList{facts.reason} << grabberHints(runningProcesses())).join(u'\n');
}

void BoxSession::watchPorts()
{
    if (m_watcher)
        return;
    m_watcher = std::make_unique<PortWatcher>(portMap().portsFolder());
    connect(m_watcher.get(), &PortWatcher::portsChanged, this, &BoxSession::portsMayHaveChanged);
}

void BoxSession::portsMayHaveChanged()
{
    if (isOpen() && !QFileInfo::exists(m_port.openFacts().device)) {
        close();
        emit portLost();
        return;
    }
    emit portsChanged();
}

bool BoxSession::startDownload()
{
    return m_runner.startDownload();
}

bool BoxSession::startUpload(const SwitchConfig &config)
{
    return m_runner.startUpload(config);
}

} // namespace veldo
