// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ports/PortFacts.h"
#include "system/BackgroundJob.h"

#include <QObject>

namespace veldo {

// Looks for the processes that hold ports open (findOpenHolders) on a thread of its own,
// so that a machine with many processes never holds up the caller's thread. A request
// while a look runs is served by one more look once it ends.
class PortScanner : public QObject {
    Q_OBJECT
public:
    explicit PortScanner(QObject *parent = nullptr);

    void start(const PortScan &ports);
    bool busy() const { return m_job.busy(); }

signals:
    void finished(const PortScan &ports);

private:
    BackgroundJob m_job;
};

} // namespace veldo
