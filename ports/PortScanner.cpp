// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/PortScanner.h"

#include "ports/PortProbe.h"

#include <memory>

namespace veldo {

PortScanner::PortScanner(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("PortScanner"));
}

void PortScanner::start(const PortScan &ports)
{
    const auto found = std::make_shared<PortScan>(ports);
    m_job.start([found] { findOpenHolders(*found); }, [this, found] { emit finished(*found); });
}

} // namespace veldo
