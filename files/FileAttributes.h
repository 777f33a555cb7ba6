// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <sys/stat.h>

namespace veldo {

// Gives the open file fd the owner, group, extended attributes (a POSIX ACL is one) and mode
// of the file at path, whose status is given. False when the system refuses any of it, as
// it does when this user may not hand a file to that owner or group.
bool takeOverAttributes(int fd, const QByteArray &path, const struct stat &status);

} // namespace veldo
