// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileReason.h"

#include "files/OpenFile.h"
#include "system/ErrorText.h"

#include <QCoreApplication>
#include <QLocale>

#include <array>
#include <cstring>
#include <utility>

namespace veldo {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("veldo::FileReason", text);
}

// The errors a file operation can meet, in the C library's English words, so that the
// command line says what it always said and the window can say it in its own language.
constexpr std::array<std::pair<int, const char *>, 29> kErrorWords{{
    {EPERM, QT_TRANSLATE_NOOP("veldo::FileReason", "Operation not permitted")},
    {ENOENT, QT_TRANSLATE_NOOP("veldo::FileReason", "No such file or directory")},
    {EINTR, QT_TRANSLATE_NOOP("veldo::FileReason", "Interrupted system call")},
    {EIO, QT_TRANSLATE_NOOP("veldo::FileReason", "Input/output error")},
    {ENXIO, QT_TRANSLATE_NOOP("veldo::FileReason", "No such device or address")},
    {EAGAIN, QT_TRANSLATE_NOOP("veldo::FileReason", "Resource temporarily unavailable")},
    {ENOMEM, QT_TRANSLATE_NOOP("veldo::FileReason", "Cannot allocate memory")},
    {EACCES, QT_TRANSLATE_NOOP("veldo::FileReason", "Permission denied")},
    {EBUSY, QT_TRANSLATE_NOOP("veldo::FileReason", "Device or resource busy")},
    {EEXIST, QT_TRANSLATE_NOOP("veldo::FileReason", "File exists")},
    {EXDEV, QT_TRANSLATE_NOOP("veldo::FileReason", "Invalid cross-device link")},
    {ENODEV, QT_TRANSLATE_NOOP("veldo::FileReason", "No such device")},
    {ENOTDIR, QT_TRANSLATE_NOOP("veldo::FileReason", "Not a directory")},
    {EISDIR, QT_TRANSLATE_NOOP("veldo::FileReason", "Is a directory")},
    {EINVAL, QT_TRANSLATE_NOOP("veldo::FileReason", "Invalid argument")},
    {ENFILE, QT_TRANSLATE_NOOP("veldo::FileReason", "Too many open files in system")},
    {EMFILE, QT_TRANSLATE_NOOP("veldo::FileReason", "Too many open files")},
    {ETXTBSY, QT_TRANSLATE_NOOP("veldo::FileReason", "Text file busy")},
    {EFBIG, QT_TRANSLATE_NOOP("veldo::FileReason", "File too large")},
    {ENOSPC, QT_TRANSLATE_NOOP("veldo::FileReason", "No space left on device")},
    {EROFS, QT_TRANSLATE_NOOP("veldo::FileReason", "Read-only file system")},
    {EMLINK, QT_TRANSLATE_NOOP("veldo::FileReason", "Too many links")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("veldo::FileReason", "File name too long")},
    {ENOTEMPTY, QT_TRANSLATE_NOOP("veldo::FileReason", "Directory not empty")},
    {ELOOP, QT_TRANSLATE_NOOP("veldo::FileReason", "Too many levels of symbolic links")},
    {EOVERFLOW, QT_TRANSLATE_NOOP("veldo::FileReason", "Value too large for defined data type")},
    {EOPNOTSUPP, QT_TRANSLATE_NOOP("veldo::FileReason", "Operation not supported")},
    {ESTALE, QT_TRANSLATE_NOOP("veldo::FileReason", "Stale file handle")},
    {EDQUOT, QT_TRANSLATE_NOOP("veldo::FileReason", "Disk quota exceeded")},
}};

QString errorWords(int error)
{
    for (const auto &[number, words] : kErrorWords) {
        if (number == error)
            return translated(words);
    }
    // Any other errno in the system's words, which are English but for the C library's own
    // translations; a translation of this text gives its number and name instead.
    //: An error of the system that no file operation is known to meet: %1 its number, %2 its name such as ESRCH.
    const char *const numbered = QT_TRANSLATE_NOOP("veldo::FileReason", "error %1 (%2) of the system");
    const QString words = translated(numbered);
    if (words == QLatin1String(numbered))
        return systemError(error);
    const char *name = ::strerrorname_np(error);
    return words.arg(error).arg(QLatin1String(name ? name : "?"));
}

QString sizeWords(const char *text, qint64 size)
{
    return translated(text).arg(QLocale::c().formattedDataSize(size, 1), QLocale::c().formattedDataSize(kMaxConfigFileSize, 0));
}

QString kindWords(const FileResult &result)
{
    switch (result.kind) {
    case FileError::None: return {};
    case FileError::NoFileName: return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "No file name given"));
    case FileError::NoFolder: return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "The folder does not exist"));
    case FileError::NotFound: return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "No such file"));
    case FileError::IsFolder: return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "The name is a folder, not a file"));
    case FileError::NotPlainFile: return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "The name is not a plain file"));
    case FileError::TooLarge:
        return sizeWords(QT_TRANSLATE_NOOP("veldo::FileReason", "The file is %1, more than a configuration file can be (%2)"),
                         result.size);
    case FileError::WouldBeTooLarge:
        return sizeWords(QT_TRANSLATE_NOOP("veldo::FileReason",
                                           "The file would be %1, more than a configuration file can be (%2); it was left as it was"),
                         result.size);
    case FileError::ChangedUnderUs:
        return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "The file changed while it was being saved; nothing was written"));
    case FileError::ForeignLink:
        return translated(QT_TRANSLATE_NOOP("veldo::FileReason",
                                            "%1 is a symbolic link that another user put in a shared folder; it is not followed"))
            .arg(result.name);
    case FileError::NoConfiguration:
        return translated(
            QT_TRANSLATE_NOOP("veldo::FileReason", "The file holds no configuration: no value in the sections Output0 to OutputF"));
    case FileError::Unstorable:
        return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "A name or value holds a character that an INI file cannot store"));
    case FileError::OutOfMemory:
        return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "Not enough memory to work on the file; it was left as it was"));
    case FileError::NamesTaken:
        return translated(QT_TRANSLATE_NOOP("veldo::FileReason", "every name for %1 is taken")).arg(result.name);
    // These come with the errno the system gave; without one, in its most common words.
    case FileError::Permission: return errorWords(EACCES);
    case FileError::ReadOnly: return errorWords(EROFS);
    case FileError::DiskFull: return errorWords(ENOSPC);
    case FileError::System: break;
    }
    return errorWords(result.error);
}

} // namespace

QString fileReason(const FileResult &result)
{
    const QString words = result.error != 0 ? errorWords(result.error) : kindWords(result);
    if (!result.damaged)
        return words;
    return words + translated(QT_TRANSLATE_NOOP("veldo::FileReason", "; the file could not be restored and may be damaged"));
}

} // namespace veldo
