// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace veldo {

// Names the application as the desktop knows it: name, version, desktop entry id. Works
// before the QApplication exists, so that --help and --version need no display.
void nameApplication();

// Names the application and gives every window the icon. Call once, after the QApplication exists.
void applyApplicationIdentity();

} // namespace veldo
