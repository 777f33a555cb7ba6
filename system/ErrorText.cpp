// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/ErrorText.h"

#include <cstring>

namespace veldo {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace veldo
