// SPDX-License-Identifier: GPL-3.0-or-later
// Download and Upload: the window's side of the two exchanges with the box. The core runs
// them; these handlers wire them to the buttons, the status line and the messages.
#include "app/frmVeldo.h"

#include "app/Announcer.h"
#include "app/MessageBox.h"
#include "app/StatusLine.h"
#include "files/FileReason.h"

#include <QDir>
#include <QPushButton>

namespace veldo {

void frmVeldo::Download_Click()
{
    if (!m_box->isOpen())
        return reportNoPort();
    setExchangeButtonsEnabled(false);
    m_box->startDownload();
}

void frmVeldo::Upload_Click()
{
    if (!m_box->isOpen())
        return reportNoPort();
    setExchangeButtonsEnabled(false);
    m_box->startUpload(configuration());
}

void frmVeldo::Exchange_Tick()
{
    blinkStatus(m_box->exchangeKind() == BoxSession::Kind::Download ? tr("Download: Wait for answer")
                                                                    : tr("Upload: Wait for acknowledge"));
}

void frmVeldo::Exchange_Finished(ExchangeOutcome outcome, const std::optional<SwitchConfig> &config)
{
    setExchangeButtonsEnabled(true);
    m_status->endWaiting();
    if (config) {
        replaceConfiguration(*config);
        // The fields change without a word: a screen reader would not know it worked.
        m_announce->announce(tr("Download complete"));
    }
    if (const QString message = outcomeMessage(outcome); !message.isEmpty())
        MessageBox::show(this, message);
}

// A disabled button hands the focus on, here to Clear All, where the next Space would clear every
// code. The focus waits on the window instead, where no key acts, and comes back to the button
// afterwards, unless the user has moved it meanwhile.
void frmVeldo::setExchangeButtonsEnabled(bool enabled)
{
    if (!enabled && (m_download->hasFocus() || m_upload->hasFocus())) {
        m_focusBeforeExchange = focusWidget();
        setFocus(Qt::OtherFocusReason);
    }
    m_download->setEnabled(enabled);
    m_upload->setEnabled(enabled);
    if (enabled && m_focusBeforeExchange && (hasFocus() || !focusWidget()))
        m_focusBeforeExchange->setFocus(Qt::OtherFocusReason);
    if (enabled)
        m_focusBeforeExchange.clear();
}

void frmVeldo::blinkStatus(const QString &waitingText)
{
    if (m_status->blink(waitingText))
        m_announce->announce(waitingText); // once, at the first tick, not at each blink
}

// The download itself went well, so no message box interrupts: the status line says it until
// the next exchange.
void frmVeldo::Download_NotKept(const QString &folder, const FileResult &result)
{
    const QString reason = fileReason(result);
    const QString text = tr("Download not kept: %1").arg(reason);
    m_status->showNote(StatusLine::Note::DownloadNotKept, text,
                       tr("The configuration read from the box could not be kept in %1: %2")
                           .arg(QDir::toNativeSeparators(folder), reason));
    m_announce->announce(text);
}

} // namespace veldo
