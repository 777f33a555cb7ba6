// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/OpenFile.h"

#include "files/DiskCalls.h"
#include "system/UniqueFd.h"

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace veldo {

FileResult checkPlainFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return FileResult::failure(FileError::IsFolder);
    if (!S_ISREG(mode))
        return FileResult::failure(FileError::NotPlainFile);
    return {};
}

FileResult checkFileSize(off_t size)
{
    if (size <= kMaxConfigFileSize)
        return {};
    return {.kind = FileError::TooLarge, .size = size};
}

FileResult checkResultSize(qsizetype size)
{
    if (size <= kMaxConfigFileSize)
        return {};
    return {.kind = FileError::WouldBeTooLarge, .size = size};
}

FileResult readOpenFile(int fd, QByteArray &bytes)
{
    bytes.clear();
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return failureOf(errno);
    if (FileResult plain = checkPlainFile(status.st_mode); !plain.ok())
        return plain;
    if (FileResult size = checkFileSize(status.st_size); !size.ok())
        return size;
    // Room for one byte more than fstat said, so that the end shows without growing the
    // buffer; a file that grew is read on, up to one byte beyond the limit.
    QByteArray buffer(qsizetype(status.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == buffer.size()) {
            if (filled > kMaxConfigFileSize)
                return checkFileSize(filled);
            buffer.resize(qsizetype(std::min<off_t>(2 * off_t(filled), kMaxConfigFileSize + 1)));
        }
        const ssize_t got = ::pread(fd, buffer.data() + filled, std::size_t(buffer.size() - filled), filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failureOf(errno);
        if (got == 0)
            break;
        filled += got;
    }
    buffer.truncate(filled);
    bytes = std::move(buffer);
    return {};
}

FileResult writeOpenFile(int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t put = diskCalls().write(fd, bytes.constData() + written, std::size_t(bytes.size() - written), written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return failureOf(errno);
        written += put;
    }
    if (::ftruncate(fd, off_t(bytes.size())) != 0 || diskCalls().sync(fd) != 0)
        return failureOf(errno);
    return {};
}

} // namespace veldo
