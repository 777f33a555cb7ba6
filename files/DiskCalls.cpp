// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DiskCalls.h"

#include <stdio.h>
#include <unistd.h>

namespace veldo {

DiskCalls &diskCalls()
{
    static DiskCalls calls{::pwrite, ::fsync, ::renameat2};
    return calls;
}

} // namespace veldo
