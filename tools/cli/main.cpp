// SPDX-License-Identifier: GPL-3.0-or-later
// veldo-cli: the switch box from a terminal and from scripts.
#include "CliCommand.h"
#include "Commands.h"

#include "box/BoxSession.h"
#include "system/ErrorText.h"
#include "system/TerminationSignals.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>

using namespace veldo::cli;

namespace {

// How long a signal may take to end any wait: the port is closed and the tool gone by then.
constexpr std::chrono::milliseconds kSignalDeadline{400};

// A closed standard descriptor would be taken by the next file opened, and output meant for
// the terminal would land in it. Read-only /dev/null stands in: writes to it fail, as they
// should.
void holdStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF)
            ::open("/dev/null", O_RDONLY);
    }
}

int run(const ParsedCommand &parsed)
{
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

// Output that did not arrive (a full disk, a closed descriptor) is a failed write.
int checkedOutput(int status)
{
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (!failed)
        return status;
    QTextStream(stderr) << "veldo-cli: standard output: " << veldo::systemError(errno) << Qt::endl;
    return kFileError;
}

} // namespace

int main(int argc, char *argv[])
{
    holdStandardDescriptors();
    veldo::catchTerminationSignals(kSignalDeadline);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veldo-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELDO_VERSION));
    const int status = checkedOutput(run(parseCommandLine(QCoreApplication::arguments())));
    // The shell's convention: 128 plus the signal's number (130 for Ctrl+C).
    return veldo::caughtTerminationSignal() != 0 ? 128 + veldo::caughtTerminationSignal() : status;
}
