// veldo-cli: the switch box from a terminal and from scripts.
#include "CliCommand.h"
#include "Commands.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace veldo::cli;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veldo-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELDO_VERSION));
    const ParsedCommand parsed = parseCommandLine(QCoreApplication::arguments());
    if (parsed.done)
        return kSuccess;
    if (!parsed.error.isEmpty()) {
        QTextStream(stderr) << "veldo-cli: " << parsed.error << Qt::endl;
        return kUsageError;
    }
    switch (parsed.command.verb) {
    case Verb::Ports: return listPorts(parsed.command);
    case Verb::Download: return downloadToFile(parsed.command);
    case Verb::Upload: return uploadFile(parsed.command);
    case Verb::Verify: return verifyAgainstFile(parsed.command);
    }
    return kUsageError;
}
