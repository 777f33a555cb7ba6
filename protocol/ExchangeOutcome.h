// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace veldo {

enum class ExchangeKind { Download,
                          Upload };

// Ticks: every kPollIntervalMs, as the window shows it. AsBytesArrive: at each arrival,
// so that the exchange ends with its last byte; the time-out comes after as long.
enum class ExchangePace { Ticks,
                          AsBytesArrive };

enum class ExchangeOutcome {
    Downloaded,       // a valid image arrived; its configuration is in TickResult::config
    DownloadChecksum, // an image arrived whose checksum fails
    UploadAccepted,   // the box acknowledged the image (6)
    UploadRejected,   // the box reported a checksum error (21)
    TimedOut,         // nothing usable by the fifth tick (2.5 s)
};

// The message the user reads for an outcome; empty for a download, whose values say it all.
QString outcomeMessage(ExchangeOutcome outcome);

} // namespace veldo
