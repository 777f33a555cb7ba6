// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FileDialog.h"
#include "box/BoxSession.h"
#include "config/ConfigHistory.h"
#include "config/SwitchConfig.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QPushButton;

namespace veldo {

class Announcer;
class CodeEdit;
class PortCombo;
class StatusLine;
class TypeGroup;

// The program's one window: the port list and the five commands on the left, the sixteen
// outputs on the right, a status line below. It is a controller over the core: the fields
// hold the configuration, and each handler reads or writes them when it runs.
class frmVeldo : public QWidget {
    Q_OBJECT
public:
    // Creates the window with its initial values and runs its load step (the port probe):
    // over the program's standard map of ports, or over the given one.
    explicit frmVeldo(QWidget *parent = nullptr);
    explicit frmVeldo(const PortMap &portMap, QWidget *parent = nullptr);
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
    // Takes the session as its own.
    frmVeldo(BoxSession *box, QWidget *parent);

    void buildCommandColumn();
    void buildOutputRows();
    void buildStatusLine();
    void chainTabOrder();
    void buildShortcuts();

    // The port list from a probe, and why no port is usable when none is.
    void showPorts(const PortScan &ports);
    // Adapters that come and go: a usable port that appears is opened when none is open; the
    // open port's device going closes it, and the status line says so.
    void watchPorts();
    // The list at once from what the file system says; the holders' names and the opening
    // of a port follow when the scan of the processes ends.
    void refreshPorts();
    void portLost();
    void showConnecting(const PortFacts &port);
    void remotePortUnreachable(const QString &reason);

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
    void Download_NotKept(const QString &folder, const FileResult &result);

    void setExchangeButtonsEnabled(bool enabled);
    void blinkStatus(const QString &waitingText);
    void reportNoPort();

    // Undo and the fields in edit.
    void focusMoved(QObject *focus);
    void commitEdits(const QObject *stillEditing = nullptr);
    void replaceConfiguration(const SwitchConfig &config);
    void undo();
    void redo();

    PortCombo *m_comboCommPort = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_download = nullptr;
    QPushButton *m_upload = nullptr;
    QPushButton *m_clear = nullptr;
    std::array<CodeEdit *, kCodeCount> m_data1{};
    std::array<TypeGroup *, kOutputCount> m_frame3{};
    std::unique_ptr<StatusLine> m_status;
    Announcer *m_announce = nullptr;
    // The exchange button that had the focus when the exchange started.
    QPointer<QWidget> m_focusBeforeExchange;

    BoxSession *m_box = nullptr;
    FileDialog m_commonDialog1;
    ConfigHistory m_history;
    QMetaObject::Connection m_focusWatch;
};

} // namespace veldo
