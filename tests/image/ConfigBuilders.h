#pragma once

#include "config/SwitchConfig.h"

namespace veldo::test {

inline SwitchConfig allOfType(OutputType type)
{
    SwitchConfig config;
    for (OutputSetting &setting : config.outputs)
        setting.type = type;
    return config;
}

inline SwitchConfig withType(SwitchConfig config, int output, OutputType type)
{
    config.outputs[std::size_t(output)].type = type;
    return config;
}

inline SwitchConfig withCode(SwitchConfig config, int m, const QString &text)
{
    config.setCode(m, text);
    return config;
}

} // namespace veldo::test
