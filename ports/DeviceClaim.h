// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ports/PortFacts.h"

namespace veldo {

// Opens the device of a port judged usable, for this program's use, and locks it (flock)
// against other programs that lock. Returns the descriptor, or -1 with the facts saying why
// not: what only an open can find (exclusive mode, a device gone meanwhile, a lock taken
// since the judgement). Opening raises DTR and RTS, so only the port chosen for use comes here.
int claimDevice(PortFacts &facts);

} // namespace veldo
