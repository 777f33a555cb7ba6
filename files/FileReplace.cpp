// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileReplace.h"

#include "files/DiskCalls.h"
#include "files/FileAttributes.h"
#include "files/OpenFile.h"
#include "files/TempFile.h"

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace veldo {

namespace {

// So that the rename itself survives a power cut; a failure here loses nothing.
void syncFolder(int folder)
{
    const UniqueFd fd(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        diskCalls().sync(fd.get());
}

// Renames only where nothing is, so that a file created meanwhile under the name is kept.
int renameIntoFreeName(int folder, const QByteArray &from, const QByteArray &to)
{
    const int renamed = diskCalls().rename(folder, from.constData(), folder, to.constData(), RENAME_NOREPLACE);
    if (renamed == 0 || errno != EINVAL)
        return renamed;
    // A file system without that kind of rename: a link fails just as well on a taken name.
    if (::linkat(folder, from.constData(), folder, to.constData(), 0) != 0)
        return -1;
    ::unlinkat(folder, from.constData(), 0);
    return 0;
}

} // namespace

FileResult changedWhileSaving()
{
    return FileResult::failure(FileError::ChangedUnderUs);
}

std::optional<FileResult> replaceByRename(int folder, const QByteArray &name, const QByteArray &bytes,
                                          const ReplacedFile *existing)
{
    removeStaleTempFiles(folder);
    TempFile temp(folder);
    if (!temp.valid())
        return existing ? std::nullopt : std::optional(failureOf(errno));
    if (FileResult written = writeOpenFile(temp.fd(), bytes); !written.ok())
        return written;
    if (existing && !takeOverAttributes(temp.fd(), existing->attributesFrom, existing->status))
        return std::nullopt;
    if (existing && !existing->unchanged())
        return changedWhileSaving();
    const int renamed = existing ? diskCalls().rename(folder, temp.name().constData(), folder, name.constData(), 0)
                                 : renameIntoFreeName(folder, temp.name(), name);
    if (renamed != 0)
        return errno == EEXIST ? changedWhileSaving() : failureOf(errno);
    temp.keep();
    syncFolder(folder);
    return FileResult{};
}

} // namespace veldo
