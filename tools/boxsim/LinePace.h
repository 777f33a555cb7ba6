// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <chrono>

namespace veldo {

// 9600 baud, 8N1: a start bit, eight data bits and a stop bit for every byte.
inline constexpr std::chrono::nanoseconds kLineByteTime{std::chrono::nanoseconds(std::chrono::seconds(1)).count() * 10 / 9600};

// One direction of a serial line: it carries one byte at a time, so bytes pass no faster
// than one per byte time. With a zero byte time everything passes at once.
class LinePace {
public:
    explicit LinePace(std::chrono::nanoseconds byteTime);

    // Bytes are waiting after the line stood idle: the next may go now, not earlier.
    void wake();
    // How many of wanted waiting bytes have passed by now; booked as gone.
    qsizetype take(qsizetype wanted);
    // Milliseconds until the next waiting byte has passed.
    int msUntilNext() const;
    // Bytes that arrived at once: milliseconds until the last would have passed the line.
    int book(qsizetype count);

private:
    std::chrono::nanoseconds now() const { return std::chrono::nanoseconds(m_clock.nsecsElapsed()); }

    std::chrono::nanoseconds m_byteTime;
    QElapsedTimer m_clock;
    std::chrono::nanoseconds m_nextAt{0}; // since m_clock started
};

} // namespace veldo
