// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ports/PortFacts.h"
#include "ports/PortMap.h"

namespace veldo {

// Probes every number of the map: what is behind it and whether it could be opened now.
// Nothing is opened: the file system, /proc/locks, lock files and /proc say it all.
PortScan DiscoverPorts(const PortMap &map, OpenHolders openHolders = OpenHolders::Find);

// The same probe for one path, such as a /dev/serial/by-id/ name; number is only carried along.
PortFacts probePort(int number, const QString &path);

// Marks the usable ports that some process holds open as in use, naming it.
void findOpenHolders(PortScan &ports);

} // namespace veldo
