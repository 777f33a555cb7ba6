#include "files/TempFile.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <csignal>

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

bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

TempFile::TempFile(const QString &folder)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString name = QStringLiteral(".veldo-%1-%2.tmp").arg(::getpid()).arg(randomTag());
        path_ = QFile::encodeName(QDir(folder).filePath(name));
        fd_ = UniqueFd(::open(path_.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (fd_.valid() || errno != EEXIST)
            break;
    }
    if (!fd_.valid())
        path_.clear();
}

TempFile::~TempFile()
{
    if (valid() && !kept_)
        ::unlink(path_.constData());
}

void removeStaleTempFiles(const QString &folder)
{
    static const QRegularExpression kOurName(QStringLiteral("^\\.veldo-(\\d+)-[A-Za-z0-9]{6}\\.tmp$"));
    const QDir dir(folder);
    const qint64 staleBefore = QDateTime::currentSecsSinceEpoch() - kStaleAfter.count();
    for (const QString &name : dir.entryList({QStringLiteral(".veldo-*.tmp")}, QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = kOurName.match(name);
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat status {};
        if (!match.hasMatch() || ::lstat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode)
            || status.st_uid != ::geteuid() || status.st_mtime > staleBefore
            || processRuns(match.captured(1).toLongLong()))
            continue;
        ::unlink(path.constData());
    }
}

} // namespace veldo
