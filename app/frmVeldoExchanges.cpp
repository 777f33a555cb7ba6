// Download and Upload: the window's side of the two exchanges with the box. The decisions
// are the core's; these handlers wire them to the buttons, the timers, the status line and
// the port.
#include "app/frmVeldo.h"

#include "app/MessageBox.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace veldo {

namespace {
const QString kDownloadWaiting = QStringLiteral("Download: Wait for answer");
const QString kUploadWaiting = QStringLiteral("Upload: Wait for acknowledge");
} // namespace

void frmVeldo::Download_Click()
{
    if (!MSComm.portOpen())
        return;
    startExchange(std::make_unique<DownloadExchange>(), DownloadTimer, DownloadExchange::request());
}

void frmVeldo::Upload_Click()
{
    if (!MSComm.portOpen())
        return;
    startExchange(std::make_unique<UploadExchange>(), UploadTimer, UploadExchange::request(configuration()));
}

void frmVeldo::DownloadTimer_Timer()
{
    pollExchange(DownloadTimer, kDownloadWaiting);
}

void frmVeldo::UploadTimer_Timer()
{
    pollExchange(UploadTimer, kUploadWaiting);
}

void frmVeldo::startExchange(std::unique_ptr<ExchangePoll> exchange, QTimer *timer, const QByteArray &request)
{
    MSComm.discardInput();
    Download->setEnabled(false);
    Upload->setEnabled(false);
    // A failed write closes the port; the exchange then runs out as a time-out.
    MSComm.output(request);
    RunningExchange = std::move(exchange);
    timer->start();
}

void frmVeldo::pollExchange(QTimer *timer, const QString &waitingText)
{
    blinkStatus(waitingText);
    const TickResult result = RunningExchange->tick(portReader());
    if (!result.ended)
        return;
    endExchange(timer);
    RunningExchange.reset();
    if (result.config)
        showDownload(*result.config);
    reportOutcome(result.outcome);
}

ReadInput frmVeldo::portReader()
{
    return [this] { return MSComm.input(); };
}

void frmVeldo::blinkStatus(const QString &waitingText)
{
    LblCopyRight->hide();
    LblMsg->setText(waitingText);
    LblMsg->setVisible(!LblMsg->isVisible());
}

void frmVeldo::endExchange(QTimer *timer)
{
    Download->setEnabled(true);
    Upload->setEnabled(true);
    timer->stop();
    LblMsg->hide();
    LblCopyRight->show();
}

void frmVeldo::reportOutcome(ExchangeOutcome outcome)
{
    switch (outcome) {
    case ExchangeOutcome::Downloaded:
        return; // the new values in the fields say it all
    case ExchangeOutcome::DownloadChecksum:
        return MessageBox::show(this, QStringLiteral("Error: Checksum Error"));
    case ExchangeOutcome::UploadAccepted:
        return MessageBox::show(this, QStringLiteral("Success: Upload OK"));
    case ExchangeOutcome::UploadRejected:
        return MessageBox::show(this, QStringLiteral("Error: Checksum error"));
    case ExchangeOutcome::TimedOut:
        return MessageBox::show(this, QStringLiteral("Error: Communication time-out"));
    }
}

} // namespace veldo
