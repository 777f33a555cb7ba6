// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace veldo {

// The lock file with which terminal programs mark a serial device as theirs:
// /var/lock/LCK..ttyUSB0 for /dev/ttyUSB0.
QString lockFilePath(const QString &device);

// What the device's lock file says. Anybody may put a file into the lock folder, so it is
// opened without waiting and without following a link, and taken only as a regular file.
struct LockFileReading {
    // The PID it names, in ASCII and often followed by the program's and the user's name
    // ("      9299 minicom root"); nullopt without a readable lock file.
    std::optional<qint64> pid;
    // Why what is there is no lock file ("the lock file /var/lock/LCK..ttyUSB0 is a named
    // pipe, not a lock file"); empty for a lock file or none.
    QString problem;
};
LockFileReading readLockFile(const QString &device);

} // namespace veldo
