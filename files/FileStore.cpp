#include "files/FileStore.h"

#include "files/FileOverwrite.h"
#include "files/FileReplace.h"
#include "files/OpenFile.h"
#include "files/UniqueFd.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veldo {

namespace {

constexpr int kMaxLinkDepth = 40;
constexpr mode_t kAnyRead = S_IRUSR | S_IRGRP | S_IROTH;
constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

const FileResult kNoFileName = FileResult::failure(QStringLiteral("No file name given"));
const FileResult kNoFolder = FileResult::failure(QStringLiteral("The folder does not exist"));

bool isMissing(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

// The status of what a path names (links followed); nullopt with errno set when there is none.
std::optional<struct stat> statusOf(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return status;
}

// Root passes the system's check on anything, so the bits must also grant the access to
// someone: then a read-only file is read-only for root as for everybody else.
bool grants(const QString &path, const struct stat &status, int access, mode_t anyOfBits)
{
    return (status.st_mode & anyOfBits) != 0
        && ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), access, AT_EACCESS) == 0;
}

// The file a name finally stands for, following links even to a target not yet created.
std::optional<QString> linkTarget(const QString &fileName)
{
    QFileInfo info(fileName);
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == kMaxLinkDepth)
            return std::nullopt;
        info.setFile(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

// Fails when there is no such folder; else tells whether a new file can be created in it
// and renamed over another one there.
FileResult checkFolder(const QString &folder, bool &writable)
{
    const std::optional<struct stat> status = statusOf(folder);
    if (!status)
        return isMissing(errno) ? kNoFolder : failureOf(errno);
    if (!S_ISDIR(status->st_mode))
        return kNoFolder;
    writable = grants(folder, *status, W_OK | X_OK, kAnyWrite);
    return {};
}

// What a replacement writes to: the file behind the links, whether its folder takes a new
// file, and the file's status (none for a file yet to be made).
struct ReplaceTarget {
    QString path;
    bool writableFolder = false;
    std::optional<struct stat> status;
};

// Everything that would refuse a replacement, checked before anything is written.
FileResult checkTarget(const QString &fileName, ReplaceTarget &target)
{
    if (fileName.isEmpty())
        return kNoFileName;
    const std::optional<QString> resolved = linkTarget(fileName);
    if (!resolved)
        return failureOf(ELOOP);
    target.path = *resolved;
    if (FileResult folder = checkFolder(QFileInfo(target.path).absolutePath(), target.writableFolder); !folder.ok)
        return folder;
    target.status = statusOf(target.path);
    if (!target.status) {
        if (!isMissing(errno))
            return failureOf(errno);
        return target.writableFolder ? FileResult{} : failureOf(EACCES);
    }
    if (FileResult plain = checkPlainFile(target.status->st_mode); !plain.ok)
        return plain;
    if (FileResult size = checkFileSize(target.status->st_size); !size.ok)
        return size;
    return grants(target.path, *target.status, W_OK, kAnyWrite) ? FileResult{} : failureOf(EACCES);
}

} // namespace

FileResult readFileBytes(const QString &fileName, QByteArray &bytes)
{
    bytes.clear();
    if (fileName.isEmpty())
        return kNoFileName;
    // Non-blocking, so that a pipe or device swapped in under the name cannot hang the open.
    const UniqueFd fd(::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return isMissing(errno) ? FileResult{} : failureOf(errno);
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return failureOf(errno);
    if (FileResult plain = checkPlainFile(status.st_mode); !plain.ok)
        return plain;
    if ((status.st_mode & kAnyRead) == 0)
        return failureOf(EACCES);
    return readOpenFile(fd.get(), bytes);
}

FileResult checkFileReplaceable(const QString &fileName)
{
    ReplaceTarget target;
    return checkTarget(fileName, target);
}

FileResult replaceFileBytes(const QString &fileName, const QByteArray &bytes)
{
    ReplaceTarget target;
    if (FileResult checked = checkTarget(fileName, target); !checked.ok)
        return checked;
    if (!target.status)
        return *replaceByRename(target.path, bytes, nullptr);
    // A rename would cut another hard link off; a sticky folder or another owner is caught
    // when the fresh file cannot take over the owner.
    if (target.writableFolder && target.status->st_nlink == 1) {
        if (std::optional<FileResult> renamed = replaceByRename(target.path, bytes, &*target.status))
            return *renamed;
    }
    return overwriteInPlace(target.path, bytes);
}

} // namespace veldo
