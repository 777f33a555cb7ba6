// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lines/Line.h"
#include "protocol/Exchange.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

namespace veldo {

// Runs one exchange with the box on an open line: discards stale input, sends the request,
// then hands the exchange what has arrived until it ends. At most one runs at a time. The
// window and the command line both drive the box through this.
class ExchangeRunner : public QObject {
    Q_OBJECT
public:
    using Kind = ExchangeKind;
    using Pace = ExchangePace;

    explicit ExchangeRunner(Line &line, QObject *parent = nullptr, Pace pace = Pace::Ticks);

    // The line the next exchange runs over, when the port opened another.
    void setLine(Line &line);

    // False, with nothing sent, when the line is closed or an exchange is running.
    bool startDownload();
    bool startUpload(const SwitchConfig &config);

    bool isRunning() const { return m_exchange != nullptr; }
    Kind kind() const { return m_kind; }
    // Of the running or last exchange.
    qsizetype bytesSent() const { return m_sent; }
    qsizetype bytesReceived() const { return m_received; }
    // Stops waiting without an outcome.
    void abandon();

signals:
    // A poll tick of a running exchange, before the line is read.
    void ticked();
    // The exchange has ended; config holds the box's configuration after a download.
    void finished(veldo::ExchangeOutcome outcome, const std::optional<veldo::SwitchConfig> &config);

private:
    bool start(Kind kind, std::unique_ptr<ExchangePoll> exchange, const QByteArray &request);
    void poll();
    void takeArrived();
    void conclude(const TickResult &result);

    QPointer<Line> m_line; // a port on another machine replaces its line at each opening
    Pace m_pace;
    QTimer m_timer;
    std::unique_ptr<ExchangePoll> m_exchange;
    Kind m_kind = Kind::Download;
    qsizetype m_sent = 0;
    qsizetype m_received = 0;
};

} // namespace veldo
