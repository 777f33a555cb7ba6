// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>

namespace veldo::fuzz {

// A property that fails is a finding: name it and abort, so that libFuzzer keeps the input.
inline void check(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Property broken: %s\n", property);
    std::abort();
}

} // namespace veldo::fuzz
