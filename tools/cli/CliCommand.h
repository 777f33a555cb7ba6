// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace veldo::cli {

enum class Verb { Ports,
                  Download,
                  Upload,
                  Verify };

// How much veldo-cli tells on standard error; failures are always told.
enum class Verbosity { Quiet,
                       Normal,
                       Verbose };

// One run of veldo-cli as the command line asks for it.
struct CliCommand {
    Verb verb = Verb::Ports;
    int port = 0;         // Com N, or 0 with a device
    QString device;       // a device path given instead of a port number
    QString file;         // the configuration file to upload or verify against; "-": standard input
    QString output;       // where a download goes; empty: standard output
    QString backupFolder; // upload: where the box's configuration is kept first
    bool verify = false;  // upload: read the configuration back and compare
    bool json = false;    // ports: as JSON
    bool keep = true;     // keep a copy of every configuration read in the downloads folder
    Verbosity verbosity = Verbosity::Normal;
};

struct ParsedCommand {
    CliCommand command;
    QString error;     // non-empty: a usage error, worded for standard error
    bool done = false; // --help or --version was answered
};

// The name that stands for standard input or output in place of a file.
inline const QString kStandardStream = QStringLiteral("-");
// Set and not "0": no copy of a download is kept, as with --no-keep.
inline constexpr char kNoKeepVariable[] = "VELDO_NO_KEEP";

// Reads the arguments; --help and --version print and set done.
ParsedCommand parseCommandLine(const QStringList &arguments);

} // namespace veldo::cli
