#pragma once

#include "link/CommPort.h"
#include "link/PortFacts.h"

#include <cstdint>

namespace veldo {

// Finds the usable serial ports and opens the chosen one with the box's line settings.
// Holds the port to select again after a refresh, for the whole run.
class CommsModule {
public:
    // Closes the port, probes every number and opens the port that was in use if it is
    // still usable, else the lowest usable one; with none usable, nothing is opened.
    PortScan RefreshPortList(CommPort &comm);
    // Closes the port and opens the given one, which the last refresh found usable.
    bool SelectCommPort(CommPort &comm, int port);
    // Opens the port with the box's settings; true when it is open with them.
    bool ConfigureCommPort(CommPort &comm);

private:
    std::int16_t PreferredPort = 0;
};

} // namespace veldo
