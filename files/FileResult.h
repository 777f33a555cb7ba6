// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cerrno>

namespace veldo {

// Why a file operation failed, for callers to decide on; the faces put it into words.
enum class FileError {
    None,
    NoFileName,
    NoFolder,        // the folder the name is in does not exist
    NotFound,        // the file itself does not exist
    Permission,      // the system or the permission bits refuse the access
    ReadOnly,        // the file system is mounted read-only
    IsFolder,        // the name is a folder, not a file
    NotPlainFile,    // a device, a pipe, a socket
    TooLarge,        // larger than a configuration file can be; size says how large
    WouldBeTooLarge, // the new content is; the file was left as it was
    DiskFull,        // no space, quota exceeded, or beyond the size this process may write
    ChangedUnderUs,  // the file changed while it was being saved; nothing was written
    ForeignLink,     // name is a symbolic link another user put in a shared folder
    NoConfiguration, // the file holds no value of a configuration
    Unstorable,      // a name or value holds a character an INI file cannot store
    OutOfMemory,
    NamesTaken, // every name for the file name stem in name is taken
    System,     // any other refusal of the system; error says which
};

// Outcome of a file operation: ok, or what failed, with the errno where the system said no.
struct FileResult {
    FileError kind = FileError::None;
    int error = 0;        // the errno, 0 when the refusal is this program's own
    qint64 size = 0;      // of a file too large
    QString name{};       // the link not followed, or the stem whose names are taken
    bool damaged = false; // the old content could not be written back after a failed write

    bool ok() const { return kind == FileError::None; }

    static FileResult failure(FileError kind) { return {.kind = kind}; }
};

// A refusal of the system, by its errno.
inline FileResult failureOf(int error)
{
    const FileError kind = [error] {
        switch (error) {
        case ENOENT: return FileError::NotFound;
        case EACCES:
        case EPERM: return FileError::Permission;
        case EROFS: return FileError::ReadOnly;
        case EISDIR: return FileError::IsFolder;
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return FileError::DiskFull;
        case ENOMEM: return FileError::OutOfMemory;
        default: return FileError::System;
        }
    }();
    return {.kind = kind, .error = error};
}

} // namespace veldo
