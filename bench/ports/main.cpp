// SPDX-License-Identifier: GPL-3.0-or-later
// Times the port discovery (DiscoverPorts) over a ports folder of its own: with no port
// present, and with all sixteen numbers linked to pseudo-terminals, both with the scan of
// every process's descriptors and without it (the window's list refresh, which leaves that
// scan to another thread).
//
// Usage: veldo-ports-bench [runs]
// Prints one line: "<median ms, no port> <median ms, sixteen ports> <median ms, sixteen ports, list refresh>".
#include "PseudoTerminal.h"
#include "ports/PortMap.h"
#include "ports/PortProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDefaultRuns = 51;

// Median of the runs, after one unmeasured run that warms the caches. Checks that every run
// finds the expected number of usable ports, so the figure is of real work.
double medianMs(const veldo::PortMap &map, int runs, qsizetype expectedPorts,
                veldo::OpenHolders openHolders = veldo::OpenHolders::Find)
{
    std::vector<double> times;
    for (int run = 0; run <= runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const veldo::PortScan ports = veldo::DiscoverPorts(map, openHolders);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const auto usable = std::count_if(ports.cbegin(), ports.cend(), [](const veldo::PortFacts &port) { return port.usable(); });
        if (usable != expectedPorts) {
            std::fprintf(stderr, "veldo-ports-bench: found %d usable ports, expected %d\n", int(usable), int(expectedPorts));
            return -1;
        }
        if (run > 0)
            times.push_back(ms);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : kDefaultRuns;
    QTemporaryDir folder;
    if (runs < 1 || !folder.isValid()) {
        std::fprintf(stderr, "usage: veldo-ports-bench [runs]\n");
        return 1;
    }

    const veldo::PortMap map(folder.path(), {});
    const double none = medianMs(map, runs, 0);

    std::array<veldo::PseudoTerminal, veldo::kLastPort> terminals;
    for (int port = veldo::kFirstPort; port <= veldo::kLastPort; ++port) {
        const veldo::PseudoTerminal &terminal = terminals[port - veldo::kFirstPort];
        if (!terminal.isOpen() || !QFile::link(terminal.slavePath(), map.overridePath(port))) {
            std::fprintf(stderr, "veldo-ports-bench: cannot set up port %d\n", port);
            return 1;
        }
    }
    const double sixteen = medianMs(map, runs, veldo::kLastPort);
    const double refresh = medianMs(map, runs, veldo::kLastPort, veldo::OpenHolders::Skip);
    if (none < 0 || sixteen < 0 || refresh < 0)
        return 1;
    std::printf("%.3f %.3f %.3f\n", none, sixteen, refresh);
    return 0;
}
