// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinePace.h"

#include <algorithm>

namespace veldo {

namespace {

int roundedUpMs(std::chrono::nanoseconds time)
{
    return int(std::chrono::ceil<std::chrono::milliseconds>(std::max(time, std::chrono::nanoseconds(0))).count());
}

} // namespace

LinePace::LinePace(std::chrono::nanoseconds byteTime)
    : m_byteTime(byteTime)
{
    m_clock.start();
}

void LinePace::wake()
{
    m_nextAt = std::max(m_nextAt, now());
}

qsizetype LinePace::take(qsizetype wanted)
{
    if (m_byteTime.count() == 0)
        return wanted;
    const std::chrono::nanoseconds at = now();
    if (at < m_nextAt)
        return 0;
    // A late timer lets the bytes due meanwhile go together, so the rate holds on average.
    const qsizetype due = std::min<qsizetype>(wanted, qsizetype((at - m_nextAt) / m_byteTime) + 1);
    m_nextAt += due * m_byteTime;
    return due;
}

int LinePace::msUntilNext() const
{
    return roundedUpMs(m_nextAt - now());
}

int LinePace::book(qsizetype count)
{
    wake();
    m_nextAt += count * m_byteTime;
    return roundedUpMs(m_nextAt - now());
}

} // namespace veldo
