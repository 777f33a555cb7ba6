// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/FileResult.h"
#include "system/UniqueFd.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace veldo {

// Access is judged by the permission bits as well as by the system, so that a file or
// folder that grants nobody write access counts as read-only even for root.

// The whole content of a file. A file that does not exist reads as empty; a folder, a
// device, a pipe, a file without read access or one larger than a configuration file can
// be fails. The file is opened once, without waiting, and judged on what was opened.
FileResult readFileBytes(const QString &fileName, QByteArray &bytes);

// A file to be replaced, held from the moment it is found: its folder and the file itself
// as descriptors, so that a name or a folder swapped by another user afterwards is noticed
// instead of followed. Symbolic links are followed to their target, but in a sticky folder
// that others may write only when they belong to this user or to the folder's owner.
//
// The replacement writes through symbolic links to their target. A new file, or one whose
// replacement by a renamed fresh copy changes nothing anyone can see, is replaced
// atomically by a rename; any other file (in a folder this user may not write, with other
// hard links, another owner or group, attributes that cannot be carried over) is written in
// place, keeping its inode, owner, group, mode, attributes and links. A result larger than
// a configuration file can be is refused. On failure the file is left byte for byte as it
// was, and when the name no longer leads to the file found, nothing is written anywhere.
class FileUpdate {
public:
    FileResult open(const QString &fileName);
    // The content of the file found: empty for a file still to be created.
    FileResult read(QByteArray &bytes) const;
    // Whether replace would find the file writable, without writing anything: the folder
    // exists and takes the file, the name is no folder or device, access is granted.
    FileResult check(bool *writableFolder = nullptr) const;
    FileResult replace(const QByteArray &bytes) const;

private:
    FileResult find(const QByteArray &path, int depth);
    bool unchanged() const;
    QByteArray magicPath() const;

    UniqueFd m_folder;
    QByteArray m_name;
    UniqueFd m_file; // pins the file found; not opened for reading or writing
    struct stat m_status {};
};

// Finds the file, then replaces its content (see FileUpdate).
FileResult replaceFileBytes(const QString &fileName, const QByteArray &bytes);

// Finds the file and checks it as FileUpdate::check does.
FileResult checkFileReplaceable(const QString &fileName);

} // namespace veldo
