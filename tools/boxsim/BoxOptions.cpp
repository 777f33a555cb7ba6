// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoxOptions.h"

namespace veldo {

SwitchConfig sampleSwitchConfig()
{
    SwitchConfig config;
    for (int n = 0; n < kOutputCount; ++n) {
        OutputSetting &setting = config.outputs.at(static_cast<std::size_t>(n));
        setting.codeA = QStringLiteral("A%1").arg(outputDigit(n)).repeated(kCodeLength / 2);
        setting.codeB = QStringLiteral("B%1").arg(outputDigit(n)).repeated(kCodeLength / 2);
        setting.type = static_cast<OutputType>(n % kTypeCount);
    }
    return config;
}

} // namespace veldo
