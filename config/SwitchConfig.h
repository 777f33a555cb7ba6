// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace veldo {

inline constexpr int kOutputCount = 16;
inline constexpr int kCodeCount = 2 * kOutputCount; // Code A of outputs 0..F, then Code B
inline constexpr int kCodeLength = 12;              // hex digits of one six-byte code
inline constexpr int kTypeCount = 4;
inline const QString kZeroCode = QStringLiteral("000000000000");
// The names of an output's three values in configuration files.
inline const QString kCodeAKey = QStringLiteral("Code A");
inline const QString kCodeBKey = QStringLiteral("Code B");
inline const QString kTypeKey = QStringLiteral("Output Type");

// The numeric value is the button's slot within its output's group.
enum class OutputType { Slave = 0,
                        Master = 1,
                        Pulse = 2,
                        Toggle = 3 };

// Caption of the type's button, and its word in configuration files.
QString outputTypeName(OutputType type);
// Exact, case-sensitive match of a caption; nullopt for anything else.
std::optional<OutputType> outputTypeFromName(const QString &name);

// "Output 0:" .. "Output F:"
QString outputLabel(int output);
// The single upper-case hex digit of an output number.
QString outputDigit(int output);

struct OutputSetting {
    QString codeA = kZeroCode;
    QString codeB = kZeroCode;
    OutputType type = OutputType::Toggle;

    bool operator==(const OutputSetting &) const = default;
};

// The whole configuration, indexed by output number.
struct SwitchConfig {
    std::array<OutputSetting, kOutputCount> outputs{};

    // Code number m (0..31) in the order of the code fields: Code A of all outputs, then Code B.
    QString code(int m) const;
    void setCode(int m, const QString &text);

    bool operator==(const SwitchConfig &) const = default;
};

} // namespace veldo
