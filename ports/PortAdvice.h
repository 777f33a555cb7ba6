// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ports/PortFacts.h"
#include "system/ProcessTable.h"

#include <sys/stat.h>

namespace veldo {

// Words for what keeps a port from use, and what to do about it.

// "minicom (PID 9299)", "another copy of this tool (PID 12)", joined by commas.
QString describeHolders(const QList<ProcessEntry> &holders);

// Who may open the device, and how this user gets that right.
QString noPermissionReason(const QString &device, const struct stat &status);

// Hints for known programs that seize USB serial adapters, when they run.
QStringList grabberHints(const QList<ProcessEntry> &processes);

// Why no port is open: the ports free now, one line per port that needs action (in Brief,
// numbers whose links lead nowhere folded into one line, and a bounded number of lines),
// the programs known to seize adapters, and when no adapter is there at all, where it was
// looked for and how to point a number elsewhere.
QString noPortExplanation(const PortScan &ports, const QList<ProcessEntry> &processes, const QString &portsFolder,
                          Detail detail);

} // namespace veldo
