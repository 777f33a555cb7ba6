// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace veldo {

// The system's own words for an errno value.
QString systemError(int error);

} // namespace veldo
