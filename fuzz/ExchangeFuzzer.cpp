// SPDX-License-Identifier: GPL-3.0-or-later
// Download and Upload fed any bytes over any ticks. The first byte picks the exchange (even:
// Download, odd: Upload); then each tick's bytes follow as a length byte and that many bytes.
// Checked at every tick against the bytes fed so far: an image is taken only when its
// checksum holds, a verdict only at buffer length 1 or 199, the exchange ends by the fifth
// tick and that tick never reads the port.
#include "FuzzCheck.h"

#include "protocol/Exchange.h"

#include <algorithm>
#include <cstdint>

using namespace veldo;
using veldo::fuzz::check;

namespace {

// More ticks of input than an exchange may read, so that reading too late would show.
constexpr int kMostChunks = kTimeoutTick + 1;

struct Feed {
    bool upload = false;
    QByteArrayList chunks; // chunks[t - 1] is what the port holds at tick t
};

Feed feedOf(const std::uint8_t *data, std::size_t size)
{
    Feed feed;
    std::size_t at = 0;
    if (at < size)
        feed.upload = data[at++] & 1;
    while (at < size && feed.chunks.size() < kMostChunks) {
        const std::size_t wanted = data[at++];
        const std::size_t length = std::min(wanted, size - at);
        feed.chunks.append(QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(length)));
        at += length;
    }
    return feed;
}

// Worked out here byte by byte rather than with the codec's own function.
bool checksumHolds(QByteArrayView image)
{
    std::uint8_t sum = 0;
    for (qsizetype offset = 1; offset < kChecksumOffset; ++offset)
        sum ^= std::uint8_t(image[offset]);
    return sum == std::uint8_t(image[kChecksumOffset]);
}

void checkDownloadTick(const Feed &feed, const QByteArray &fed, int tick, const TickResult &result)
{
    // An echo of the request can only come first, in the first tick's bytes.
    const bool echoed = feed.chunks.value(0).startsWith(char(kDownloadRequest));
    const QByteArray answer = echoed ? fed.mid(1) : fed;
    const bool complete = answer.size() >= kDeviceImageSize;
    check(result.ended == (complete || tick == kTimeoutTick), "a download ends once an image is in, or times out");
    if (!result.ended)
        return;
    check(result.config.has_value() == (result.outcome == ExchangeOutcome::Downloaded),
          "a configuration comes with a download and only with it");
    if (!complete) {
        check(result.outcome == ExchangeOutcome::TimedOut, "a download without an image times out");
        return;
    }
    const QByteArray image = answer.first(kDeviceImageSize);
    check(result.outcome == (checksumHolds(image) ? ExchangeOutcome::Downloaded : ExchangeOutcome::DownloadChecksum),
          "an image is taken if and only if its checksum holds");
    if (result.config) {
        const DeviceImage again = EncodeDeviceImage(*result.config);
        check(again.sliced(1) == image.sliced(1), "the configuration holds every bit of the image");
    }
}

void checkUploadTick(const QByteArray &fed, int tick, const TickResult &result)
{
    const bool verdictLength = fed.size() == 1 || fed.size() == kDeviceImageSize + 1;
    const auto last = fed.isEmpty() ? 0 : std::uint8_t(fed.back());
    const bool accepted = verdictLength && last == kAcknowledge;
    const bool rejected = verdictLength && last == kNegativeAcknowledge;
    if (tick == kTimeoutTick && !accepted && !rejected) {
        check(result.ended && result.outcome == ExchangeOutcome::TimedOut, "an upload without a verdict times out");
        return;
    }
    check(result.ended == (accepted || rejected), "an upload ends on a verdict at length 1 or 199");
    check(!result.config, "an upload brings no configuration");
    if (result.ended)
        check(result.outcome == (accepted ? ExchangeOutcome::UploadAccepted : ExchangeOutcome::UploadRejected),
              "the outcome is the verdict's");
}

template <typename Exchange, typename CheckTick>
void run(const Feed &feed, CheckTick checkTick)
{
    Exchange exchange;
    QByteArray fed;
    const ReadInput readInput = [&] {
        check(exchange.tickCount() < kTimeoutTick, "the port is never read on the fifth tick");
        const QByteArray chunk = feed.chunks.value(exchange.tickCount() - 1);
        fed += chunk;
        return chunk;
    };
    for (int tick = 1;; ++tick) {
        check(tick <= kTimeoutTick, "the exchange ends by the fifth tick");
        const TickResult result = exchange.tick(readInput);
        check(exchange.tickCount() == tick, "every tick is counted");
        checkTick(fed, tick, result);
        if (result.ended)
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Feed feed = feedOf(data, size);
    const QByteArray all = feed.chunks.join();
    DecodeDeviceImage(all); // any length: short images read as zeros
    check(deviceImageChecksumHolds(all) == (all.size() == kDeviceImageSize && checksumHolds(all)),
          "the checksum is the XOR of offsets 1 to 196");
    if (feed.upload)
        run<UploadExchange>(feed, checkUploadTick);
    else
        run<DownloadExchange>(feed, [&feed](const QByteArray &fed, int tick, const TickResult &result) {
            checkDownloadTick(feed, fed, tick, result);
        });
    return 0;
}
