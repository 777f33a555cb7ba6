// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"
#include "files/FileResult.h"

#include <QDateTime>
#include <QString>

namespace veldo {

// How many configurations read from a box are kept; older ones are removed.
inline constexpr int kKeptDownloadCount = 200;

// $XDG_DATA_HOME/veldo/downloads, or ~/.local/share/veldo/downloads when the variable is
// unset or not an absolute path.
QString keptDownloadsFolder();

// Writes a configuration read from a box into folder as a new configuration file named by
// the time and the port, "2026-12-07T10-15-30-Com3.ini" ("-2", "-3" ... added for a second
// one in the same second); the port is "Com3" or a device's name such as "ttyUSB0". A folder
// that does not exist is made, for the user alone: the codes open the box. fileName gets the
// file's path.
FileResult saveTimedCopy(const SwitchConfig &config, const QString &port, const QDateTime &now, const QString &folder,
                         QString &fileName);

// saveTimedCopy, then removes all but the newest kKeptDownloadCount such files. Other files
// in the folder are never touched.
FileResult keepDownload(const SwitchConfig &config, const QString &port, const QDateTime &now, const QString &folder);

} // namespace veldo
