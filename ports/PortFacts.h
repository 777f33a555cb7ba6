// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace veldo {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 16;

// What a probe found behind one port number.
enum class PortState { Usable,
                       Missing,
                       NoPermission,
                       InUse,
                       NotSerial,
                       Error };

// "usable", "missing", "no-permission", "in-use", "not-serial", "error": stable words for scripts.
QString portStateKey(PortState state);

struct UsbAdapter {
    QString description;
    QString manufacturer;
    QString serialNumber;
};

struct PortFacts {
    int number = 0;
    QString path{};   // the name the port map gives: its override link or its standard device
    QString device{}; // where path leads, links resolved; empty when it leads nowhere; a remote port's URL
    QString remote{}; // a port on another machine, reached over the network: "HOST:PORT"; empty for a local one
    PortState state = PortState::Missing;
    QString reason{}; // what keeps the port from use, in words a person can act on; empty when usable
    std::optional<UsbAdapter> usb{};

    bool usable() const { return state == PortState::Usable; }
    bool isRemote() const { return !remote.isEmpty(); }
    // Kept from use, for this reason.
    void refuse(PortState why, const QString &words)
    {
        state = why;
        reason = words;
    }
};

using PortScan = QList<PortFacts>;

// Whether a probe also looks through every process's open descriptors for holders of the
// ports it finds free otherwise. That look grows with the machine (thousands of processes
// take a good part of a second), so the window makes it apart, off its thread.
enum class OpenHolders { Find,
                         Skip };

// How much a no-port explanation says: Brief fits a message box on the smallest screen
// whatever the ports folder holds; Full names every port on a line of its own.
enum class Detail { Brief,
                    Full };

} // namespace veldo
