#pragma once

#include "files/UniqueFd.h"

#include <QByteArray>
#include <QString>

namespace veldo {

// A new, empty file with a short name of its own (".veldo-PID-XXXXXX.tmp") in a folder,
// removed again when it goes out of scope unless it was kept. Its mode is 0666 less the
// umask, as for any new file.
class TempFile {
public:
    // On failure valid() is false and errno tells why.
    explicit TempFile(const QString &folder);
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile();

    bool valid() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }
    const QByteArray &path() const { return path_; }
    void keep() { kept_ = true; }

private:
    UniqueFd fd_;
    QByteArray path_;
    bool kept_ = false;
};

// Removes the temporary files of saves that were killed: only files named as TempFile names
// them, owned by this user, untouched for a while and whose process is gone.
void removeStaleTempFiles(const QString &folder);

} // namespace veldo
