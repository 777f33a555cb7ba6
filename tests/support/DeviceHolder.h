#pragma once

#include <QString>

#include <sys/types.h>

namespace veldo::test {

// Another process that holds a device open, optionally in exclusive mode, until destroyed.
class DeviceHolder {
public:
    explicit DeviceHolder(const QString &device, bool exclusive = false);
    ~DeviceHolder();
    DeviceHolder(const DeviceHolder &) = delete;
    DeviceHolder &operator=(const DeviceHolder &) = delete;

    // 0 when the child could not open the device.
    pid_t pid() const { return m_pid; }

private:
    void end();

    pid_t m_pid = 0;
};

// Opens the device in a child, sets exclusive mode and lets the child end without clearing it.
bool leaveInExclusiveMode(const QString &device);

} // namespace veldo::test
