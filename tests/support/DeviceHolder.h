#pragma once

#include <QProcess>

namespace veldo::test {

// Another program, sleep, that holds a device open as its standard input until destroyed.
class DeviceHolder {
public:
    explicit DeviceHolder(const QString &device)
    {
        m_process.setStandardInputFile(device);
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
