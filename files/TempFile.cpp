// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/TempFile.h"

#include "system/ProcessTable.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace veldo {

namespace {

constexpr int kNameAttempts = 100;
// A save takes well under this; a file younger than it may belong to a save still running.
constexpr std::chrono::seconds kStaleAfter{60};
constexpr char kNameLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QString randomTag()
{
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(kNameLetters[QRandomGenerator::global()->bounded(int(sizeof kNameLetters) - 1)]);
    return tag;
}

} // namespace

TempFile::TempFile(int folder)
    : m_folder(folder)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        m_name = QStringLiteral(".veldo-%1-%2.tmp").arg(::getpid()).arg(randomTag()).toLatin1();
        // Private from the first byte: the file's own mode is given only as it takes its place.
        m_fd = UniqueFd(::openat(m_folder, m_name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (m_fd.valid() || errno != EEXIST)
            break;
    }
    if (!m_fd.valid())
        m_name.clear();
}

TempFile::~TempFile()
{
    if (valid() && !m_kept)
        ::unlinkat(m_folder, m_name.constData(), 0);
}

void removeStaleTempFiles(int folder)
{
    static const QRegularExpression kOurName(QStringLiteral("^\\.veldo-(\\d+)-[A-Za-z0-9]{6}\\.tmp$"));
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *listing = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!listing) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    const qint64 staleBefore = QDateTime::currentSecsSinceEpoch() - kStaleAfter.count();
    while (const dirent *entry = ::readdir(listing)) {
        const QRegularExpressionMatch match = kOurName.match(QLatin1String(entry->d_name));
        struct stat status {};
        if (!match.hasMatch() || ::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid() || status.st_mtime > staleBefore
            || processRuns(match.captured(1).toLongLong()))
            continue;
        ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(listing);
}

} // namespace veldo
