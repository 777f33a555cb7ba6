// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliSession.h"

#include "files/FileReason.h"

#include <QEventLoop>
#include <QTextStream>

#include <utility>

namespace veldo::cli {

namespace {

// Also by a signal caught before the session began.
bool interrupted()
{
    return caughtTerminationSignal() != 0;
}

ExitStatus statusOf(ExchangeOutcome outcome)
{
    switch (outcome) {
    case ExchangeOutcome::Downloaded:
    case ExchangeOutcome::UploadAccepted: return kSuccess;
    case ExchangeOutcome::DownloadChecksum:
    case ExchangeOutcome::UploadRejected: return kBoxRefused;
    case ExchangeOutcome::TimedOut: break;
    }
    return kTimedOut;
}

} // namespace

CliSession::CliSession(const CliCommand &command)
    : m_name(command.device.isEmpty() ? QStringLiteral("Com%1").arg(command.port) : command.device)
    , m_number(command.device.isEmpty() ? command.port : kFirstPort)
    , m_verbosity(command.verbosity)
    , m_box(command.device, BoxSession::Pace::AsBytesArrive)
{
    m_box.setKeepDownloads(command.keep);
    QObject::connect(&m_box, &BoxSession::downloadNotKept, &m_box,
                     [this](const QString &folder, const FileResult &result) { reportNotKept(folder, result); });
    QObject::connect(&m_termination, &TerminationSignals::received, &m_box, [this] {
        m_box.close();
        if (m_loop)
            m_loop->quit();
    });
}

void CliSession::progress(const QString &what, const QString &outcome, const QString &detail) const
{
    if (m_verbosity != Verbosity::Quiet)
        print(what, outcome, detail);
}

void CliSession::step(const QString &what, const QString &outcome, const QString &detail) const
{
    if (m_verbosity == Verbosity::Verbose)
        print(what, outcome, detail);
}

void CliSession::print(const QString &what, const QString &outcome, const QString &detail) const
{
    QTextStream err(stderr);
    err << escapeControls(m_name) << ": " << what << " ... " << outcome;
    if (m_verbosity == Verbosity::Verbose) {
        err << " (" << (detail.isEmpty() ? QString() : detail + QStringLiteral(", "))
            << QString::number(double(m_clock.nsecsElapsed()) / 1e9, 'f', 3) << " s)";
    }
    err << Qt::endl;
}

void CliSession::failure(const QString &what, const QString &reason) const
{
    QTextStream(stderr) << escapeControls(m_name) << ": " << what << " ... " << escapeControls(reason, LineBreaks::Keep) << Qt::endl;
}

// Only the first time: a second download of the run would fail the same way.
void CliSession::reportNotKept(const QString &folder, const FileResult &result)
{
    if (std::exchange(m_notKeptReported, true))
        return;
    QTextStream(stderr) << "veldo: could not keep the configuration read from the box in " << escapeControls(folder) << ": "
                        << escapeControls(fileReason(result)) << "\n"
                        << "veldo: the download itself went well; check that this is a folder you can write to (or set "
                           "XDG_DATA_HOME) to keep downloads; later failures are not reported"
                        << Qt::endl;
}

ExitStatus CliSession::open()
{
    if (interrupted())
        return kInterrupted;
    startStep();
    PortFacts facts = m_box.open(m_box.probe(m_number));
    // A local port opens at once: a signal after it is the exchange's to report, as before.
    if (m_box.isConnecting()) {
        facts.reason = awaitConnection();
        if (interrupted()) {
            failure(QStringLiteral("open"), QStringLiteral("interrupted; the port is closed"));
            return kInterrupted;
        }
    }
    if (m_box.isOpen()) {
        step(QStringLiteral("open"), facts.path, QStringLiteral("9600 8N1"));
        return kSuccess;
    }
    failure(QStringLiteral("open"), m_box.whyNotOpened(facts));
    return kNoUsablePort;
}

// The reason it could not be reached, or nothing once it is connected.
QString CliSession::awaitConnection()
{
    QEventLoop loop;
    m_loop = &loop;
    QString reason;
    QObject::connect(&m_box, &BoxSession::portConnected, &loop, &QEventLoop::quit);
    QObject::connect(&m_box, &BoxSession::portUnreachable, &loop, [&](const QString &why) {
        reason = why;
        loop.quit();
    });
    loop.exec();
    m_loop = nullptr;
    QObject::disconnect(&m_box, nullptr, &loop, nullptr);
    return reason;
}

ExitStatus CliSession::download(SwitchConfig &config)
{
    std::optional<SwitchConfig> received;
    const ExitStatus status = run(QStringLiteral("download"), m_box.startDownload(), &received);
    if (received)
        config = *received;
    return status;
}

ExitStatus CliSession::upload(const SwitchConfig &config)
{
    return run(QStringLiteral("upload"), m_box.startUpload(config), nullptr);
}

ExitStatus CliSession::run(const QString &what, bool started, std::optional<SwitchConfig> *received)
{
    if (interrupted() || !started) {
        failure(what, interrupted() ? QStringLiteral("interrupted") : QStringLiteral("the port is not open"));
        return interrupted() ? kInterrupted : kTimedOut;
    }
    startStep();
    QEventLoop loop;
    m_loop = &loop;
    ExitStatus status = kInterrupted;
    QObject::connect(&m_box, &BoxSession::finished, &loop,
                     [&](ExchangeOutcome outcome, const std::optional<SwitchConfig> &config) {
                         status = statusOf(outcome);
                         if (received)
                             *received = config;
                         const QString message = outcomeMessage(outcome);
                         if (status == kSuccess)
                             progress(what, QStringLiteral("ok"), QStringLiteral("bytes sent %1, received %2").arg(m_box.bytesSent()).arg(m_box.bytesReceived()));
                         else
                             failure(what, message);
                         loop.quit();
                     });
    loop.exec();
    m_loop = nullptr;
    QObject::disconnect(&m_box, nullptr, &loop, nullptr);
    if (status == kInterrupted)
        failure(what, QStringLiteral("interrupted; the port is closed"));
    return status;
}

} // namespace veldo::cli
