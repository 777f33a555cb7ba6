// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ports/PortFacts.h"

#include <QString>
#include <QStringList>

namespace veldo {

// Maps port numbers 1..16 to device paths. A file or symlink named comN in the ports
// folder, if there is one, overrides number N; otherwise N takes its fallback device (if any).
// Resolved at each lookup, so a link made while the program runs is seen by the next probe.
class PortMap {
public:
    PortMap(QString portsFolder, QStringList fallbacks);

    // $XDG_CONFIG_HOME/veldo/ports, or ~/.config/veldo/ports when the variable is unset.
    static QString standardPortsFolder();
    // The program's own map: USB adapters first, then ACM devices, then on-board ports,
    // with the overrides of the standard ports folder.
    static PortMap standard();

    QString portsFolder() const { return m_portsFolder; }
    // Path of the override link for a port number, whether or not it exists.
    QString overridePath(int port) const;
    // The device path for a port number; empty when the number has none or is out of range.
    QString devicePath(int port) const;

private:
    QString m_portsFolder;
    QStringList m_fallbacks;
};

} // namespace veldo
