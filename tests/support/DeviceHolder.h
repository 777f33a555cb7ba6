// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>

namespace veldo::test {

// Another program, sleep, that holds a device open as its standard input until destroyed,
// and with `locked` also holds a flock on it (flock -F makes the lock and becomes sleep).
class DeviceHolder {
public:
    explicit DeviceHolder(const QString &device, bool locked = false)
    {
        m_process.setStandardInputFile(device);
        if (locked)
            m_process.start(QStringLiteral("flock"), {QStringLiteral("-F"), QStringLiteral("-x"), device, QStringLiteral("sleep"), QStringLiteral("600")});
        else
            m_process.start(QStringLiteral("sleep"), {QStringLiteral("600")});
        m_process.waitForStarted();
    }
    ~DeviceHolder()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // 0 when it did not start.
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
};

} // namespace veldo::test
