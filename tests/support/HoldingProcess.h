#pragma once

#include <QString>

#include <sys/types.h>

namespace veldo {

// Another program holding a device open: a child process that opens it, locks it the given
// way and keeps it until this object goes. isHolding() is false when the child could not
// open or lock the device.
class HoldingProcess {
public:
    enum class Lock {
        Flock,         // flock(LOCK_EX), as terminal programs and serial libraries do
        ExclusiveMode, // TIOCEXCL, as QSerialPort does; does not stop root from opening
    };

    HoldingProcess(const QString &device, Lock lock);
    ~HoldingProcess();
    HoldingProcess(const HoldingProcess &) = delete;
    HoldingProcess &operator=(const HoldingProcess &) = delete;

    bool isHolding() const { return m_holding; }

private:
    pid_t m_child = -1;
    int m_release = -1; // closing it tells the child to let go
    bool m_holding = false;
};

} // namespace veldo
