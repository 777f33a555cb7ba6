#include "BoxSession.h"

#include "files/KeptDownloads.h"
#include "link/PortAdvice.h"
#include "link/PortProbe.h"
#include "link/ProcessTable.h"
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

BoxSession::BoxSession(int port, const QString &device, bool quiet)
    : m_name(device.isEmpty() ? QStringLiteral("Com%1").arg(port) : device)
    , m_quiet(quiet)
    , m_port(mapFor(device))
{
    m_port.setCommPort(device.isEmpty() ? port : kFirstPort);
    QObject::connect(&m_termination, &TerminationSignals::received, &m_runner, [this] {
        m_interrupted = true;
        m_runner.abandon();
        m_port.setPortOpen(false);
        if (m_loop)
            m_loop->quit();
    });
}

QString BoxSession::fileTag() const
{
    return QFileInfo(m_name).fileName();
}

void BoxSession::progress(const QString &what, const QString &outcome) const
{
    if (!m_quiet)
        QTextStream(stderr) << m_name << ": " << what << " ... " << outcome << Qt::endl;
}

void BoxSession::failure(const QString &what, const QString &reason) const
{
    QTextStream(stderr) << m_name << ": " << what << " ... " << reason << Qt::endl;
}

ExitStatus BoxSession::open()
{
    if (m_interrupted)
        return kInterrupted;
    m_port.setSettings(kBoxLineSettings);
    if (m_port.setPortOpen(true))
        return kSuccess;
    const PortFacts facts = probePort(m_port.commPort(), m_port.portMap().devicePath(m_port.commPort()));
    QStringList lines{facts.usable() ? QStringLiteral("%1 could not be opened").arg(facts.device) : facts.reason};
    lines << grabberHints(runningProcesses());
    failure(QStringLiteral("open"), lines.join(u'\n'));
    return kNoUsablePort;
}

ExitStatus BoxSession::download(SwitchConfig &config)
{
    std::optional<SwitchConfig> received;
    const ExitStatus status = run(QStringLiteral("download"), m_runner.startDownload(), &received);
    if (received) {
        config = *received;
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
    if (m_interrupted || !started) {
        failure(what, m_interrupted ? QStringLiteral("interrupted") : QStringLiteral("the port is not open"));
        return m_interrupted ? kInterrupted : kTimedOut;
    }
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
                             progress(what, QStringLiteral("ok"));
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
