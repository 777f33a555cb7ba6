#include "link/CommsModule.h"

#include "link/PortProbe.h"

#include <algorithm>

namespace veldo {

PortScan CommsModule::RefreshPortList(CommPort &comm)
{
    return UsePorts(comm, DiscoverPorts(comm.portMap()));
}

PortScan CommsModule::UsePorts(CommPort &comm, PortScan ports)
{
    if (comm.portOpen()) {
        // Closing and opening again would drop and raise DTR: boards that reset on it would.
        for (PortFacts &port : ports) {
            if (port.number == comm.commPort())
                port = comm.openFacts();
        }
        return ports;
    }
    QList<PortFacts *> candidates;
    for (PortFacts &port : ports) {
        if (port.usable())
            candidates.insert(port.number == PreferredPort ? 0 : candidates.size(), &port);
    }
    comm.setSettings(kBoxLineSettings);
    for (PortFacts *port : candidates) {
        *port = comm.open(*port);
        if (comm.portOpen()) {
            PreferredPort = static_cast<std::int16_t>(port->number);
            break;
        }
    }
    return ports;
}

bool CommsModule::SelectCommPort(CommPort &comm, int port)
{
    if (comm.portOpen())
        comm.setPortOpen(false);
    comm.setCommPort(static_cast<std::int16_t>(port));
    if (!ConfigureCommPort(comm))
        return false;
    PreferredPort = static_cast<std::int16_t>(port);
    return true;
}

bool CommsModule::ConfigureCommPort(CommPort &comm)
{
    if (comm.settings() == kBoxLineSettings && comm.portOpen())
        return true;
    if (comm.portOpen())
        comm.setPortOpen(false);
    return comm.setSettings(kBoxLineSettings) && comm.setPortOpen(true);
}

} // namespace veldo
