#pragma once

#include "link/CommPort.h"
#include "link/Exchange.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

namespace veldo {

// Runs one exchange with the box on an open port: discards stale input, sends the request,
// then every kPollIntervalMs hands the exchange what has arrived until it ends. At most one
// runs at a time. The window and the command line both drive the box through this.
class ExchangeRunner : public QObject {
    Q_OBJECT
public:
    enum class Kind { Download, Upload };

    explicit ExchangeRunner(CommPort &port, QObject *parent = nullptr);

    // False, with nothing sent, when the port is closed or an exchange is running.
    bool startDownload();
    bool startUpload(const SwitchConfig &config);

    bool isRunning() const { return m_exchange != nullptr; }
    Kind kind() const { return m_kind; }
    // Stops waiting without an outcome.
    void abandon();

signals:
    // A poll tick of a running exchange, before the port is read.
    void ticked();
    // The exchange has ended; config holds the box's configuration after a download.
    void finished(veldo::ExchangeOutcome outcome, const std::optional<veldo::SwitchConfig> &config);

private:
    bool start(Kind kind, std::unique_ptr<ExchangePoll> exchange, const QByteArray &request);
    void poll();

    CommPort &m_port;
    QTimer m_timer;
    std::unique_ptr<ExchangePoll> m_exchange;
    Kind m_kind = Kind::Download;
};

} // namespace veldo
