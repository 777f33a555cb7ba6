#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace veldo::cli {

enum class Verb { Ports, Download, Upload, Verify };

// One run of veldo-cli as the command line asks for it.
struct CliCommand {
    Verb verb = Verb::Ports;
    int port = 0;          // Com N, or 0 with a device
    QString device;        // a device path given instead of a port number
    QString file;          // the configuration file to upload or verify against
    QString output;        // where a download goes; empty: standard output
    QString backupFolder;  // upload: where the box's configuration is kept first
    bool verify = false;   // upload: read the configuration back and compare
    bool json = false;     // ports: as JSON
    bool quiet = false;    // no progress lines
};

struct ParsedCommand {
    CliCommand command;
    QString error; // non-empty: a usage error, worded for standard error
    bool done = false; // --help or --version was answered
};

// Reads the arguments; --help and --version print and set done.
ParsedCommand parseCommandLine(const QStringList &arguments);

} // namespace veldo::cli
