#pragma once

#include "config/SwitchConfig.h"
#include "files/FileResult.h"

#include <QString>

namespace veldo {

// Writes the 48 values of a configuration into sections Output0..OutputF of a file,
// keeping everything else in it. The codes are written as given.
FileResult saveConfigFile(const QString &fileName, const SwitchConfig &config);

// Reads a configuration; codes normalised, unknown type words give Pulse, a missing file
// gives the empty configuration. Fails only when the file exists but cannot be read.
FileResult loadConfigFile(const QString &fileName, SwitchConfig &config);

} // namespace veldo
