// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/KeptDownloads.h"

#include "files/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace veldo {

namespace {

// The time in the name, then the number that keeps two of one second apart.
const QRegularExpression kKeptName(
    QStringLiteral(R"(^(\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d)-[A-Za-z][A-Za-z0-9_.-]*?(?:-(\d+))?\.ini$)"));

FileResult makeFolder(const QString &folder)
{
    namespace fs = std::filesystem;
    const fs::path path(QFile::encodeName(folder).toStdString());
    std::error_code error;
    if (fs::create_directories(path, error))
        fs::permissions(path, fs::perms::owner_all, error);
    return error ? failureOf(error.value()) : FileResult{};
}

// Claims a name no other file has, so that a download never lands in another file.
FileResult createNewFile(const QDir &folder, const QString &stem, QString &fileName)
{
    for (int sequence = 1; sequence <= kKeptDownloadCount + 1; ++sequence) {
        fileName = folder.filePath(sequence == 1 ? stem + QStringLiteral(".ini")
                                                 : QStringLiteral("%1-%2.ini").arg(stem).arg(sequence));
        const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return {};
        }
        if (errno != EEXIST)
            return failureOf(errno);
    }
    return {.kind = FileError::NamesTaken, .name = stem};
}

void removeOldest(QDir folder)
{
    struct Kept {
        QString time;
        int sequence;
        QString name;
    };
    std::vector<Kept> kept;
    for (const QString &name : folder.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = kKeptName.match(name);
        if (match.hasMatch())
            kept.push_back({match.captured(1), match.captured(2).toInt(), name});
    }
    if (kept.size() <= std::size_t(kKeptDownloadCount))
        return;
    std::sort(kept.begin(), kept.end(), [](const Kept &a, const Kept &b) {
        return std::tie(a.time, a.sequence) < std::tie(b.time, b.sequence);
    });
    // A file that will not go stays; the next download tries again.
    for (std::size_t i = 0; i + kKeptDownloadCount < kept.size(); ++i)
        folder.remove(kept[i].name);
}

} // namespace

QString keptDownloadsFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/veldo/downloads");
}

FileResult saveTimedCopy(const SwitchConfig &config, const QString &port, const QDateTime &now, const QString &folder,
                         QString &fileName)
{
    if (FileResult made = makeFolder(folder); !made.ok())
        return made;
    const QString stem = now.toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss-")) + port;
    if (FileResult created = createNewFile(QDir(folder), stem, fileName); !created.ok())
        return created;
    FileResult saved = saveConfigFile(fileName, config);
    if (!saved.ok())
        QFile::remove(fileName);
    return saved;
}

FileResult keepDownload(const SwitchConfig &config, const QString &port, const QDateTime &now, const QString &folder)
{
    QString fileName;
    FileResult saved = saveTimedCopy(config, port, now, folder, fileName);
    if (saved.ok())
        removeOldest(QDir(folder));
    return saved;
}

} // namespace veldo
