// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"
#include "files/ConfigFile.h"

namespace veldo::test {

// Every output with codes of its own, prefix then its digit, and the types in turn from
// firstType, so that a swapped value or output shows.
inline SwitchConfig patternedConfig(const QString &prefixA, const QString &prefixB, int firstType = 0)
{
    SwitchConfig config;
    for (int i = 0; i < kOutputCount; ++i)
        config.outputs[std::size_t(i)] = {prefixA + outputDigit(i), prefixB + outputDigit(i),
                                          static_cast<OutputType>((i + firstType) % kTypeCount)};
    return config;
}

// What a configuration file holds; the empty configuration when it cannot be read.
inline SwitchConfig loadedConfig(const QString &fileName)
{
    SwitchConfig config;
    return loadConfigFile(fileName, config).ok() ? config : SwitchConfig{};
}

} // namespace veldo::test
