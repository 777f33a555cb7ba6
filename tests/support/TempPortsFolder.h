#pragma once

#include "link/PortMap.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace veldo {

// A ports folder of a test's own. While it lives, XDG_CONFIG_HOME points at a temporary
// folder, so the program's standard map sees the links made here and the machine's own
// devices never (map() has no fallback devices at all).
class TempPortsFolder {
public:
    TempPortsFolder();
    ~TempPortsFolder();
    TempPortsFolder(const TempPortsFolder &) = delete;
    TempPortsFolder &operator=(const TempPortsFolder &) = delete;

    QString path() const;
    PortMap map() const;
    // Makes comN a symlink to target, replacing what was there; false on failure.
    bool link(int port, const QString &target) const;
    void unlink(int port) const;

private:
    QTemporaryDir m_configHome;
    QByteArray m_savedConfigHome;
    bool m_hadConfigHome = false;
};

} // namespace veldo
