// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace veldo {

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
    QString device{}; // where path leads, links resolved; empty when it leads nowhere
    PortState state = PortState::Missing;
    QString reason{}; // what keeps the port from use, in words a person can act on; empty when usable
    std::optional<UsbAdapter> usb{};

    bool usable() const { return state == PortState::Usable; }
};

using PortScan = QList<PortFacts>;

} // namespace veldo
