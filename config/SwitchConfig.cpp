// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/SwitchConfig.h"

namespace veldo {

namespace {
const std::array<QString, kTypeCount> kTypeNames = {
    QStringLiteral("Slave"), QStringLiteral("Master"), QStringLiteral("Pulse"), QStringLiteral("Toggle")};
}

QString outputTypeName(OutputType type)
{
    return kTypeNames.at(static_cast<std::size_t>(type));
}

std::optional<OutputType> outputTypeFromName(const QString &name)
{
    for (std::size_t slot = 0; slot < kTypeNames.size(); ++slot) {
        if (kTypeNames[slot] == name)
            return static_cast<OutputType>(slot);
    }
    return std::nullopt;
}

QString outputDigit(int output)
{
    return QString::number(output, 16).toUpper();
}

QString outputLabel(int output)
{
    return QStringLiteral("Output %1:").arg(outputDigit(output));
}

QString SwitchConfig::code(int m) const
{
    const OutputSetting &setting = outputs.at(static_cast<std::size_t>(m % kOutputCount));
    return m < kOutputCount ? setting.codeA : setting.codeB;
}

void SwitchConfig::setCode(int m, const QString &text)
{
    OutputSetting &setting = outputs.at(static_cast<std::size_t>(m % kOutputCount));
    (m < kOutputCount ? setting.codeA : setting.codeB) = text;
}

} // namespace veldo
