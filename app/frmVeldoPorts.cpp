// SPDX-License-Identifier: GPL-3.0-or-later
// The port list and the ports that come and go: the window's side of discovery. The box
// session probes and opens; these handlers show what it found.
#include "app/frmVeldo.h"

#include "app/MessageBox.h"
#include "app/PortCombo.h"
#include "app/StatusLine.h"

#include <QPushButton>

#include <algorithm>

namespace veldo {

void frmVeldo::Form_Load()
{
    refreshPorts();
}

void frmVeldo::ComboCommPort_DropDown()
{
    refreshPorts();
}

void frmVeldo::refreshPorts()
{
    const PortScan found = m_box->probe(OpenHolders::Skip);
    showPorts(found);
    m_box->findHolders(found);
}

void frmVeldo::ComboCommPort_Click()
{
    m_status->endNote(StatusLine::Note::RemotePort);
    m_box->choose(m_comboCommPort->selectedPort());
}

void frmVeldo::showPorts(const PortScan &ports)
{
    const bool noneUsable = std::none_of(ports.cbegin(), ports.cend(), [](const PortFacts &port) { return port.usable(); });
    m_comboCommPort->showPorts(ports, m_box->portNumber(), noneUsable ? m_box->whyNoPort(ports, Detail::Full) : QString());
    // A port open again ends the note that the last one was lost.
    if (m_box->isOpen() && !m_box->exchangeRunning())
        m_status->endNote(StatusLine::Note::PortLost);
    for (const PortFacts &port : ports)
        showConnecting(port);
}

// A remote port connects off this thread, for up to seconds: the status line says so until it
// is connected or found unreachable.
void frmVeldo::showConnecting(const PortFacts &port)
{
    if (m_box->isConnecting() && port.number == m_box->portNumber())
        m_status->showNote(StatusLine::Note::RemotePort, tr("Connecting to %1…").arg(port.remote));
}

// Said on the status line until the next choice or exchange. A click that waited for the
// connection gets its answer as any click without a port does, the reason first.
void frmVeldo::remotePortUnreachable(const QString &reason)
{
    m_status->showNote(StatusLine::Note::RemotePort, reason);
    if (m_download->isEnabled()) // disabled only while an exchange runs or waits
        return;
    setExchangeButtonsEnabled(true);
    reportNoPort();
}

// A click with no port open would otherwise do nothing at all; a fresh probe says why, in a
// box once it has looked through every process (noPortExplained).
void frmVeldo::reportNoPort()
{
    m_box->explainNoPort(Detail::Brief);
}

void frmVeldo::watchPorts()
{
    m_box->watchPorts();
    connect(m_box, &BoxSession::portsChanged, this, &frmVeldo::refreshPorts);
    connect(m_box, &BoxSession::portLost, this, &frmVeldo::portLost);
    connect(m_box, &BoxSession::chosen, this, &frmVeldo::showConnecting);
    connect(m_box, &BoxSession::portConnected, this, [this] { m_status->endNote(StatusLine::Note::RemotePort); });
    connect(m_box, &BoxSession::portUnreachable, this, &frmVeldo::remotePortUnreachable);
    connect(m_box, &BoxSession::noPortExplained, this, [this](const QString &why) { MessageBox::show(this, why); });
    // With the holders known, a usable port is opened when none is.
    connect(m_box, &BoxSession::holdersFound, this, [this](const PortScan &ports) { showPorts(m_box->openFirstUsable(ports)); });
}

// Said on the status line, not in a box: the user may be away, and nothing waits for an
// answer. No other port is opened in its place until ports change again.
void frmVeldo::portLost()
{
    const PortScan ports = m_box->probe(OpenHolders::Skip);
    const int number = m_box->portNumber();
    const auto lost = std::find_if(ports.cbegin(), ports.cend(), [number](const PortFacts &port) { return port.number == number; });
    m_status->showNote(StatusLine::Note::PortLost, lost != ports.cend() && lost->isRemote()
                                                       ? tr("Com%1 is closed: its connection to %2 was lost").arg(number).arg(lost->remote)
                                                       : tr("Com%1 is closed: its device has gone").arg(number));
    showPorts(ports);
}

} // namespace veldo
