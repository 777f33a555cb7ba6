#pragma once

#include <QString>

#include <optional>

namespace veldo {

// The lock file with which terminal programs mark a serial device as theirs:
// /var/lock/LCK..ttyUSB0 for /dev/ttyUSB0.
QString lockFilePath(const QString &device);

// The PID the device's lock file names, in ASCII and often followed by the program's and
// the user's name ("      9299 minicom root"); nullopt without a readable lock file.
std::optional<qint64> lockFileOwner(const QString &device);

} // namespace veldo
