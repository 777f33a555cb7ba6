// Download and Upload: the window's side of the two exchanges with the box. The core runs
// them; these handlers wire them to the buttons, the status line and the messages.
#include "app/frmVeldo.h"

#include "app/MessageBox.h"
#include "link/PortProbe.h"

#include <QLabel>
#include <QPushButton>

namespace veldo {

namespace {
const QString kDownloadWaiting = QStringLiteral("Download: Wait for answer");
const QString kUploadWaiting = QStringLiteral("Upload: Wait for acknowledge");
} // namespace

void frmVeldo::Download_Click()
{
    if (!MSComm.portOpen())
        return reportNoPort();
    setExchangeButtonsEnabled(false);
    Exchange->startDownload();
}

void frmVeldo::Upload_Click()
{
    if (!MSComm.portOpen())
        return reportNoPort();
    setExchangeButtonsEnabled(false);
    Exchange->startUpload(configuration());
}

// A click with no port open would otherwise do nothing at all; a fresh probe says why.
void frmVeldo::reportNoPort()
{
    MessageBox::show(this, whyNoPort(DiscoverPorts(MSComm.portMap())));
}

void frmVeldo::Exchange_Tick()
{
    blinkStatus(Exchange->kind() == ExchangeRunner::Kind::Download ? kDownloadWaiting : kUploadWaiting);
}

void frmVeldo::Exchange_Finished(ExchangeOutcome outcome, const std::optional<SwitchConfig> &config)
{
    setExchangeButtonsEnabled(true);
    LblMsg->hide();
    LblCopyRight->show();
    if (config)
        showDownload(*config);
    if (const QString message = outcomeMessage(outcome); !message.isEmpty())
        MessageBox::show(this, message);
}

void frmVeldo::setExchangeButtonsEnabled(bool enabled)
{
    Download->setEnabled(enabled);
    Upload->setEnabled(enabled);
}

void frmVeldo::blinkStatus(const QString &waitingText)
{
    LblCopyRight->hide();
    LblMsg->setText(waitingText);
    LblMsg->setVisible(!LblMsg->isVisible());
}

} // namespace veldo
