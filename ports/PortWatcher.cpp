// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/PortWatcher.h"

#include <QDir>
#include <QFileInfo>

namespace veldo {

namespace {

// Long enough for the system to finish a plugged adapter (node, rights, by-id link), short
// enough to feel immediate.
constexpr int kSettleMs = 300;

// The folder and those above it, up to the first that exists: a folder made later is seen.
QStringList folderAndParents(const QString &folder)
{
    QStringList folders;
    for (QString path = QDir::cleanPath(folder); !path.isEmpty();) {
        folders << path;
        if (QFileInfo(path).isDir() || path == QLatin1String("/"))
            break;
        path = QFileInfo(path).path();
    }
    return folders;
}

} // namespace

PortWatcher::PortWatcher(const QString &portsFolder, QObject *parent)
    : QObject(parent)
    , m_folders(QStringList{QStringLiteral("/dev"), QStringLiteral("/dev/serial"), QStringLiteral("/dev/serial/by-id")}
                + folderAndParents(portsFolder))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PortWatcher::portsChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchWhatExists();
        m_settle.start();
    });
    watchWhatExists();
}

void PortWatcher::watchWhatExists()
{
    for (const QString &folder : std::as_const(m_folders)) {
        if (QFileInfo(folder).isDir() && !m_watcher.directories().contains(folder))
            m_watcher.addPath(folder);
    }
}

} // namespace veldo
