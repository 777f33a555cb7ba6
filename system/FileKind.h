// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <sys/types.h>

namespace veldo {

// What a file of this mode is, in words: "a regular file", "a named pipe", "a folder" ...
QString fileKind(mode_t mode);

} // namespace veldo
