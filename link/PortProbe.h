#pragma once

#include "link/PortFacts.h"
#include "link/PortMap.h"

namespace veldo {

// Probes every number of the map: what is behind it and whether it could be opened now.
// Nothing is opened for use: no lock file is written and nothing is set on the line.
PortScan DiscoverPorts(const PortMap &map);

// The same probe for one path, such as a /dev/serial/by-id/ name; number is only carried along.
PortFacts probePort(int number, const QString &path);

} // namespace veldo
