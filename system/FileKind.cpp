// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/FileKind.h"

#include <QCoreApplication>
#include <sys/stat.h>

namespace veldo {

QString fileKind(mode_t mode)
{
    if (S_ISREG(mode))
        return QCoreApplication::translate("veldo::PortAdvice", "a regular file");
    if (S_ISDIR(mode))
        return QCoreApplication::translate("veldo::PortAdvice", "a folder");
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("veldo::PortAdvice", "a named pipe");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("veldo::PortAdvice", "a socket");
    if (S_ISBLK(mode))
        return QCoreApplication::translate("veldo::PortAdvice", "a block device");
    if (S_ISLNK(mode))
        return QCoreApplication::translate("veldo::PortAdvice", "a symbolic link");
    return QCoreApplication::translate("veldo::PortAdvice", "a device of another kind");
}

} // namespace veldo
