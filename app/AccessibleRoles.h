// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace veldo {

// Gives the window the role of a frame, named by its title, and the announcer the role of a
// notification; Qt would expose both as plain widgets. Safe to call more than once.
void installAccessibleRoles();

} // namespace veldo
