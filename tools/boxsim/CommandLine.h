// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BoxOptions.h"

#include <QString>

class QCoreApplication;

namespace veldo {

struct CommandLine {
    BoxOptions options;
    int port = 0; // link as Com N; 0: no link
    bool ok = true;
    QString error;
};

// Reads the program's options; --help and --version print and exit here.
CommandLine readCommandLine(const QCoreApplication &app);

} // namespace veldo
