// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/ExchangeRunner.h"

namespace veldo {

ExchangeRunner::ExchangeRunner(Line &line, QObject *parent, Pace pace)
    : QObject(parent)
    , m_line(&line)
    , m_pace(pace)
{
    setObjectName(QStringLiteral("ExchangeRunner"));
    m_timer.setTimerType(Qt::PreciseTimer);
    if (pace == Pace::Ticks) {
        m_timer.setInterval(kPollIntervalMs);
        connect(&m_timer, &QTimer::timeout, this, &ExchangeRunner::poll);
        return;
    }
    m_timer.setSingleShot(true);
    m_timer.setInterval(kPollIntervalMs * kTimeoutTick);
    connect(&m_timer, &QTimer::timeout, this, [this] { conclude({true, ExchangeOutcome::TimedOut, std::nullopt}); });
    connect(m_line, &Line::received, this, &ExchangeRunner::takeArrived);
}

void ExchangeRunner::setLine(Line &line)
{
    if (m_line == &line)
        return;
    if (m_line)
        disconnect(m_line, nullptr, this, nullptr);
    m_line = &line;
    if (m_pace == Pace::AsBytesArrive)
        connect(m_line, &Line::received, this, &ExchangeRunner::takeArrived);
}

bool ExchangeRunner::startDownload()
{
    return start(Kind::Download, std::make_unique<DownloadExchange>(), DownloadExchange::request());
}

bool ExchangeRunner::startUpload(const SwitchConfig &config)
{
    return start(Kind::Upload, std::make_unique<UploadExchange>(), UploadExchange::request(config));
}

bool ExchangeRunner::start(Kind kind, std::unique_ptr<ExchangePoll> exchange, const QByteArray &request)
{
    if (isRunning() || !m_line || !m_line->isOpen())
        return false;
    m_line->discardInput();
    // A failed write closes the line; the exchange then runs out as a time-out.
    m_line->write(request);
    m_kind = kind;
    m_exchange = std::move(exchange);
    m_sent = request.size();
    m_received = 0;
    m_timer.start();
    return true;
}

void ExchangeRunner::abandon()
{
    m_timer.stop();
    m_exchange.reset();
}

void ExchangeRunner::poll()
{
    emit ticked();
    if (m_exchange) // else abandoned by a receiver of ticked()
        conclude(m_exchange->tick([this] { return m_line ? m_line->readAll() : QByteArray(); }));
}

void ExchangeRunner::takeArrived()
{
    if (m_exchange)
        conclude(m_exchange->take(m_line->readAll()));
}

void ExchangeRunner::conclude(const TickResult &result)
{
    if (m_exchange)
        m_received = m_exchange->received();
    if (!result.ended)
        return;
    abandon();
    emit finished(result.outcome, result.config);
}

} // namespace veldo
