// Times the port discovery (RefreshPortList) over a ports folder of its own: with no port
// present, and with all sixteen numbers linked to pseudo-terminals.
//
// Usage: veldo-ports-bench [runs]
// Prints one line: "<median ms with no port> <median ms with sixteen ports>".
#include "PseudoTerminal.h"
#include "link/CommPort.h"
#include "link/CommsModule.h"
#include "link/PortMap.h"
#include "link/PortList.h"

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

// The list the discovery fills, without a window: only the values matter here.
class ValueList : public veldo::PortList {
public:
    void clear() override
    {
        m_values.clear();
        m_current = -1;
    }
    int count() const override { return int(m_values.size()); }
    void addItem(const QString &, int value, const QString &) override { m_values.push_back(value); }
    int value(int index) const override { return m_values.at(size_t(index)); }
    int currentIndex() const override { return m_current; }
    void setCurrentIndex(int index) override { m_current = index; }

private:
    std::vector<int> m_values;
    int m_current = -1;
};

struct Discovery {
    explicit Discovery(const QString &portsFolder) : comm(veldo::PortMap(portsFolder, {})) {}

    // Median of the runs, after one unmeasured run that warms the caches. Checks that
    // every run lists the expected number of ports, so the figure is of real work.
    double medianMs(int runs, int expectedPorts)
    {
        std::vector<double> times;
        for (int run = 0; run <= runs; ++run) {
            QString portName;
            QElapsedTimer timer;
            timer.start();
            module.RefreshPortList(list, comm, portName);
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            if (list.count() != expectedPorts) {
                std::fprintf(stderr, "veldo-ports-bench: listed %d ports, expected %d\n", list.count(), expectedPorts);
                return -1;
            }
            if (run > 0)
                times.push_back(ms);
        }
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        return times[times.size() / 2];
    }

    veldo::CommPort comm;
    veldo::CommsModule module;
    ValueList list;
};

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

    Discovery discovery(folder.path());
    const double none = discovery.medianMs(runs, 0);

    std::array<veldo::PseudoTerminal, veldo::kLastPort> terminals;
    for (int port = veldo::kFirstPort; port <= veldo::kLastPort; ++port) {
        const veldo::PseudoTerminal &terminal = terminals[port - veldo::kFirstPort];
        if (!terminal.isOpen() || !QFile::link(terminal.slavePath(), discovery.comm.portMap().overridePath(port))) {
            std::fprintf(stderr, "veldo-ports-bench: cannot set up port %d\n", port);
            return 1;
        }
    }
    const double sixteen = discovery.medianMs(runs, veldo::kLastPort);
    if (none < 0 || sixteen < 0)
        return 1;
    std::printf("%.3f %.3f\n", none, sixteen);
    return 0;
}
