// The port list and the ports that come and go: the window's side of discovery. The core
// probes and opens; these handlers show what it found.
#include "app/frmVeldo.h"

#include "app/MessageBox.h"
#include "app/PortCombo.h"
#include "link/PortProbe.h"

#include <QFileInfo>
#include <QLabel>

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
    const PortScan found = DiscoverPorts(MSComm.portMap(), OpenHolders::Skip);
    showPorts(MSComm.portOpen() ? Comms.UsePorts(MSComm, found) : found);
    Scanner.start(found);
}

void frmVeldo::ComboCommPort_Click()
{
    Comms.SelectCommPort(MSComm, ComboCommPort->selectedPort());
}

void frmVeldo::showPorts(const PortScan &ports)
{
    const bool noneUsable = std::none_of(ports.cbegin(), ports.cend(), [](const PortFacts &port) { return port.usable(); });
    ComboCommPort->showPorts(ports, MSComm.commPort(), noneUsable ? whyNoPort(ports, Detail::Full) : QString());
    // A port open again ends the note that the last one was lost.
    if (MSComm.portOpen() && !Exchange->isRunning()) {
        LblMsg->hide();
        LblCopyRight->show();
    }
}

QString frmVeldo::whyNoPort(const PortScan &ports, Detail detail) const
{
    return noPortExplanation(ports, runningProcesses(), MSComm.portMap().portsFolder(), detail);
}

// A click with no port open would otherwise do nothing at all; a fresh probe says why.
void frmVeldo::reportNoPort()
{
    MessageBox::show(this, whyNoPort(DiscoverPorts(MSComm.portMap()), Detail::Brief));
}

void frmVeldo::watchPorts()
{
    connect(&PortWatch, &PortWatcher::portsChanged, this, &frmVeldo::Ports_Changed);
    connect(&MSComm, &CommPort::failed, this, &frmVeldo::portLost);
    connect(&Scanner, &PortScanner::finished, this, [this](const PortScan &ports) { showPorts(Comms.UsePorts(MSComm, ports)); });
}

void frmVeldo::Ports_Changed()
{
    if (MSComm.portOpen() && !QFileInfo::exists(MSComm.openFacts().device)) {
        MSComm.setPortOpen(false);
        return portLost();
    }
    refreshPorts();
}

// Said on the status line, not in a box: the user may be away, and nothing waits for an
// answer. No other port is opened in its place until ports change again.
void frmVeldo::portLost()
{
    LblCopyRight->hide();
    LblMsg->setText(QStringLiteral("Com%1 is closed: its device has gone").arg(MSComm.commPort()));
    LblMsg->show();
    showPorts(DiscoverPorts(MSComm.portMap(), OpenHolders::Skip));
}

} // namespace veldo
