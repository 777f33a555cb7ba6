// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace veldo {

// A raw, 8-bit transparent pseudo-terminal pair. The slave side stands in for a serial
// device (the tool opens slavePath()); the master side plays the box. The master is
// non-blocking.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

    // Writes all bytes to the master side; false when the pair is closed or the write fails.
    bool write(const QByteArray &bytes);
    // Everything that has arrived on the master side so far, possibly nothing.
    QByteArray readAvailable();
    // Closes the master side: the device vanishes for whoever has the slave open. The slave
    // stays held until destruction, so that the kernel gives its number to no other
    // pseudo-terminal while links and lock files may still name it.
    void close();

private:
    int m_master = -1;
    int m_slaveKeeper = -1; // held open so that the slave does not hang up between opens, nor its number go
    QString m_slavePath;
};

} // namespace veldo
