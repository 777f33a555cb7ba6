#pragma once

#include "app/FileDialog.h"
#include "config/ConfigHistory.h"
#include "config/SwitchConfig.h"
#include "link/CommPort.h"
#include "link/CommsModule.h"
#include "link/ExchangeRunner.h"
#include "link/PortAdvice.h"
#include "link/PortScanner.h"
#include "link/PortWatcher.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QPushButton;

namespace veldo {

class Announcer;
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

    // Opens a configuration file as Open does after its dialog; Save then proposes the file.
    void openConfigFile(const QString &fileName);

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

    // The port list from a probe, and why no port is usable when none is.
    void showPorts(const PortScan &ports);
    QString whyNoPort(const PortScan &ports, Detail detail) const;
    // Adapters that come and go: a usable port that appears is opened when none is open; the
    // open port's device going closes it, and the status line says so.
    void watchPorts();
    // The list at once from what the file system says; the holders' names and the opening
    // of a port follow when the scan of the processes ends.
    void refreshPorts();
    void Ports_Changed();
    void portLost();

    void Form_Load();
    void Form_Unload();
    void ComboCommPort_DropDown();
    void ComboCommPort_Click();
    void Data1_LostFocus(int index);
    void Clear_Click();
    void Open_Click();
    void loadFile(const QString &fileName);
    void Save_Click();
    void Download_Click();
    void Upload_Click();
    void Exchange_Tick();
    void Exchange_Finished(ExchangeOutcome outcome, const std::optional<SwitchConfig> &config);

    void setExchangeButtonsEnabled(bool enabled);
    void blinkStatus(const QString &waitingText);
    void reportNoPort();

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
    Announcer *Announce = nullptr;
    // The exchange button that had the focus when the exchange started.
    QPointer<QWidget> FocusBeforeExchange;

    CommPort MSComm;
    PortWatcher PortWatch;
    PortScanner Scanner;
    CommsModule Comms;
    ExchangeRunner *Exchange = nullptr; // the download or upload that waits, if any
    FileDialog CommonDialog1;
    ConfigHistory History;
    QMetaObject::Connection FocusWatch;
};

} // namespace veldo
