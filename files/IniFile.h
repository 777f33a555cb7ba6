// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileResult.h"
#include "files/IniDocument.h"

#include <QString>

#include <functional>

namespace veldo {

// One value of an INI file, read or written by section and key (letter case ignored).
// A write changes only that value, keeps every other byte and the line endings, and
// replaces the file atomically; a failed or refused write leaves the file exactly as it was.
// Reading never fails: a missing or unreadable file, section or key reads as "".
QString ReadIniString(const QString &section, const QString &key, const QString &fileName);
bool WriteIniString(const QString &section, const QString &key, const QString &value,
                    const QString &fileName);

// The same access for many values at once: the file is read once and, for an edit,
// replaced once. A file that does not exist reads as an empty document.
FileResult readIniDocument(const QString &fileName, IniDocument &document);
// An edit that returns false (a value refused) leaves the file untouched.
FileResult editIniFile(const QString &fileName, const std::function<bool(IniDocument &)> &edit);

} // namespace veldo
