// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace veldo::cli {

// What veldo-cli's exit status tells a script.
enum ExitStatus : int {
    kSuccess = 0,
    kUsageError = 2,     // bad option, bad port number, missing file argument
    kNoUsablePort = 3,   // the port is missing, not permitted or in use
    kTimedOut = 4,       // the box did not answer in time, or the port vanished
    kBoxRefused = 5,     // a download failed its checksum, or the box rejected an upload
    kVerifyMismatch = 6, // the box holds another configuration than the file
    kFileError = 7,      // a file could not be read or written
    kInterrupted = 130,  // SIGINT, SIGTERM or SIGHUP: the port was closed; the tool exits with 128 + the signal
};

} // namespace veldo::cli
