// SPDX-License-Identifier: GPL-3.0-or-later
#include "PtyPorts.h"

#include <QDir>
#include <QFile>

namespace veldo {

PtyPorts::PtyPorts(std::initializer_list<int> numbers)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QDir().mkpath(folder());
    for (int number : numbers)
        link(number, (ptys[number] = std::make_unique<PseudoTerminal>())->slavePath());
    // Every other number leads nowhere, never to the machine's own devices.
    for (int number = kFirstPort; number <= kLastPort; ++number) {
        if (!ptys.contains(number))
            link(number, home.filePath(QStringLiteral("nowhere")));
    }
}

bool PtyPorts::link(int port, const QString &target) const
{
    const QString path = comm.portMap().overridePath(port);
    QFile::remove(path);
    return QFile::link(target, path);
}

} // namespace veldo
