#include "link/CommPort.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>

#include <cerrno>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace veldo {

namespace {

struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

QSerialPort::Parity parityFromLetter(QChar letter)
{
    switch (letter.toLower().unicode()) {
    case 'e': return QSerialPort::EvenParity;
    case 'o': return QSerialPort::OddParity;
    case 'm': return QSerialPort::MarkParity;
    case 's': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

// "baud,parity,data bits,stop bits", e.g. "9600,n,8,1". A UART sends 1.5 stop bits only
// with 5 data bits and 2 only with more, so the other pairings are refused.
std::optional<LineSettings> parseSettings(const QString &text)
{
    static const QRegularExpression format(QStringLiteral(R"(^(\d+),([neoms]),([5-8]),(1|1\.5|2)$)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = format.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    LineSettings line;
    line.baudRate = match.captured(1).toInt(&ok);
    line.parity = parityFromLetter(match.captured(2).at(0));
    line.dataBits = static_cast<QSerialPort::DataBits>(match.captured(3).toInt());
    const QString stop = match.captured(4);
    const bool fiveBits = line.dataBits == QSerialPort::Data5;
    if (!ok || line.baudRate <= 0 || (stop != QLatin1String("1") && (stop == QLatin1String("1.5")) != fiveBits))
        return std::nullopt;
    // Linux has no setting for 1.5 stop bits: the UART turns "two" into 1.5 with 5 data bits.
    line.stopBits = stop == QLatin1String("1") ? QSerialPort::OneStop : QSerialPort::TwoStop;
    return line;
}

// Opens the device once more and holds an exclusive lock on it while the port is open.
// QSerialPort's lock file and TIOCEXCL do not keep out programs that lock with flock, nor
// anyone running as root; and a device in exclusive mode is held by someone else.
// Returns the descriptor, or -1 when the device cannot be opened or is in use.
int claimDevice(const QString &device)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int exclusive = 0;
    const bool heldExclusively = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    if (heldExclusively || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether a program that marks serial devices with a lock file (as QSerialPort and the
// classic terminal programs do) holds this one: the file names a running process.
bool heldByLockFile(const QString &device)
{
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    QFile lockFile(QStringLiteral("/var/lock/LCK..") + name.replace(u'/', u'_'));
    if (!lockFile.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const qint64 pid = lockFile.readLine(32).trimmed().toLongLong(&ok);
    return ok && pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// Whether the system has hung the device up or marked it in error. A read that finds
// nothing also reports an error, which says nothing about the device by itself.
bool deviceFailed(int fd)
{
    pollfd probe{fd, 0, 0};
    return ::poll(&probe, 1, 0) < 0 || (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace

CommPort::CommPort(PortMap map, QObject *parent)
    : QObject(parent), m_map(std::move(map)), m_port(new QSerialPort(this))
{
    // A vanished device reports errors as fast as the loop turns until the port is closed,
    // so the first real one closes it.
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_port->isOpen())
            return;
        if (!deviceFailed(static_cast<int>(m_port->handle())))
            return;
        setPortOpen(false);
        emit failed();
    });
}

CommPort::~CommPort()
{
    setPortOpen(false);
}

void CommPort::setCommPort(int port)
{
    if (!portOpen() && port >= kFirstPort && port <= kLastPort)
        m_commPort = port;
}

bool CommPort::setSettings(const QString &text)
{
    if (portOpen() || !parseSettings(text))
        return false;
    m_settings = text;
    return true;
}

bool CommPort::portOpen() const
{
    return m_port->isOpen();
}

bool CommPort::canOpen() const
{
    if (portOpen())
        return true;
    const QString device = devicePath();
    if (device.isEmpty() || heldByLockFile(device))
        return false;
    const int fd = claimDevice(device);
    if (fd < 0)
        return false;
    termios line{};
    const bool terminal = ::tcgetattr(fd, &line) == 0;
    ::close(fd);
    return terminal;
}

bool CommPort::setPortOpen(bool open)
{
    if (open == portOpen())
        return open;
    if (!open) {
        m_port->close();
        ::close(m_lockFd);
        m_lockFd = -1;
        return false;
    }
    const QString device = devicePath();
    const std::optional<LineSettings> line = parseSettings(m_settings);
    if (device.isEmpty() || !line)
        return false;
    m_lockFd = claimDevice(device);
    if (m_lockFd < 0)
        return false;
    m_port->setPortName(device);
    m_port->setBaudRate(line->baudRate);
    m_port->setParity(line->parity);
    m_port->setDataBits(line->dataBits);
    m_port->setStopBits(line->stopBits);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        ::close(m_lockFd);
        m_lockFd = -1;
        return false;
    }
    return true;
}

void CommPort::discardInput()
{
    // Drops both what the system holds and what QSerialPort has already fetched.
    if (portOpen())
        m_port->clear(QSerialPort::Input);
}

bool CommPort::output(const QByteArray &bytes)
{
    if (!portOpen() || m_port->write(bytes) != bytes.size())
        return false;
    // Hands the bytes to the system now, without waiting for the line.
    m_port->flush();
    return portOpen();
}

QByteArray CommPort::input()
{
    return portOpen() ? m_port->readAll() : QByteArray();
}

QString CommPort::devicePath() const
{
    const QString path = m_map.devicePath(m_commPort);
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

} // namespace veldo
