// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace veldo {

// Outcome of a file operation: ok, or the reason it failed, for the user to read.
struct FileResult {
    bool ok = true;
    QString reason;

    static FileResult failure(const QString &reason) { return {false, reason}; }
};

} // namespace veldo
