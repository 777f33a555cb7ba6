#include "files/FileReplace.h"

#include "files/FileAttributes.h"
#include "files/OpenFile.h"
#include "files/TempFile.h"

#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace veldo {

namespace {

// So that the rename itself survives a power cut; a failure here loses nothing.
void syncFolder(const QString &folder)
{
    const UniqueFd fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

} // namespace

std::optional<FileResult> replaceByRename(const QString &target, const QByteArray &bytes,
                                          const struct stat *existing)
{
    const QString folder = QFileInfo(target).absolutePath();
    const QByteArray targetPath = QFile::encodeName(target);
    removeStaleTempFiles(folder);
    TempFile temp(folder);
    if (!temp.valid())
        return existing ? std::nullopt : std::optional(failureOf(errno));
    if (existing && !takeOverAttributes(temp.fd(), targetPath, *existing))
        return std::nullopt;
    if (FileResult written = writeOpenFile(temp.fd(), bytes); !written.ok)
        return written;
    if (::rename(temp.path().constData(), targetPath.constData()) != 0)
        return failureOf(errno);
    temp.keep();
    syncFolder(folder);
    return FileResult{};
}

} // namespace veldo
