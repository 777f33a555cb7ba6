#include "CliCommand.h"

#include "link/PortMap.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace veldo::cli {

namespace {

const QString kUsage = QStringLiteral(
    "Usage: veldo-cli ports [--json]\n"
    "       veldo-cli download (--port N | --device PATH) [--output FILE]\n"
    "       veldo-cli upload   (--port N | --device PATH) FILE [--verify] [--backup DIR]\n"
    "       veldo-cli verify   (--port N | --device PATH) FILE\n"
    "       veldo-cli --help | --version");

const QString kDescription = QStringLiteral(
    "Reads, writes and checks the configuration of a switch box over a serial port, at\n"
    "9600 baud, 8 data bits, no parity, 1 stop bit, as the Veldo window does.\n\n"
    "  ports     list Com1 to Com16: device, state and why a port cannot be used\n"
    "  download  read the box's configuration; write it as a configuration file\n"
    "  upload    write FILE into the box\n"
    "  verify    read the box's configuration and compare it with FILE\n\n"
    "Progress and outcomes go to standard error, data to standard output.\n\n"
    "Exit status:\n"
    "  0    success\n"
    "  2    usage error: bad option, bad port number, missing file argument\n"
    "  3    no usable port (the reason is printed)\n"
    "  4    communication time-out, or the port vanished\n"
    "  5    the box's answer failed its checksum, or the box rejected the upload\n"
    "  6    verify found a difference\n"
    "  7    a file could not be read or written\n"
    "  130  interrupted by a signal; the port was closed");

const QCommandLineOption kPortOption({QStringLiteral("p"), QStringLiteral("port")},
    QStringLiteral("Use Com <n> (1 to 16), through the same port map as the window."), QStringLiteral("n"));
const QCommandLineOption kDeviceOption({QStringLiteral("d"), QStringLiteral("device")},
    QStringLiteral("Use the serial device at <path>, for example a /dev/serial/by-id/ name."), QStringLiteral("path"));
const QCommandLineOption kOutputOption({QStringLiteral("o"), QStringLiteral("output")},
    QStringLiteral("download: write the configuration to <file> instead of standard output."), QStringLiteral("file"));
const QCommandLineOption kVerifyOption(QStringLiteral("verify"),
    QStringLiteral("upload: read the configuration back afterwards and compare."));
const QCommandLineOption kBackupOption(QStringLiteral("backup"),
    QStringLiteral("upload: first keep the box's configuration in <dir>, named by date, time and port."),
    QStringLiteral("dir"));
const QCommandLineOption kJsonOption(QStringLiteral("json"), QStringLiteral("ports: print a JSON array."));
const QCommandLineOption kQuietOption({QStringLiteral("q"), QStringLiteral("quiet")},
    QStringLiteral("No progress lines; failures are still reported."));

struct VerbRule {
    const char *name;
    Verb verb;
    bool needsPort;
    bool takesFile;
    QList<const QCommandLineOption *> options; // allowed besides --port, --device, --quiet
};

const VerbRule kVerbs[] = {
    {"ports", Verb::Ports, false, false, {&kJsonOption}},
    {"download", Verb::Download, true, false, {&kOutputOption}},
    {"upload", Verb::Upload, true, true, {&kVerifyOption, &kBackupOption}},
    {"verify", Verb::Verify, true, true, {}},
};

QString usageError(const QString &what)
{
    return what + u'\n' + kUsage;
}

// Checks that only the options of the verb are given, and reads the port.
QString readTarget(const QCommandLineParser &parser, const VerbRule &rule, CliCommand &command)
{
    const QCommandLineOption *optional[] = {&kOutputOption, &kVerifyOption, &kBackupOption, &kJsonOption};
    for (const QCommandLineOption *option : optional) {
        if (parser.isSet(*option) && !rule.options.contains(option))
            return usageError(QStringLiteral("--%1 does not go with %2").arg(option->names().constLast(), QLatin1String(rule.name)));
    }
    const bool port = parser.isSet(kPortOption);
    const bool device = parser.isSet(kDeviceOption);
    if (!rule.needsPort)
        return port || device ? usageError(QStringLiteral("ports takes no port")) : QString();
    if (port == device)
        return usageError(QStringLiteral("%1 needs either --port N or --device PATH").arg(QLatin1String(rule.name)));
    if (device) {
        command.device = parser.value(kDeviceOption);
        return command.device.isEmpty() ? usageError(QStringLiteral("--device needs a path")) : QString();
    }
    bool ok = false;
    command.port = parser.value(kPortOption).toInt(&ok);
    if (!ok || command.port < kFirstPort || command.port > kLastPort)
        return usageError(QStringLiteral("--port takes a number from %1 to %2, not \"%3\"")
                              .arg(kFirstPort).arg(kLastPort).arg(parser.value(kPortOption)));
    return {};
}

} // namespace

ParsedCommand parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions({kPortOption, kDeviceOption, kOutputOption, kVerifyOption, kBackupOption, kJsonOption, kQuietOption});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("ports, download, upload or verify."),
                                 QStringLiteral("command"));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("upload, verify: the configuration file."),
                                 QStringLiteral("[FILE]"));

    ParsedCommand parsed;
    if (!parser.parse(arguments)) {
        parsed.error = usageError(parser.errorText());
        return parsed;
    }
    QTextStream out(stdout);
    if (parser.isSet(help)) {
        out << kUsage << "\n\n" << parser.helpText().section(u'\n', 1) << Qt::flush;
        parsed.done = true;
        return parsed;
    }
    if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << Qt::endl;
        parsed.done = true;
        return parsed;
    }
    const QStringList words = parser.positionalArguments();
    const auto rule = std::find_if(std::begin(kVerbs), std::end(kVerbs), [&words](const VerbRule &r) {
        return !words.isEmpty() && words.first() == QLatin1String(r.name);
    });
    if (rule == std::end(kVerbs)) {
        parsed.error = usageError(words.isEmpty() ? QStringLiteral("No command given")
                                                  : QStringLiteral("Unknown command \"%1\"").arg(words.first()));
        return parsed;
    }
    CliCommand &command = parsed.command;
    command.verb = rule->verb;
    if (words.size() != (rule->takesFile ? 2 : 1)) {
        parsed.error = usageError(words.size() < 2 && rule->takesFile ? QStringLiteral("%1 needs a FILE").arg(words.first())
                                                                       : QStringLiteral("Too many arguments"));
        return parsed;
    }
    if (rule->takesFile)
        command.file = words.at(1);
    parsed.error = readTarget(parser, *rule, command);
    command.output = parser.value(kOutputOption);
    command.backupFolder = parser.value(kBackupOption);
    command.verify = parser.isSet(kVerifyOption);
    command.json = parser.isSet(kJsonOption);
    command.quiet = parser.isSet(kQuietOption);
    return parsed;
}

} // namespace veldo::cli
