// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/PortMap.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace veldo {

PortMap::PortMap(QString portsFolder, QStringList fallbacks)
    : m_portsFolder(std::move(portsFolder))
    , m_fallbacks(std::move(fallbacks))
{
}

QString PortMap::standardPortsFolder()
{
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as for an unset one.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/veldo/ports");
}

PortMap PortMap::standard()
{
    QStringList devices;
    for (int n = 0; n < 8; ++n)
        devices << QStringLiteral("/dev/ttyUSB%1").arg(n);
    for (int n = 0; n < 4; ++n)
        devices << QStringLiteral("/dev/ttyACM%1").arg(n);
    for (int n = 0; n < 4; ++n)
        devices << QStringLiteral("/dev/ttyS%1").arg(n);
    return PortMap(standardPortsFolder(), devices);
}

QString PortMap::overridePath(int port) const
{
    return m_portsFolder + QStringLiteral("/com%1").arg(port);
}

QString PortMap::devicePath(int port) const
{
    if (port < kFirstPort || port > kLastPort)
        return {};
    // A dangling link still claims its number: the adapter it names is unplugged, and
    // falling back would put some other device under this number.
    const QString link = overridePath(port);
    const QFileInfo info(link);
    if (!m_portsFolder.isEmpty() && (info.exists() || info.isSymLink()))
        return link;
    return m_fallbacks.value(port - kFirstPort);
}

} // namespace veldo
