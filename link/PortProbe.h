// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/PortFacts.h"
#include "link/PortMap.h"

namespace veldo {

// Whether a probe also looks through every process's open descriptors for holders of the
// ports it finds free otherwise. That look grows with the machine (thousands of processes
// take a good part of a second), so the window makes it apart, off its thread.
enum class OpenHolders { Find,
                         Skip };

// Probes every number of the map: what is behind it and whether it could be opened now.
// Nothing is opened: the file system, /proc/locks, lock files and /proc say it all.
PortScan DiscoverPorts(const PortMap &map, OpenHolders openHolders = OpenHolders::Find);

// The same probe for one path, such as a /dev/serial/by-id/ name; number is only carried along.
PortFacts probePort(int number, const QString &path);

// Marks the usable ports that some process holds open as in use, naming it.
void findOpenHolders(PortScan &ports);

} // namespace veldo
