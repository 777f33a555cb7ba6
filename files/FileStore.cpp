#include "files/FileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veldo {

namespace {

constexpr int kMaxLinkDepth = 40;
constexpr mode_t kAnyRead = S_IRUSR | S_IRGRP | S_IROTH;
constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

FileResult failureOf(int error)
{
    return FileResult::failure(QString::fromLocal8Bit(std::strerror(error)));
}

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

// Only plain files are read or replaced: a device or pipe could block, a folder is no file.
FileResult checkPlainFile(const struct stat &status)
{
    if (S_ISDIR(status.st_mode))
        return FileResult::failure(QStringLiteral("The name is a folder, not a file"));
    if (!S_ISREG(status.st_mode))
        return FileResult::failure(QStringLiteral("The name is not a plain file"));
    return {};
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

FileResult checkWritableFolder(const QString &folder)
{
    const std::optional<struct stat> status = statusOf(folder);
    if (!status)
        return isMissing(errno) ? kNoFolder : failureOf(errno);
    if (!S_ISDIR(status->st_mode))
        return kNoFolder;
    if (!grants(folder, *status, W_OK | X_OK, kAnyWrite))
        return failureOf(EACCES);
    return {};
}

} // namespace

FileResult readFileBytes(const QString &fileName, QByteArray &bytes)
{
    bytes.clear();
    if (fileName.isEmpty())
        return kNoFileName;
    const std::optional<struct stat> status = statusOf(fileName);
    if (!status)
        return isMissing(errno) ? FileResult{} : failureOf(errno);
    if (FileResult plain = checkPlainFile(*status); !plain.ok)
        return plain;
    if (!grants(fileName, *status, R_OK, kAnyRead))
        return failureOf(EACCES);

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(file.errorString());
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return FileResult::failure(file.errorString());
    }
    return {};
}

FileResult replaceFileBytes(const QString &fileName, const QByteArray &bytes)
{
    if (fileName.isEmpty())
        return kNoFileName;
    const std::optional<QString> target = linkTarget(fileName);
    if (!target)
        return failureOf(ELOOP);
    if (FileResult folder = checkWritableFolder(QFileInfo(*target).absolutePath()); !folder.ok)
        return folder;
    const std::optional<struct stat> status = statusOf(*target);
    if (!status && !isMissing(errno))
        return failureOf(errno);
    if (status) {
        if (FileResult plain = checkPlainFile(*status); !plain.ok)
            return plain;
        if (!grants(*target, *status, W_OK, kAnyWrite))
            return failureOf(EACCES);
    }

    // QSaveFile writes a temporary file beside the target, carries the permissions over
    // and renames it into place only when every byte is written.
    QSaveFile file(*target);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(file.errorString());
    if (status) {
        // Lets root save another user's file without taking it over; where the system
        // refuses, the file keeps the saving user as its owner.
        [[maybe_unused]] const int kept = ::fchown(file.handle(), status->st_uid, status->st_gid);
    }
    // commit() does not notice a failure to flush its buffer and would rename a cut file
    // into place, so flushing and syncing are checked first.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
        return errno != 0 ? failureOf(errno) : FileResult::failure(file.errorString());
    if (!file.commit())
        return FileResult::failure(file.errorString());
    return {};
}

} // namespace veldo
