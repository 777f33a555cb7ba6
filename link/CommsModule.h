#pragma once

#include "link/CommPort.h"
#include "link/PortFacts.h"

#include <cstdint>

namespace veldo {

// Finds the usable serial ports and opens the chosen one with the box's line settings.
// Holds the port to select again after a refresh, for the whole run.
class CommsModule {
public:
    // Probes every number. An open port stays open, undisturbed, and is listed as usable;
    // with none open, the port last used is opened if it is usable, else the lowest usable
    // one that opens. Refusals found by opening replace what the probe said.
    PortScan RefreshPortList(CommPort &comm);
    // The same over a probe already made.
    PortScan UsePorts(CommPort &comm, PortScan ports);
    // Closes the port and opens the given one, which the last refresh found usable.
    bool SelectCommPort(CommPort &comm, int port);
    // Opens the port with the box's settings; true when it is open with them.
    bool ConfigureCommPort(CommPort &comm);

private:
    std::int16_t PreferredPort = 0;
};

} // namespace veldo
