#include "BoxSession.h"

#include "files/KeptDownloads.h"
#include "link/PortAdvice.h"
#include "link/PortProbe.h"
#include "link/ProcessTable.h"
#include "link/TerminalText.h"
#include "link/TerminationSignals.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>

namespace veldo::cli {

namespace {

// A device path given by the user stands alone: Com1 of a map without a ports folder.
PortMap mapFor(const QString &device)
{
    return device.isEmpty() ? PortMap::standard() : PortMap(QString(), {device});
}

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

BoxSession::BoxSession(const CliCommand &command)
    : m_name(command.device.isEmpty() ? QStringLiteral("Com%1").arg(command.port) : command.device)
    , m_byDevice(!command.device.isEmpty())
    , m_verbosity(command.verbosity)
    , m_keep(command.keep)
    , m_port(mapFor(command.device))
{
    m_port.setCommPort(command.device.isEmpty() ? command.port : kFirstPort);
    QObject::connect(&m_termination, &TerminationSignals::received, &m_runner, [this] {
        m_runner.abandon();
        m_port.setPortOpen(false);
        if (m_loop)
            m_loop->quit();
    });
}

QString BoxSession::fileTag() const
{
    if (!m_byDevice)
        return m_name;
    // The device behind the links, as the system names it: /dev/pts/3 as "pts3".
    const QString devices = QStringLiteral("/dev/");
    const QString device = QFileInfo(m_name).canonicalFilePath();
    return device.startsWith(devices) ? device.mid(devices.size()).remove(u'/') : QFileInfo(m_name).fileName();
}

void BoxSession::progress(const QString &what, const QString &outcome, const QString &detail) const
{
    if (m_verbosity != Verbosity::Quiet)
        print(what, outcome, detail);
}

void BoxSession::step(const QString &what, const QString &outcome, const QString &detail) const
{
    if (m_verbosity == Verbosity::Verbose)
        print(what, outcome, detail);
}

void BoxSession::print(const QString &what, const QString &outcome, const QString &detail) const
{
    QTextStream err(stderr);
    err << escapeControls(m_name) << ": " << what << " ... " << outcome;
    if (m_verbosity == Verbosity::Verbose) {
        err << " (" << (detail.isEmpty() ? QString() : detail + QStringLiteral(", "))
            << QString::number(double(m_clock.nsecsElapsed()) / 1e9, 'f', 3) << " s)";
    }
    err << Qt::endl;
}

void BoxSession::failure(const QString &what, const QString &reason) const
{
    QTextStream(stderr) << escapeControls(m_name) << ": " << what << " ... " << escapeControls(reason, LineBreaks::Keep) << Qt::endl;
}

ExitStatus BoxSession::open()
{
    if (interrupted())
        return kInterrupted;
    startStep();
    m_port.setSettings(kBoxLineSettings);
    const PortFacts facts = m_port.open(probePort(m_port.commPort(), m_port.portMap().devicePath(m_port.commPort())));
    if (m_port.portOpen()) {
        step(QStringLiteral("open"), m_port.portMap().devicePath(m_port.commPort()), QStringLiteral("9600 8N1"));
        return kSuccess;
    }
    failure(QStringLiteral("open"), (QStringList{facts.reason} << grabberHints(runningProcesses())).join(u'\n'));
    return kNoUsablePort;
}

ExitStatus BoxSession::download(SwitchConfig &config)
{
    std::optional<SwitchConfig> received;
    const ExitStatus status = run(QStringLiteral("download"), m_runner.startDownload(), &received);
    if (received) {
        config = *received;
        if (m_keep)
            keepDownloadOrWarnOnce(config, fileTag());
    }
    return status;
}

ExitStatus BoxSession::upload(const SwitchConfig &config)
{
    return run(QStringLiteral("upload"), m_runner.startUpload(config), nullptr);
}

ExitStatus BoxSession::run(const QString &what, bool started, std::optional<SwitchConfig> *received)
{
    if (interrupted() || !started) {
        failure(what, interrupted() ? QStringLiteral("interrupted") : QStringLiteral("the port is not open"));
        return interrupted() ? kInterrupted : kTimedOut;
    }
    startStep();
    QEventLoop loop;
    m_loop = &loop;
    ExitStatus status = kInterrupted;
    QObject::connect(&m_runner, &ExchangeRunner::finished, &loop,
                     [&](ExchangeOutcome outcome, const std::optional<SwitchConfig> &config) {
                         status = statusOf(outcome);
                         if (received)
                             *received = config;
                         const QString message = outcomeMessage(outcome);
                         if (status == kSuccess)
                             progress(what, QStringLiteral("ok"), QStringLiteral("bytes sent %1, received %2")
                                                                      .arg(m_runner.bytesSent())
                                                                      .arg(m_runner.bytesReceived()));
                         else
                             failure(what, message);
                         loop.quit();
                     });
    loop.exec();
    m_loop = nullptr;
    QObject::disconnect(&m_runner, nullptr, &loop, nullptr);
    if (status == kInterrupted)
        failure(what, QStringLiteral("interrupted; the port is closed"));
    return status;
}

} // namespace veldo::cli
