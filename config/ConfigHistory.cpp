// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigHistory.h"

namespace veldo {

ConfigHistory::ConfigHistory(SwitchConfig shown)
    : m_states{std::move(shown)}
{
}

void ConfigHistory::record(const SwitchConfig &config)
{
    if (config == m_states[m_current])
        return;
    m_states.resize(m_current + 1);
    m_states.push_back(config);
    if (m_states.size() > kUndoDepth + 1)
        m_states.erase(m_states.begin());
    m_current = m_states.size() - 1;
}

std::optional<SwitchConfig> ConfigHistory::undo()
{
    if (m_current == 0)
        return std::nullopt;
    return m_states[--m_current];
}

std::optional<SwitchConfig> ConfigHistory::redo()
{
    if (m_current + 1 >= m_states.size())
        return std::nullopt;
    return m_states[++m_current];
}

} // namespace veldo
