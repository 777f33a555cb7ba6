// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"
#include "files/FileResult.h"

#include <QByteArray>
#include <QString>

namespace veldo {

// Writes the 48 values of a configuration into sections Output0..OutputF of a file,
// keeping everything else in it. The codes are written as given.
FileResult saveConfigFile(const QString &fileName, const SwitchConfig &config);

// What saveConfigFile writes into a new file; empty when a value cannot be stored.
QByteArray configFileBytes(const SwitchConfig &config);

// Reads a configuration; codes normalised, unknown type words give Pulse, a missing file
// gives the empty configuration. Fails only when the file exists but cannot be read.
FileResult loadConfigFile(const QString &fileName, SwitchConfig &config);

// Reads a configuration as loadConfigFile does, but refuses a file that does not exist or
// holds no value of a configuration (an empty, binary or unrelated file).
FileResult readConfigFile(const QString &fileName, SwitchConfig &config);
// readConfigFile on a file's content already read, such as standard input.
FileResult readConfigBytes(const QByteArray &bytes, SwitchConfig &config);

} // namespace veldo
