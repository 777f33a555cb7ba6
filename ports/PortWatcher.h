// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace veldo {

// Says when serial devices or port links may have come or gone: inotify watches on /dev,
// /dev/serial/by-id and the ports folder (the folders above each, while it does not exist).
// One signal once a burst of changes has settled: the system makes a device, sets its
// rights and links its stable names one after the other. Costs nothing while nothing changes.
class PortWatcher : public QObject {
    Q_OBJECT
public:
    explicit PortWatcher(const QString &portsFolder, QObject *parent = nullptr);

signals:
    void portsChanged();

private:
    void watchWhatExists();

    QStringList m_folders;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

} // namespace veldo
