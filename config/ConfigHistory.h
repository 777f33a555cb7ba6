// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"

#include <optional>
#include <vector>

namespace veldo {

// How many steps back the window's undo reaches.
inline constexpr std::size_t kUndoDepth = 50;

// The configurations the window has shown, for undo and redo. The window records each
// configuration it comes to show; undo and redo walk back and forth among them.
class ConfigHistory {
public:
    explicit ConfigHistory(SwitchConfig shown = {});

    // The window now shows config. Equal to what it showed, nothing changes; otherwise it
    // becomes a step of its own and the steps undone before it are forgotten.
    void record(const SwitchConfig &config);

    // The configuration to show one step back or forward; nullopt at either end.
    std::optional<SwitchConfig> undo();
    std::optional<SwitchConfig> redo();

private:
    std::vector<SwitchConfig> m_states; // oldest first
    std::size_t m_current = 0;          // the one shown
};

} // namespace veldo
