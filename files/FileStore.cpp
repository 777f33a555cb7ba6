// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileStore.h"

#include "files/FileOverwrite.h"
#include "files/FileReplace.h"
#include "files/OpenFile.h"

#include <QFile>

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <unistd.h>

namespace veldo {

namespace {

constexpr int kMaxLinkDepth = 40;
constexpr mode_t kAnyRead = S_IRUSR | S_IRGRP | S_IROTH;
constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

// The kernel's protected_symlinks rule, kept whatever the system is set to: in a sticky
// folder that everybody may write, only a link of this user or of the folder's owner is
// followed, so that nobody can point a name there at a file of the user's own.
bool mayFollow(int folder, const struct stat &link)
{
    struct stat status {};
    if (::fstat(folder, &status) != 0)
        return false;
    const bool shared = (status.st_mode & S_ISVTX) != 0 && (status.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == status.st_uid;
}

} // namespace

FileResult FileUpdate::open(const QString &fileName)
{
    if (fileName.isEmpty())
        return FileResult::failure(FileError::NoFileName);
    return find(QFile::encodeName(fileName), 0);
}

FileResult FileUpdate::find(const QByteArray &path, int depth)
{
    if (depth == kMaxLinkDepth)
        return failureOf(ELOOP);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/")
                                                                       : path.left(slash);
    // A relative link target starts from the link's own folder.
    UniqueFd folderFd(::openat(m_folder.valid() ? m_folder.get() : AT_FDCWD, folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.valid())
        return errno == ENOENT || errno == ENOTDIR ? FileResult::failure(FileError::NoFolder) : failureOf(errno);
    m_folder = std::move(folderFd);
    m_name = slash + 1 < path.size() ? path.mid(slash + 1) : QByteArray(".");
    m_file = UniqueFd(::openat(m_folder.get(), m_name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!m_file.valid())
        return errno == ENOENT ? FileResult{} : failureOf(errno);
    if (::fstat(m_file.get(), &m_status) != 0)
        return failureOf(errno);
    if (!S_ISLNK(m_status.st_mode))
        return {};
    if (!mayFollow(m_folder.get(), m_status))
        return {.kind = FileError::ForeignLink, .name = QFile::decodeName(m_name)};
    char target[PATH_MAX];
    const ssize_t length = ::readlinkat(m_file.get(), "", target, sizeof target);
    if (length < 0 || length == ssize_t(sizeof target))
        return failureOf(length < 0 ? errno : ENAMETOOLONG);
    m_file = UniqueFd();
    return find(QByteArray(target, length), depth + 1);
}

// The file found, reached again through the process's own descriptor.
QByteArray FileUpdate::magicPath() const
{
    return "/proc/self/fd/" + QByteArray::number(m_file.get());
}

bool FileUpdate::unchanged() const
{
    struct stat named {};
    struct stat now {};
    if (::fstatat(m_folder.get(), m_name.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || ::fstat(m_file.get(), &now) != 0)
        return false;
    return named.st_dev == m_status.st_dev && named.st_ino == m_status.st_ino && now.st_size == m_status.st_size
        && now.st_mtim.tv_sec == m_status.st_mtim.tv_sec && now.st_mtim.tv_nsec == m_status.st_mtim.tv_nsec;
}

FileResult FileUpdate::read(QByteArray &bytes) const
{
    bytes.clear();
    if (!m_file.valid())
        return {};
    if (FileResult plain = checkPlainFile(m_status.st_mode); !plain.ok())
        return plain;
    if (FileResult size = checkFileSize(m_status.st_size); !size.ok())
        return size;
    if ((m_status.st_mode & kAnyRead) == 0)
        return failureOf(EACCES);
    const UniqueFd fd(::open(magicPath().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return failureOf(errno);
    return readOpenFile(fd.get(), bytes);
}

FileResult FileUpdate::check(bool *writableFolder) const
{
    struct stat folder {};
    if (::fstat(m_folder.get(), &folder) != 0)
        return failureOf(errno);
    // Root passes the system's check on anything, so the bits must also grant the access.
    const bool folderTakesFiles =
        (folder.st_mode & kAnyWrite) != 0 && ::faccessat(m_folder.get(), ".", W_OK | X_OK, AT_EACCESS) == 0;
    if (writableFolder)
        *writableFolder = folderTakesFiles;
    if (!m_file.valid())
        return folderTakesFiles ? FileResult{} : failureOf(EACCES);
    if (FileResult plain = checkPlainFile(m_status.st_mode); !plain.ok())
        return plain;
    if (FileResult size = checkFileSize(m_status.st_size); !size.ok())
        return size;
    if ((m_status.st_mode & kAnyWrite) == 0 || ::faccessat(AT_FDCWD, magicPath().constData(), W_OK, AT_EACCESS) != 0)
        return failureOf(EACCES);
    return {};
}

FileResult FileUpdate::replace(const QByteArray &bytes) const
{
    if (FileResult size = checkResultSize(bytes.size()); !size.ok())
        return size;
    bool writableFolder = false;
    if (FileResult writable = check(&writableFolder); !writable.ok())
        return writable;
    if (!m_file.valid())
        return *replaceByRename(m_folder.get(), m_name, bytes, nullptr);
    if (!unchanged())
        return changedWhileSaving();
    // A rename would cut another hard link off; a sticky folder or another owner is caught
    // when the fresh file cannot take over the owner.
    if (writableFolder && m_status.st_nlink == 1) {
        const ReplacedFile existing{m_status, magicPath(), [this] { return unchanged(); }};
        if (std::optional<FileResult> renamed = replaceByRename(m_folder.get(), m_name, bytes, &existing))
            return *renamed;
    }
    const UniqueFd fd(::open(magicPath().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return failureOf(errno);
    return unchanged() ? overwriteInPlace(fd.get(), bytes) : changedWhileSaving();
}

FileResult readFileBytes(const QString &fileName, QByteArray &bytes)
{
    bytes.clear();
    FileUpdate file;
    const FileResult found = file.open(fileName);
    if (!found.ok())
        return found.kind == FileError::NoFolder ? FileResult{} : found;
    return file.read(bytes);
}

FileResult replaceFileBytes(const QString &fileName, const QByteArray &bytes)
{
    FileUpdate file;
    const FileResult found = file.open(fileName);
    return found.ok() ? file.replace(bytes) : found;
}

FileResult checkFileReplaceable(const QString &fileName)
{
    FileUpdate file;
    const FileResult found = file.open(fileName);
    return found.ok() ? file.check() : found;
}

} // namespace veldo
