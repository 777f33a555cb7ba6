// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigCompare.h"

namespace veldo {

QList<ConfigDifference> compareConfigs(const SwitchConfig &expected, const SwitchConfig &actual)
{
    QList<ConfigDifference> differences;
    for (int output = 0; output < kOutputCount; ++output) {
        const OutputSetting &want = expected.outputs.at(std::size_t(output));
        const OutputSetting &have = actual.outputs.at(std::size_t(output));
        const ConfigDifference values[] = {
            {output, kCodeAKey, want.codeA, have.codeA},
            {output, kCodeBKey, want.codeB, have.codeB},
            {output, kTypeKey, outputTypeName(want.type), outputTypeName(have.type)},
        };
        for (const ConfigDifference &value : values) {
            if (value.expected != value.actual)
                differences.append(value);
        }
    }
    return differences;
}

} // namespace veldo
