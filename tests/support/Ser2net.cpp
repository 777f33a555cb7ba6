// SPDX-License-Identifier: GPL-3.0-or-later
#include "Ser2net.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace veldo::test {

quint16 freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    socklen_t length = sizeof address;
    quint16 port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

QString Ser2net::program()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
    return onPath.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")}) : onPath;
}

bool Ser2net::writeConfig()
{
    const QString tls = m_tls ? QStringLiteral("ssl(key=%1,cert=%2),").arg(m_tls->keyFile, m_tls->certFile) : QString();
    // kickolduser off: a second connection is turned away with "Port already in use".
    const QString config = QStringLiteral("%YAML 1.1\n---\n"
                                          "connection: &box\n"
                                          "  accepter: telnet(rfc2217),%1tcp,127.0.0.1,%2\n"
                                          "  connector: serialdev(nouucplock),%3,115200e72,local,rtscts\n"
                                          "  options:\n"
                                          "    kickolduser: false\n")
                               .arg(tls)
                               .arg(m_port)
                               .arg(m_device);
    QFile file(m_folder.filePath(QStringLiteral("ser2net.yaml")));
    return file.open(QIODevice::WriteOnly) && file.write(config.toUtf8()) > 0;
}

// Read from the kernel's socket table rather than tried: a trial connection would take the
// port at ser2net for a moment and turn the test's own connection away as one too many.
bool Ser2net::acceptsConnections() const
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray listening = QByteArrayLiteral("0100007F:") + QByteArray::number(m_port, 16).toUpper().rightJustified(4, '0') + " 00000000:0000 0A";
    return table.readAll().contains(listening);
}

bool Ser2net::start()
{
    m_port = freeLoopbackPort();
    if (!m_folder.isValid() || m_port == 0 || !writeConfig())
        return failed(QStringLiteral("no folder, port or configuration for ser2net"));
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program(), {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-c"), m_folder.filePath(QStringLiteral("ser2net.yaml"))});
    if (!m_process.waitForStarted())
        return failed(QStringLiteral("ser2net did not start: ") + m_process.errorString());
    const QDeadlineTimer deadline(5000); // it starts within milliseconds; 5 s under any load
    while (!deadline.hasExpired()) {
        if (m_process.state() != QProcess::Running)
            return failed(QStringLiteral("ser2net ended: ") + QString::fromUtf8(m_process.readAll()));
        if (acceptsConnections())
            return true;
        QThread::msleep(20);
    }
    return failed(QStringLiteral("ser2net accepted no connection: ") + QString::fromUtf8(m_process.readAll()));
}

void Ser2net::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

} // namespace veldo::test
