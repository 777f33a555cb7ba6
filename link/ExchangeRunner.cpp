// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ExchangeRunner.h"

namespace veldo {

ExchangeRunner::ExchangeRunner(CommPort &port, QObject *parent, Pace pace)
    : QObject(parent)
    , m_port(port)
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
    connect(&m_port, &CommPort::received, this, &ExchangeRunner::takeArrived);
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
    if (isRunning() || !m_port.portOpen())
        return false;
    m_port.discardInput();
    // A failed write closes the port; the exchange then runs out as a time-out.
    m_port.output(request);
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
        conclude(m_exchange->tick([this] { return m_port.input(); }));
}

void ExchangeRunner::takeArrived()
{
    if (m_exchange)
        conclude(m_exchange->take(m_port.input()));
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
