// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>

namespace veldo::test {

// Another program, sleep, that holds a device open as its standard input until destroyed.
// It is started through the wrapper, a command that runs the rest of its arguments once it
// has set up (flock -F makes a lock and becomes sleep, setpriv another user).
class DeviceHolder {
public:
    explicit DeviceHolder(const QString &device, QStringList wrapper = {})
    {
        m_process.setStandardInputFile(device);
        wrapper << QStringLiteral("sleep") << QStringLiteral("600");
        m_process.start(wrapper.takeFirst(), wrapper);
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
