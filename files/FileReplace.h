#pragma once

#include "files/FileResult.h"

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/stat.h>

namespace veldo {

// Writes the bytes into a fresh file beside the target and renames it into place, so that
// the target is never seen half written. For an existing target (its status given), the
// fresh file first takes over its owner, group, extended attributes (ACL included) and
// mode; where the system refuses any of that, nothing is written and nullopt says that the
// file must be written in place instead.
std::optional<FileResult> replaceByRename(const QString &target, const QByteArray &bytes,
                                          const struct stat *existing);

} // namespace veldo
