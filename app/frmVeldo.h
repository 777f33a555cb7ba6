#pragma once

#include "app/FileDialog.h"
#include "config/ConfigHistory.h"
#include "config/SwitchConfig.h"
#include "link/CommPort.h"
#include "link/CommsModule.h"
#include "link/Exchange.h"

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace veldo {

class CodeEdit;
class PortCombo;
class TypeGroup;

// The program's one window: the port list and the five commands on the left, the sixteen
// outputs on the right, a status line below. It is a controller over the core: the fields
// hold the configuration, and each handler reads or writes them when it runs.
class frmVeldo : public QWidget {
    Q_OBJECT
public:
    // Creates the window with its initial values and runs its load step (the port probe).
    explicit frmVeldo(PortMap portMap, QWidget *parent = nullptr);
    ~frmVeldo() override;

    // The configuration as the fields show it, and a way to show one.
    SwitchConfig configuration() const;
    void showConfiguration(const SwitchConfig &config);

    // Centres the window on its screen.
    void centre();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildCommandColumn();
    void buildOutputRows();
    void buildStatusLine();
    void chainTabOrder();
    void buildShortcuts();

    void Form_Load();
    void Form_Unload();
    void ComboCommPort_DropDown();
    void ComboCommPort_Click();
    void Data1_LostFocus(int index);
    void Clear_Click();
    void Open_Click();
    void Save_Click();
    void Download_Click();
    void Upload_Click();
    void DownloadTimer_Timer();
    void UploadTimer_Timer();

    // Shared steps of the two exchanges.
    void startExchange(std::unique_ptr<ExchangePoll> exchange, QTimer *timer, const QByteArray &request);
    void pollExchange(QTimer *timer, const QString &waitingText);
    void blinkStatus(const QString &waitingText);
    void endExchange(QTimer *timer);
    void reportOutcome(ExchangeOutcome outcome);
    ReadInput portReader();

    // Undo and the fields in edit.
    void focusMoved(QObject *focus);
    void commitEdits(const QObject *stillEditing = nullptr);
    void replaceConfiguration(const SwitchConfig &config);
    void showDownload(const SwitchConfig &config);
    void undo();
    void redo();

    PortCombo *ComboCommPort = nullptr;
    QPushButton *Open = nullptr;
    QPushButton *Save = nullptr;
    QPushButton *Download = nullptr;
    QPushButton *Upload = nullptr;
    QPushButton *Clear = nullptr;
    std::array<CodeEdit *, kCodeCount> Data1{};
    std::array<TypeGroup *, kOutputCount> Frame3{};
    QLabel *LblCopyRight = nullptr;
    QLabel *LblMsg = nullptr;
    QTimer *DownloadTimer = nullptr;
    QTimer *UploadTimer = nullptr;

    CommPort MSComm;
    CommsModule Comms;
    FileDialog CommonDialog1;

    std::unique_ptr<ExchangePoll> RunningExchange; // the download or upload that waits, if any
    ConfigHistory History;
    QMetaObject::Connection FocusWatch;
};

} // namespace veldo
