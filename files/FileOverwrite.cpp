// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileOverwrite.h"

#include "files/OpenFile.h"
#include "system/UniqueFd.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace veldo {

namespace {

// Makes sure that the file can hold the new content before a byte of it changes: within the
// size this process may write, and with the disk space for any growth allocated.
FileResult reserveRoom(int fd, qsizetype oldSize, qsizetype newSize)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && rlim_t(std::max(oldSize, newSize)) > limit.rlim_cur)
        return failureOf(EFBIG);
    if (newSize <= oldSize)
        return {};
    if (const int error = ::posix_fallocate(fd, 0, off_t(newSize)); error != 0) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, off_t(oldSize));
        return failureOf(error);
    }
    return {};
}

} // namespace

FileResult overwriteInPlace(int fd, const QByteArray &bytes)
{
    QByteArray old;
    if (FileResult read = readOpenFile(fd, old); !read.ok())
        return read;
    if (FileResult room = reserveRoom(fd, old.size(), bytes.size()); !room.ok())
        return room;
    FileResult written = writeOpenFile(fd, bytes);
    if (!written.ok() && !writeOpenFile(fd, old).ok())
        written.damaged = true;
    return written;
}

} // namespace veldo
