#include "TempPortsFolder.h"

#include <QDir>
#include <QFile>

namespace veldo {

TempPortsFolder::TempPortsFolder()
    : m_savedConfigHome(qgetenv("XDG_CONFIG_HOME")), m_hadConfigHome(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
    QDir().mkpath(path());
}

TempPortsFolder::~TempPortsFolder()
{
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString TempPortsFolder::path() const
{
    return m_configHome.path() + QStringLiteral("/veldo/ports");
}

PortMap TempPortsFolder::map() const
{
    return PortMap(path(), {});
}

bool TempPortsFolder::link(int port, const QString &target) const
{
    unlink(port);
    return QFile::link(target, map().overridePath(port));
}

void TempPortsFolder::unlink(int port) const
{
    QFile::remove(map().overridePath(port));
}

} // namespace veldo
