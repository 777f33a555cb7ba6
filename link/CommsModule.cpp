#include "link/CommsModule.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace veldo {

namespace {

const QString kProbeSettings = QStringLiteral("9600,n,8,1");

// The number a text starts with (after blanks, with a sign and a fraction), rounded to a
// whole number with halves to even; 0 when it starts with none.
qint64 leadingNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+))"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    // Clamped so that no digit string overflows the conversion.
    const double value = std::clamp(match.captured(0).trimmed().toDouble(), -1e15, 1e15);
    return static_cast<qint64>(std::nearbyint(value));
}

// A number beyond 16 bits names no port.
std::int16_t portNumber(qint64 value)
{
    const bool fits = value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
    return fits ? static_cast<std::int16_t>(value) : 0;
}

void selectItem(PortList &combo, CommPort &comm, int index)
{
    combo.setCurrentIndex(index);
    comm.setCommPort(combo.value(index));
}

// Looking up a device's details scans every serial device of the system, so only USB
// adapters, the only ones with details to show, are looked up.
bool isUsbAdapter(const QString &devicePath)
{
    const QString bus = QFileInfo(QStringLiteral("/sys/class/tty/%1/device/subsystem")
                                      .arg(QFileInfo(devicePath).fileName()))
                            .symLinkTarget();
    return bus.endsWith(QLatin1String("/usb")) || bus.endsWith(QLatin1String("/usb-serial"));
}

} // namespace

void CommsModule::RefreshPortList(PortList &combo, CommPort &comm, QString &portName)
{
    combo.clear();
    if (comm.portOpen()) {
        comm.setPortOpen(false);
        PreferredPort = static_cast<std::int16_t>(comm.commPort());
    }
    if (!portName.isEmpty()) {
        portName = portName.toUpper().remove(QStringLiteral("COM"), Qt::CaseInsensitive);
        PreferredPort = portNumber(leadingNumber(portName));
    }
    comm.setSettings(kProbeSettings);
    // A probe finds what an open would, without writing and removing a lock file per port.
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        comm.setCommPort(port);
        if (comm.canOpen())
            combo.addItem(portItemText(port), port, portToolTip(comm.devicePath()));
    }
    if (combo.count() > 0)
        selectItem(combo, comm, 0);
    for (int index = 0; index < combo.count(); ++index) {
        if (combo.value(index) == PreferredPort) {
            selectItem(combo, comm, index);
            break;
        }
    }
    if (comm.portOpen())
        comm.setPortOpen(false);
    QString baudRate, dataBits, parity, stopBits;
    ConfigureCommPort(comm, baudRate, dataBits, parity, stopBits);
}

void CommsModule::SelectCommPort(PortList &combo, CommPort &comm)
{
    const int index = combo.currentIndex();
    if (index < 0)
        return;
    if (comm.portOpen())
        comm.setPortOpen(false);
    comm.setCommPort(static_cast<std::int16_t>(combo.value(index)));
    QString baudRate, dataBits, parity, stopBits;
    ConfigureCommPort(comm, baudRate, dataBits, parity, stopBits);
}

bool CommsModule::ConfigureCommPort(CommPort &comm, QString &baudRate, QString &dataBits, QString &parity,
                                    QString &stopBits)
{
    if (baudRate.isEmpty())
        baudRate = LastBaudRate;
    if (dataBits.isEmpty())
        dataBits = LastDataBits;
    if (parity.isEmpty())
        parity = LastParity;
    if (stopBits.isEmpty())
        stopBits = LastStopBits;

    const qint64 baud = leadingNumber(baudRate);
    const qint64 bits = leadingNumber(dataBits);
    baudRate = QString::number(baud == 0 ? 9600 : baud);
    dataBits = QString::number(bits < 5 || bits > 8 ? 8 : bits);
    parity = parity.left(1).toLower();
    if (parity.isEmpty() || !QStringLiteral("neoms").contains(parity))
        parity = QStringLiteral("n");
    if (stopBits == QLatin1String("1.5") || stopBits == QLatin1String("1,5") || stopBits == QLatin1String("2"))
        stopBits = dataBits == QLatin1String("5") ? QStringLiteral("1.5") : QStringLiteral("2");
    else
        stopBits = QStringLiteral("1");

    LastBaudRate = baudRate;
    LastDataBits = dataBits;
    LastParity = parity;
    LastStopBits = stopBits;

    const QString settings = baudRate + u',' + parity + u',' + dataBits + u',' + stopBits;
    if (comm.settings() == settings && comm.portOpen())
        return true;
    if (comm.portOpen())
        comm.setPortOpen(false);
    if (!comm.setSettings(settings))
        return false;
    return comm.setPortOpen(true);
}

QString portItemText(int port)
{
    return QStringLiteral("Com%1:").arg(port);
}

QString portToolTip(const QString &devicePath)
{
    if (!isUsbAdapter(devicePath))
        return devicePath;
    const QSerialPortInfo info(devicePath);
    QStringList lines{devicePath};
    for (const QString &detail : {info.description(), info.manufacturer(), info.serialNumber()}) {
        if (!detail.isEmpty())
            lines << detail;
    }
    return lines.join(u'\n');
}

} // namespace veldo
