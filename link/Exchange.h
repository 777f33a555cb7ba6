#pragma once

#include "config/SwitchConfig.h"
#include "link/DeviceImage.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <optional>

namespace veldo {

inline constexpr int kPollIntervalMs = 500;
inline constexpr int kTimeoutTick = 5;

enum class ExchangeOutcome {
    Downloaded,        // a valid image arrived; its configuration is in TickResult::config
    DownloadChecksum,  // an image arrived whose checksum fails
    UploadAccepted,    // the box acknowledged the image (6)
    UploadRejected,    // the box reported a checksum error (21)
    TimedOut,          // nothing usable by the fifth tick
};

// The message the user reads for an outcome; empty for a download, whose values say it all.
QString outcomeMessage(ExchangeOutcome outcome);

struct TickResult {
    bool ended = false;
    ExchangeOutcome outcome = ExchangeOutcome::TimedOut; // meaningful only when ended
    std::optional<SwitchConfig> config;                   // only with Downloaded
};

// Reads every byte the port has received since the last read, without waiting.
using ReadInput = std::function<QByteArray()>;

// One running exchange and what it has seen: CommBuffer and TickCount. Each tick hands it
// the port's reader; it says whether to keep waiting or how the exchange ended.
class ExchangePoll {
public:
    virtual ~ExchangePoll() = default;
    virtual TickResult tick(const ReadInput &readInput) = 0;

    std::int16_t tickCount() const { return m_tickCount; }

protected:
    // Counts the tick; on the time-out tick returns false without reading the port.
    bool countTickAndRead(const ReadInput &readInput);

    QByteArray m_commBuffer;
    std::int16_t m_tickCount = 0;
};

// Download: send one request byte, take a 198-byte image, with or without an echo.
class DownloadExchange : public ExchangePoll {
public:
    static QByteArray request();

    TickResult tick(const ReadInput &readInput) override;
};

// Upload: send an image, take the box's one-byte verdict, alone or after the echoed image.
class UploadExchange : public ExchangePoll {
public:
    static QByteArray request(const SwitchConfig &config);

    TickResult tick(const ReadInput &readInput) override;
};

} // namespace veldo
