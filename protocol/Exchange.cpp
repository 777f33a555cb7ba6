// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/Exchange.h"

#include <QCoreApplication>

#include <utility>

namespace veldo {

namespace {

// The verdict alone, or after the 198 image bytes returned by an echoing link.
constexpr qsizetype kVerdictAloneLength = 1;
constexpr qsizetype kVerdictAfterEchoLength = kDeviceImageSize + 1;

TickResult endedWith(ExchangeOutcome outcome)
{
    return {true, outcome, std::nullopt};
}

} // namespace

// Translated in the window; the command line tool loads no translation and says them in English.
QString outcomeMessage(ExchangeOutcome outcome)
{
    switch (outcome) {
    case ExchangeOutcome::Downloaded: break;
    case ExchangeOutcome::DownloadChecksum:
        return QCoreApplication::translate("veldo::ExchangeOutcome", "Error: Checksum Error");
    case ExchangeOutcome::UploadAccepted:
        return QCoreApplication::translate("veldo::ExchangeOutcome", "Success: Upload OK");
    case ExchangeOutcome::UploadRejected:
        return QCoreApplication::translate("veldo::ExchangeOutcome", "Error: Checksum error");
    case ExchangeOutcome::TimedOut:
        return QCoreApplication::translate("veldo::ExchangeOutcome", "Error: Communication time-out");
    }
    return {};
}

TickResult ExchangePoll::tick(const ReadInput &readInput)
{
    ++m_tickCount;
    // At or past the time-out tick: a late answer is not looked for, so the port is left alone.
    if (m_tickCount >= kTimeoutTick)
        return endedWith(ExchangeOutcome::TimedOut);
    return take(readInput());
}

TickResult ExchangePoll::take(const QByteArray &bytes)
{
    const bool firstRead = !std::exchange(m_hasRead, true);
    m_received += bytes.size();
    m_commBuffer += bytes;
    return decide(firstRead);
}

QByteArray DownloadExchange::request()
{
    return QByteArray(1, char(kDownloadRequest));
}

TickResult DownloadExchange::decide(bool firstRead)
{
    // An echoing link returns the request before the answer; only the first read can hold it.
    if (firstRead && m_commBuffer.startsWith(char(kDownloadRequest)))
        m_commBuffer.remove(0, 1);
    if (m_commBuffer.size() < kDeviceImageSize)
        return {};
    const QByteArrayView image = QByteArrayView(m_commBuffer).first(kDeviceImageSize);
    if (!deviceImageChecksumHolds(image))
        return endedWith(ExchangeOutcome::DownloadChecksum);
    return {true, ExchangeOutcome::Downloaded, DecodeDeviceImage(image)};
}

QByteArray UploadExchange::request(const SwitchConfig &config)
{
    return EncodeDeviceImage(config);
}

TickResult UploadExchange::decide(bool /*firstRead*/)
{
    const qsizetype length = m_commBuffer.size();
    if (length != kVerdictAloneLength && length != kVerdictAfterEchoLength)
        return {};
    switch (std::uint8_t(m_commBuffer.back())) {
    case kNegativeAcknowledge:
        return endedWith(ExchangeOutcome::UploadRejected);
    case kAcknowledge:
        return endedWith(ExchangeOutcome::UploadAccepted);
    default:
        return {};
    }
}

} // namespace veldo
