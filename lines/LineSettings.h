// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>

namespace veldo {

// How the line is driven: speed, framing and flow control.
struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;

    bool operator==(const LineSettings &) const = default;
};

// The box talks at 9600 baud, 8 data bits, no parity, 1 stop bit, without flow control.
inline constexpr LineSettings kBoxLineSettings{};

} // namespace veldo
