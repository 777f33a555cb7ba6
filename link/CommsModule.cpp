#include "link/CommsModule.h"

#include "link/PortProbe.h"

#include <algorithm>

namespace veldo {

PortScan CommsModule::RefreshPortList(CommPort &comm)
{
    if (comm.portOpen()) {
        comm.setPortOpen(false);
        PreferredPort = static_cast<std::int16_t>(comm.commPort());
    }
    const PortScan ports = DiscoverPorts(comm.portMap());
    const auto usable = [](const PortFacts &port) { return port.usable(); };
    const auto first = std::find_if(ports.cbegin(), ports.cend(), usable);
    if (first == ports.cend())
        return ports; // opening a port found unusable could only disturb its holder
    const auto preferred = std::find_if(ports.cbegin(), ports.cend(), [this](const PortFacts &port) {
        return port.usable() && port.number == PreferredPort;
    });
    const PortFacts &chosen = preferred != ports.cend() ? *preferred : *first;
    comm.setCommPort(chosen.number);
    comm.justProbed(chosen); // the whole scan of the processes once, not twice
    ConfigureCommPort(comm);
    return ports;
}

bool CommsModule::SelectCommPort(CommPort &comm, int port)
{
    if (comm.portOpen())
        comm.setPortOpen(false);
    comm.setCommPort(static_cast<std::int16_t>(port));
    return ConfigureCommPort(comm);
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
