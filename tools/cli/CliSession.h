// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CliCommand.h"
#include "ExitStatus.h"

#include "box/BoxSession.h"
#include "system/TerminalText.h"
#include "system/TerminationSignals.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>

#include <optional>

namespace veldo::cli {

// The box session of one command: runs its exchanges one after another and waits for each
// in a local event loop until its answer is complete, closing the port on a signal. Each
// step prints its progress line to standard error and returns how it went as an exit status.
class CliSession {
public:
    explicit CliSession(const CliCommand &command);

    // The port as part of a file name: "Com3", or the device's own name such as "ttyUSB0".
    QString fileTag() const { return m_box.fileTag(); }
    // kNoUsablePort, with the reason printed, when the port cannot be opened or, on another
    // machine, reached.
    ExitStatus open();
    ExitStatus download(SwitchConfig &config);
    ExitStatus upload(const SwitchConfig &config);

    // Starts timing a step for the verbose report.
    void startStep() { m_clock.start(); }
    // One line to standard error, prefixed with the port's name; detail and the step's time
    // only when verbose. Failures print even when quiet.
    void progress(const QString &what, const QString &outcome, const QString &detail = {}) const;
    // A progress line shown only when verbose.
    void step(const QString &what, const QString &outcome, const QString &detail = {}) const;
    void failure(const QString &what, const QString &reason) const;

private:
    void print(const QString &what, const QString &outcome, const QString &detail) const;
    QString awaitConnection();
    ExitStatus run(const QString &what, bool started, std::optional<SwitchConfig> *received);
    void reportNotKept(const QString &folder, const FileResult &result);

    QString m_name;
    int m_number;
    Verbosity m_verbosity;
    BoxSession m_box;
    TerminationSignals m_termination;
    QEventLoop *m_loop = nullptr; // while an exchange runs
    QElapsedTimer m_clock;        // since the step began
    bool m_notKeptReported = false;
};

} // namespace veldo::cli
