#pragma once

namespace veldo {

// Names the application as the desktop knows it (name, version, desktop entry id) and gives
// every window the icon. Call once, after the QApplication exists.
void applyApplicationIdentity();

} // namespace veldo
