// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileAttributes.h"

#include <QByteArrayList>

#include <cerrno>
#include <functional>
#include <optional>

#include <sys/xattr.h>
#include <unistd.h>

namespace veldo {

namespace {

constexpr mode_t kModeBits = 07777;

// The bytes a size-then-fill query of the system gives; nullopt when it fails or the
// answer changed in between. A file system without extended attributes has none.
std::optional<QByteArray> queried(const std::function<ssize_t(char *, std::size_t)> &query)
{
    const ssize_t size = query(nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    QByteArray buffer(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && query(buffer.data(), std::size_t(size)) != size)
        return std::nullopt;
    return buffer;
}

std::optional<QByteArrayList> namesIn(const std::optional<QByteArray> &list)
{
    if (!list)
        return std::nullopt;
    QByteArrayList names = list->split('\0');
    names.removeAll(QByteArray());
    return names;
}

} // namespace

bool takeOverAttributes(int fd, const QByteArray &path, const struct stat &status)
{
    if (::fchown(fd, status.st_uid, status.st_gid) != 0)
        return false;
    const char *file = path.constData();
    const std::optional<QByteArrayList> wanted =
        namesIn(queried([file](char *buffer, std::size_t size) { return ::listxattr(file, buffer, size); }));
    const std::optional<QByteArrayList> inherited =
        namesIn(queried([fd](char *buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); }));
    if (!wanted || !inherited)
        return false;
    // A default ACL of the folder gives a new file an ACL of its own, which the old one may lack.
    for (const QByteArray &name : *inherited) {
        if (!wanted->contains(name) && ::fremovexattr(fd, name.constData()) != 0)
            return false;
    }
    for (const QByteArray &name : *wanted) {
        const std::optional<QByteArray> value = queried([file, &name](char *buffer, std::size_t size) {
            return ::getxattr(file, name.constData(), buffer, size);
        });
        if (!value || ::fsetxattr(fd, name.constData(), value->constData(), std::size_t(value->size()), 0) != 0)
            return false;
    }
    // Last, as a change of owner clears the set-user-ID and set-group-ID bits.
    return ::fchmod(fd, status.st_mode & kModeBits) == 0;
}

} // namespace veldo
