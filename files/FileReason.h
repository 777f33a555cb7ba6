// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileResult.h"

#include <QString>

namespace veldo {

// A failed file operation in words a person can act on: in the language of the translation
// installed (the window's), in English without one (the command line's). Where the system
// refused, its errno is worded as the C library words it in English.
QString fileReason(const FileResult &result);

} // namespace veldo
