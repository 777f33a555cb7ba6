// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"

#include <QList>

namespace veldo {

// One value in which two configurations differ: the output, the value's name as the
// configuration file calls it ("Code A", "Code B", "Output Type"), and both values.
struct ConfigDifference {
    int output = 0;
    QString what;
    QString expected;
    QString actual;
};

// Every difference, output by output, in file order.
QList<ConfigDifference> compareConfigs(const SwitchConfig &expected, const SwitchConfig &actual);

} // namespace veldo
