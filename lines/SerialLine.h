// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lines/Line.h"
#include "lines/LineSettings.h"
#include "system/UniqueFd.h"

class QSerialPort;

namespace veldo {

// A local serial device as the line to the box. It is opened on a device that its caller has
// already claimed, and keeps that claim for as long as it is open.
class SerialLine : public Line {
    Q_OBJECT
public:
    explicit SerialLine(QObject *parent = nullptr);
    ~SerialLine() override;

    // Opens the device with these settings. claim: the descriptor that holds the device's
    // flock, closed with the line; lockFile: the lock file QSerialPort makes, which an exit at
    // the signal deadline removes. False, with failure() saying why, when it does not open.
    bool open(const QString &device, UniqueFd claim, const QString &lockFile, const LineSettings &settings);

    bool isOpen() const override;
    void discardInput() override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void close() override;
    QString failure() const override { return m_failure; }

private:
    QSerialPort *m_port = nullptr;
    UniqueFd m_claim;
    QString m_failure;
};

} // namespace veldo
