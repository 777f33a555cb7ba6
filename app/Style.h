// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace veldo {

// Whether the user named a style, with -style NAME (or -style=NAME) or QT_STYLE_OVERRIDE.
// Call before the QApplication takes its own options out of the arguments.
bool styleChosenByUser(int argc, const char *const argv[]);

// Fusion, which the window's layout was drawn for, unless the user chose another style.
void applyDefaultStyle(bool chosenByUser);

} // namespace veldo
