// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

namespace veldo {

// The calls by which a save puts its bytes on the disk and the file into place, in one table
// so that a test can make one of them fail or see their order; the system's own otherwise.
struct DiskCalls {
    ssize_t (*write)(int fd, const void *bytes, size_t size, off_t offset);
    int (*sync)(int fd);
    int (*rename)(int fromFolder, const char *from, int toFolder, const char *to, unsigned int flags);
};

DiskCalls &diskCalls();

} // namespace veldo
