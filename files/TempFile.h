// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/UniqueFd.h"

#include <QByteArray>

namespace veldo {

// A new, empty file with a short name of its own (".veldo-PID-XXXXXX.tmp") in a folder held
// as a descriptor, removed again when it goes out of scope unless it was kept. It is created
// readable and writable by this user alone, whatever the umask.
class TempFile {
public:
    // On failure valid() is false and errno tells why. The folder must outlive the file.
    explicit TempFile(int folder);
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile();

    bool valid() const { return m_fd.valid(); }
    int fd() const { return m_fd.get(); }
    const QByteArray &name() const { return m_name; }
    void keep() { m_kept = true; }

private:
    int m_folder;
    UniqueFd m_fd;
    QByteArray m_name;
    bool m_kept = false;
};

// Removes the temporary files of saves that were killed: only files named as TempFile names
// them, owned by this user, untouched for a while and whose process is gone.
void removeStaleTempFiles(int folder);

} // namespace veldo
