#pragma once

#include "link/PortFacts.h"
#include "link/ProcessTable.h"

#include <sys/stat.h>

namespace veldo {

// Words for what keeps a port from use, and what to do about it.

// "minicom (PID 9299)", "another copy of this tool (PID 12)", joined by commas.
QString describeHolders(const QList<ProcessEntry> &holders);

// Who may open the device, and how this user gets that right.
QString noPermissionReason(const QString &device, const struct stat &status);

// Hints for known programs that seize USB serial adapters, when they run.
QStringList grabberHints(const QList<ProcessEntry> &processes);

// Why no port is open, for a message or a tooltip, shortest useful text first: the ports
// that are there but unusable and why, the programs known to seize adapters, and when no
// adapter is there at all, the devices looked for and how to point a number elsewhere.
QString noPortExplanation(const PortScan &ports, const QList<ProcessEntry> &processes, const QString &portsFolder);

} // namespace veldo
