// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/PortScanner.h"

#include "ports/PortProbe.h"

#include <QThread>

namespace veldo {

PortScanner::PortScanner(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("PortScanner"));
}

PortScanner::~PortScanner()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void PortScanner::start(const PortScan &ports)
{
    if (m_thread)
        m_next = ports;
    else
        run(ports);
}

void PortScanner::run(const PortScan &ports)
{
    m_result = ports;
    m_thread = QThread::create([this] { findOpenHolders(m_result); });
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->deleteLater();
        m_thread = nullptr;
        const PortScan found = m_result;
        if (m_next)
            run(*std::exchange(m_next, std::nullopt));
        else
            emit finished(found);
    });
    m_thread->start();
}

} // namespace veldo
