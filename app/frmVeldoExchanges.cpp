// Download and Upload: the window's side of the two exchanges with the box. The core runs
// them; these handlers wire them to the buttons, the status line and the messages.
#include "app/frmVeldo.h"

#include "app/Announcer.h"
#include "app/MessageBox.h"

#include <QLabel>
#include <QPushButton>

namespace veldo {

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

void frmVeldo::Exchange_Tick()
{
    blinkStatus(Exchange->kind() == ExchangeRunner::Kind::Download ? tr("Download: Wait for answer")
                                                                   : tr("Upload: Wait for acknowledge"));
}

void frmVeldo::Exchange_Finished(ExchangeOutcome outcome, const std::optional<SwitchConfig> &config)
{
    setExchangeButtonsEnabled(true);
    LblMsg->hide();
    LblCopyRight->show();
    if (config) {
        showDownload(*config);
        // The fields change without a word: a screen reader would not know it worked.
        Announce->announce(tr("Download complete"));
    }
    if (const QString message = outcomeMessage(outcome); !message.isEmpty())
        MessageBox::show(this, message);
}

// A disabled button hands the focus on, here to Clear All, where the next Space would clear every
// code. The focus waits on the window instead, where no key acts, and comes back to the button
// afterwards, unless the user has moved it meanwhile.
void frmVeldo::setExchangeButtonsEnabled(bool enabled)
{
    if (!enabled && (Download->hasFocus() || Upload->hasFocus())) {
        FocusBeforeExchange = focusWidget();
        setFocus(Qt::OtherFocusReason);
    }
    Download->setEnabled(enabled);
    Upload->setEnabled(enabled);
    if (enabled && FocusBeforeExchange && (hasFocus() || !focusWidget()))
        FocusBeforeExchange->setFocus(Qt::OtherFocusReason);
    if (enabled)
        FocusBeforeExchange.clear();
}

void frmVeldo::blinkStatus(const QString &waitingText)
{
    if (LblCopyRight->isVisible())
        Announce->announce(waitingText); // once, at the first tick, not at each blink
    LblCopyRight->hide();
    LblMsg->setText(waitingText);
    LblMsg->setVisible(!LblMsg->isVisible());
}

} // namespace veldo
