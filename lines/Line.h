// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace veldo {

// What carries the bytes to and from the box: a local serial device or a network connection. The exchanges never know which.
// Nothing here waits: write() queues, readAll() takes what has arrived.
class Line : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Line() override = default;

    virtual bool isOpen() const = 0;
    // Drops whatever has arrived but not been read (and, where the far end can, its buffers too).
    virtual void discardInput() = 0;
    // Queued at once; false when closed or the write fails.
    virtual bool write(const QByteArray &bytes) = 0;
    // All bytes received so far, possibly none.
    virtual QByteArray readAll() = 0;
    virtual void close() = 0;
    // Why the line failed, for messages (empty while it has not failed).
    virtual QString failure() const = 0;

signals:
    // New bytes wait to be read.
    void received();
    // The line broke (device gone, connection lost, write failed); it is closed. failure() says why.
    void failed();
};

} // namespace veldo
