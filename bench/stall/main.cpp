// SPDX-License-Identifier: GPL-3.0-or-later
// Measures how long the window's thread stands still while a port is chosen in its list: the
// longest gap between the ticks of a 1 ms timer on that thread, from the choice until the port
// is open, beside the longest gap over as long a time with nothing asked of the window. Also
// times the fresh probe behind the next choice when made in line, as the window once made it.
//
// Usage: veldo-stall-bench [runs]
// Prints one line: "<median ms, longest stall while choosing> <median ms, longest stall idle> <median ms, the probe in line>".
#include "PseudoTerminal.h"
#include "app/frmVeldo.h"
#include "box/BoxSession.h"
#include "ports/PortMap.h"
#include "ports/PortProbe.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kDefaultRuns = 21;
constexpr qint64 kGiveUpNs = 5'000'000'000;

struct Stall {
    double longestGapMs = 0;
    qint64 elapsedNs = 0;
    bool done = false;
};

// Ticks every millisecond on this thread until done() holds or untilNs has passed, and once
// more, so that a stall in the tick that found it done counts too; the first tick calls start().
Stall measureStall(const std::function<void()> &start, const std::function<bool()> &done, qint64 untilNs)
{
    Stall stall;
    QElapsedTimer clock;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    qint64 last = 0;
    bool started = false;
    bool ending = false;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        stall.longestGapMs = std::max(stall.longestGapMs, double(now - last) / 1e6);
        last = now;
        if (ending)
            return loop.quit();
        if (!std::exchange(started, true))
            start();
        stall.done = done();
        if (stall.done || now >= untilNs) {
            stall.elapsedNs = clock.nsecsElapsed();
            ending = true;
        }
    });
    clock.start();
    tick.start();
    loop.exec();
    return stall;
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : kDefaultRuns;
    QTemporaryDir folder;
    if (runs < 1 || !folder.isValid()) {
        std::fprintf(stderr, "usage: veldo-stall-bench [runs]\n");
        return 1;
    }
    const veldo::PortMap map(folder.path(), {});
    std::array<veldo::PseudoTerminal, 2> terminals;
    for (int port = 1; port <= 2; ++port) {
        if (!terminals[port - 1].isOpen() || !QFile::link(terminals[port - 1].slavePath(), map.overridePath(port))) {
            std::fprintf(stderr, "veldo-stall-bench: cannot set up port %d\n", port);
            return 1;
        }
    }

    veldo::frmVeldo window(map);
    window.show();
    const auto *box = window.findChild<veldo::BoxSession *>(QStringLiteral("BoxSession"));
    auto *list = window.findChild<QComboBox *>(QStringLiteral("ComboCommPort"));
    const auto isOpen = [box](int port) { return box->isOpen() && box->portNumber() == port; };
    if (!measureStall([] {}, [&] { return isOpen(1); }, kGiveUpNs).done || list->count() != 2) {
        std::fprintf(stderr, "veldo-stall-bench: Com1 was not opened at start\n");
        return 1;
    }

    std::vector<double> choosing, idle, inLine;
    for (int run = 0; run <= runs; ++run) {
        const int port = run % 2 == 0 ? 2 : 1;
        // The list as a person leaves it after picking a port.
        const auto choose = [list, port] {
            const int index = list->findData(port);
            list->setCurrentIndex(index);
            emit list->activated(index);
        };
        const Stall chosen = measureStall(
            choose, [&] { return isOpen(port); }, kGiveUpNs);
        if (!chosen.done) {
            std::fprintf(stderr, "veldo-stall-bench: Com%d was not opened\n", port);
            return 1;
        }
        const Stall quiet = measureStall([] {}, [] { return false; }, chosen.elapsedNs);
        QElapsedTimer probe;
        probe.start();
        const int next = 3 - port;
        const veldo::PortFacts facts = veldo::probePort(next, map.devicePath(next));
        const double probeMs = double(probe.nsecsElapsed()) / 1e6;
        if (!facts.usable()) {
            std::fprintf(stderr, "veldo-stall-bench: Com%d, the next to be chosen, is not usable\n", next);
            return 1;
        }
        // The first run warms the caches.
        if (run > 0) {
            choosing.push_back(chosen.longestGapMs);
            idle.push_back(quiet.longestGapMs);
            inLine.push_back(probeMs);
        }
    }
    std::printf("%.1f %.1f %.1f\n", median(choosing), median(idle), median(inLine));
    return 0;
}
