#pragma once

#include <QString>

namespace veldo {

inline constexpr int kIniReadLimit = 254;

// One value of an INI file, read or written by section and key (letter case ignored).
// A write changes only that value, keeps every other byte and the line endings, and
// replaces the file atomically; a failed write leaves the file exactly as it was.
QString ReadIniString(const QString &section, const QString &key, const QString &fileName);
bool WriteIniString(const QString &section, const QString &key, const QString &value,
                    const QString &fileName);

} // namespace veldo
