// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileResult.h"

#include <QByteArray>

namespace veldo {

// Writes the bytes into the existing file itself (open for reading and writing), so that its inode, owner, group, mode,
// extended attributes and hard links stay. The room for the new content is reserved before
// anything is written, and the old content is kept in memory and written back if the write
// fails, so that a failure leaves the file byte for byte as it was.
FileResult overwriteInPlace(int fd, const QByteArray &bytes);

} // namespace veldo
