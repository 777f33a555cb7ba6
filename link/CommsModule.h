#pragma once

#include "link/CommPort.h"
#include "link/PortList.h"

#include <QString>

#include <cstdint>

namespace veldo {

// Finds the usable serial ports, lists them and opens the chosen one with the box's settings.
// Holds the state that lives for the whole run: the port to select again after a refresh
// and the line settings last applied.
class CommsModule {
public:
    void RefreshPortList(PortList &combo, CommPort &comm, QString &portName);
    void SelectCommPort(PortList &combo, CommPort &comm);
    bool ConfigureCommPort(CommPort &comm, QString &baudRate, QString &dataBits, QString &parity,
                           QString &stopBits);

    std::int16_t preferredPort() const { return PreferredPort; }

private:
    std::int16_t PreferredPort = 0;
    QString LastBaudRate;
    QString LastDataBits;
    QString LastParity;
    QString LastStopBits;
};

// "Com5:"
QString portItemText(int port);
// The device path and, for USB adapters, description, maker and serial number.
QString portToolTip(const QString &devicePath);

} // namespace veldo
