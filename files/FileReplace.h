// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileResult.h"

#include <QByteArray>

#include <functional>
#include <optional>

#include <sys/stat.h>

namespace veldo {

// The file that a fresh copy replaces: its status, a path its attributes are read from, and
// a check, made just before the rename, that the name still leads to it unchanged.
struct ReplacedFile {
    const struct stat &status;
    QByteArray attributesFrom;
    std::function<bool()> unchanged;
};

FileResult changedWhileSaving();

// Writes the bytes into a fresh file beside the target (name, in the folder given as a
// descriptor) and renames it into place, so that the target is never seen half written.
// The fresh file is private until, just before the rename, it takes over the owner, group,
// extended attributes (ACL included) and mode of an existing target; where the system
// refuses any of that, nothing is written and nullopt says that the file must be written in
// place instead. A new file never replaces one that appeared meanwhile.
std::optional<FileResult> replaceByRename(int folder, const QByteArray &name, const QByteArray &bytes,
                                          const ReplacedFile *existing);

} // namespace veldo
