// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"
#include "protocol/DeviceImage.h"
#include "protocol/ExchangeOutcome.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <optional>

namespace veldo {

inline constexpr int kPollIntervalMs = 500;
inline constexpr int kTimeoutTick = 5;

struct TickResult {
    bool ended = false;
    ExchangeOutcome outcome = ExchangeOutcome::TimedOut; // meaningful only when ended
    std::optional<SwitchConfig> config;                  // only with Downloaded
};

// Reads every byte the port has received since the last read, without waiting.
using ReadInput = std::function<QByteArray()>;

// One running exchange and what it has seen: CommBuffer and TickCount. It is fed either by
// the window's ticks, each handing it the port's reader, or by bytes as they arrive; either
// way it says whether to keep waiting or how the exchange ended, by the same rules.
class ExchangePoll {
public:
    virtual ~ExchangePoll() = default;

    // A poll tick: counted; the time-out tick ends the exchange without reading the port,
    // any other reads what has arrived and takes it.
    TickResult tick(const ReadInput &readInput);
    // Bytes just read from the port. Whoever feeds bytes this way keeps the time-out.
    TickResult take(const QByteArray &bytes);

    std::int16_t tickCount() const { return m_tickCount; }
    qsizetype received() const { return m_received; }

protected:
    // Decides on CommBuffer; firstRead says the bytes of the exchange's first read were just added.
    virtual TickResult decide(bool firstRead) = 0;

    QByteArray m_commBuffer;

private:
    std::int16_t m_tickCount = 0;
    qsizetype m_received = 0;
    bool m_hasRead = false;
};

// Download: send one request byte, take a 198-byte image, with or without an echo.
class DownloadExchange : public ExchangePoll {
public:
    static QByteArray request();

protected:
    TickResult decide(bool firstRead) override;
};

// Upload: send an image, take the box's one-byte verdict, alone or after the echoed image.
class UploadExchange : public ExchangePoll {
public:
    static QByteArray request(const SwitchConfig &config);

protected:
    TickResult decide(bool firstRead) override;
};

} // namespace veldo
