// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PseudoTerminal.h"

#include "ports/CommPort.h"

#include <QTemporaryDir>

#include <initializer_list>
#include <map>
#include <memory>

namespace veldo {

// Pseudo-terminals linked as the given port numbers into a ports folder of the test's own,
// the other numbers linked to nowhere, and a closed serial port over that folder alone. XDG_CONFIG_HOME points at `home`, so the
// program's standard map sees these links and never the machine's own devices.
// The master side of pty(n) plays the device behind Com n.
struct PtyPorts {
    explicit PtyPorts(std::initializer_list<int> numbers = {});

    QString folder() const { return home.path() + QStringLiteral("/veldo/ports"); }
    // Makes Com n a symlink to target, replacing what was there; false on failure.
    bool link(int port, const QString &target) const;
    PseudoTerminal &pty(int number) { return *ptys.at(number); }

    QTemporaryDir home;
    std::map<int, std::unique_ptr<PseudoTerminal>> ptys;
    CommPort comm{PortMap(folder(), {})}; // goes first, while its devices still exist
};

} // namespace veldo
