// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileResult.h"

#include <QByteArray>

#include <sys/types.h>

namespace veldo {

// A failure in the system's own words for an error number.
FileResult failureOf(int error);

// No configuration file comes near this size; anything larger is refused before it is read.
inline constexpr off_t kMaxConfigFileSize = off_t(16) << 20;

// Refuses what is not a plain file: a device or pipe could block, a folder is no file.
FileResult checkPlainFile(mode_t mode);

// Refuses a file larger than kMaxConfigFileSize, naming its size.
FileResult checkFileSize(off_t size);
// Refuses content that would make a file larger than that, so that a save never writes
// what Open refuses.
FileResult checkResultSize(qsizetype size);

// The whole content of an open file, judged on that descriptor (a plain file, not too
// large), so that nothing swapped in under its name is read.
FileResult readOpenFile(int fd, QByteArray &bytes);

// Makes the bytes the whole content of an open file and flushes them to the disk.
FileResult writeOpenFile(int fd, const QByteArray &bytes);

} // namespace veldo
