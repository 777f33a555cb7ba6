// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CliCommand.h"
#include "ExitStatus.h"

namespace veldo::cli {

// The four commands; each returns the exit status of the run.
ExitStatus listPorts(const CliCommand &command);
ExitStatus downloadToFile(const CliCommand &command);
ExitStatus uploadFile(const CliCommand &command);
ExitStatus verifyAgainstFile(const CliCommand &command);

} // namespace veldo::cli
