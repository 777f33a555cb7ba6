// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace veldo {

using CodeBytes = std::array<std::uint8_t, 6>;

// The pair rule: the six bytes that the first twelve characters of a code text spell.
// Each pair skips blanks, tabs and line feeds, then reads hex digits from its start up to
// the first other character; a pair without a leading digit is 0. Never fails.
CodeBytes codeBytes(QStringView text);

// Twelve upper-case hex digits for six bytes, first byte first.
QString codeText(const CodeBytes &bytes);

// Any text to its canonical code: twelve upper-case hex digits.
QString NormalizeCode(QStringView text);

} // namespace veldo
