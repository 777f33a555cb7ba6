#include "link/LockFile.h"

#include <QFile>

namespace veldo {

QString lockFilePath(const QString &device)
{
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    return QStringLiteral("/var/lock/LCK..") + name.replace(u'/', u'_');
}

std::optional<qint64> lockFileOwner(const QString &device)
{
    QFile lockFile(lockFilePath(device));
    if (!lockFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const qint64 pid = lockFile.read(128).simplified().split(' ').value(0).toLongLong(&ok);
    return ok && pid > 0 ? std::optional<qint64>(pid) : std::nullopt;
}

} // namespace veldo
