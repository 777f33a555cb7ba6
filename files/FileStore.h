#pragma once

#include "files/FileResult.h"

#include <QByteArray>
#include <QString>

namespace veldo {

// Access is judged by the permission bits as well as by the system, so that a file or
// folder that grants nobody write access counts as read-only even for root.

// The whole content of a file. A file that does not exist reads as empty; a folder, a
// device or a file without read access fails.
FileResult readFileBytes(const QString &fileName, QByteArray &bytes);

// Replaces the content of a file in one atomic step, writing through symbolic links to
// their target and keeping the file's permissions and owner. On failure the file is left
// exactly as it was.
FileResult replaceFileBytes(const QString &fileName, const QByteArray &bytes);

} // namespace veldo
