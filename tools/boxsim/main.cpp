// SPDX-License-Identifier: GPL-3.0-or-later
// veldo-boxsim: the switch box on a pseudo-terminal, for trying the tool without hardware.
#include "BoxSimulator.h"
#include "CommandLine.h"
#include "system/TerminationSignals.h"

#include "ports/PortMap.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace veldo;

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

void say(const QString &line)
{
    out() << line << Qt::endl; // flushed, so a pipe reader sees every event as it happens
}

QString describeAnswer(BoxRequest request, const QByteArray &answer)
{
    const QString what = request == BoxRequest::Download ? QStringLiteral("Download") : QStringLiteral("Upload");
    if (answer.isEmpty())
        return QStringLiteral("%1 request: not answered").arg(what);
    if (request == BoxRequest::Download)
        return QStringLiteral("Download request: answered with a %1-byte image").arg(answer.size());
    const bool ack = std::uint8_t(answer.back()) == kAcknowledge;
    return QStringLiteral("Upload request: answered %1 (%2)%3")
        .arg(ack ? QStringLiteral("ACK") : QStringLiteral("NAK"))
        .arg(int(std::uint8_t(answer.back())))
        .arg(answer.size() > 1 ? QStringLiteral(" after a stray byte") : QString());
}

void printConfig(const SwitchConfig &config)
{
    say(QStringLiteral("Configuration received:"));
    for (int n = 0; n < kOutputCount; ++n) {
        const OutputSetting &setting = config.outputs.at(std::size_t(n));
        say(QStringLiteral("%1 %2 %3 %4").arg(outputLabel(n), setting.codeA, setting.codeB, outputTypeName(setting.type)));
    }
}

void printEvents(const BoxSimulator &box)
{
    QObject::connect(&box, &BoxSimulator::requestServed, &box, [](BoxRequest request, const QByteArray &answer) {
        say(describeAnswer(request, answer));
    });
    QObject::connect(&box, &BoxSimulator::answerFailed, &box, [](BoxRequest request) {
        say(describeAnswer(request, {}) + QStringLiteral(": the device took no more bytes"));
    });
    QObject::connect(&box, &BoxSimulator::configReceived, &box, &printConfig);
    QObject::connect(&box, &BoxSimulator::bytesDropped, &box, [](const QByteArray &bytes) {
        say(QStringLiteral("Dropped %1 byte(s): %2").arg(bytes.size()).arg(QString::fromLatin1(bytes.toHex(' '))));
    });
    QObject::connect(&box, &BoxSimulator::unplugged, &box, [] {
        say(QStringLiteral("Unplugged"));
        QCoreApplication::quit();
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veldo-boxsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELDO_VERSION));
    const CommandLine command = readCommandLine(app);
    QTextStream err(stderr);
    if (!command.ok) {
        err << "veldo-boxsim: " << command.error << Qt::endl;
        return 2;
    }
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &app, &QCoreApplication::quit);

    BoxSimulator box(command.options);
    if (!box.isOpen() || !termination.isWatching()) {
        err << "veldo-boxsim: cannot open a pseudo-terminal" << Qt::endl;
        return 1;
    }
    const LinkResult link = command.port != 0 ? box.linkAsPort(command.port, PortMap::standardPortsFolder()) : LinkResult{};
    if (!link.ok) {
        err << "veldo-boxsim: " << link.reason << Qt::endl;
        return 1;
    }
    say(QStringLiteral("Device: %1").arg(box.slavePath()));
    if (command.port != 0)
        say(QStringLiteral("Link: %1 -> %2 (Com %3)").arg(box.linkPath(), box.slavePath()).arg(command.port));
    printEvents(box);
    const int status = app.exec();
    const QString linkPath = box.linkPath();
    const QString borrowed = box.borrowedLink();
    if (box.removeLink())
        say(borrowed.isEmpty() ? QStringLiteral("Link removed: %1").arg(linkPath)
                               : QStringLiteral("Link restored: %1 -> %2").arg(linkPath, borrowed));
    return status;
}
