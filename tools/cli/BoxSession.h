#pragma once

#include "ExitStatus.h"

#include "config/SwitchConfig.h"
#include "link/CommPort.h"
#include "link/ExchangeRunner.h"
#include "link/TerminationSignals.h"

#include <QEventLoop>
#include <QString>

#include <optional>

namespace veldo::cli {

// The box on one port, for the length of one command: opens the port, runs exchanges one
// after another and waits for each in a local event loop, closing the port on a signal.
// Each step prints its progress line to standard error and returns how it went as an exit status.
class BoxSession {
public:
    BoxSession(int port, const QString &device, bool quiet);

    QString name() const { return m_name; }
    // The port as part of a file name: "Com3", or the device's own name.
    QString fileTag() const;
    // kNoUsablePort, with the reason printed, when the port cannot be opened.
    ExitStatus open();
    ExitStatus download(SwitchConfig &config);
    ExitStatus upload(const SwitchConfig &config);

    // One line to standard error, prefixed with the port's name; failures print even when quiet.
    void progress(const QString &what, const QString &outcome) const;
    void failure(const QString &what, const QString &reason) const;

private:
    ExitStatus run(const QString &what, bool started, std::optional<SwitchConfig> *received);

    QString m_name;
    bool m_quiet;
    CommPort m_port;
    ExchangeRunner m_runner{m_port};
    TerminationSignals m_termination;
    bool m_interrupted = false;
    QEventLoop *m_loop = nullptr; // while an exchange runs
};

} // namespace veldo::cli
