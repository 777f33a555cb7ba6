#pragma once

#include "files/FileResult.h"

#include <QByteArray>
#include <QString>

namespace veldo {

// Access is judged by the permission bits as well as by the system, so that a file or
// folder that grants nobody write access counts as read-only even for root.

// The whole content of a file. A file that does not exist reads as empty; a folder, a
// device, a pipe, a file without read access or one larger than a configuration file can
// be fails. The file is opened once, without waiting, and judged on what was opened.
FileResult readFileBytes(const QString &fileName, QByteArray &bytes);

// Replaces the content of a file, writing through symbolic links to their target. A new
// file, or one whose replacement by a renamed fresh copy changes nothing anyone can see, is
// replaced atomically by a rename; any other file (in a folder this user may not write, with
// other hard links, another owner or group, attributes that cannot be carried over) is
// written in place, keeping its inode, owner, group, mode, attributes and links. On failure
// the file is left byte for byte as it was.
FileResult replaceFileBytes(const QString &fileName, const QByteArray &bytes);

// Whether replaceFileBytes would find the file writable, without writing anything: the
// folder exists and takes the file, the name is no folder or device, access is granted.
FileResult checkFileReplaceable(const QString &fileName);

} // namespace veldo
