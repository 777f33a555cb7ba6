// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliCommand.h"

#include "box/BoxSession.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace veldo::cli {

namespace {

const QString kDescription = QStringLiteral(
    "Reads, writes and checks the configuration of a switch box over a serial port, at\n"
    "9600 baud, 8 data bits, no parity, 1 stop bit, as the Veldo window does.\n\n"
    "  ports     list Com1 to Com16: device, state and why a port cannot be used\n"
    "  download  read the box's configuration; write it as a configuration file\n"
    "  upload    write FILE into the box\n"
    "  verify    read the box's configuration and compare it with FILE\n\n"
    "FILE and --output take - for standard input and output. Progress and outcomes go to\n"
    "standard error, data to standard output. Every configuration read from a box is kept\n"
    "in the downloads folder unless --no-keep is given or VELDO_NO_KEEP is set.\n\n"
    "Exit status:\n"
    "  0    success\n"
    "  2    usage error: bad option, bad port number, missing file argument\n"
    "  3    no usable port, or a port on another machine cannot be reached (the reason is printed)\n"
    "  4    communication time-out, or the port vanished or its connection was lost\n"
    "  5    the box's answer failed its checksum, or the box rejected the upload\n"
    "  6    verify found a difference\n"
    "  7    a file could not be read or written (checked before the box is asked)\n"
    "  128+N  ended by signal N (130 Ctrl+C, 143 SIGTERM, 129 SIGHUP); the port was closed");

const QCommandLineOption kHelpOption({QStringLiteral("h"), QStringLiteral("help")},
                                     QStringLiteral("Show this help; after a command, that command's help."));
const QCommandLineOption kVersionOption({QStringLiteral("V"), QStringLiteral("version")},
                                        QStringLiteral("Show the version."));
const QCommandLineOption kPortOption({QStringLiteral("p"), QStringLiteral("port")},
                                     QStringLiteral("Use Com <n> (1 to 16), through the same port map as the window."), QStringLiteral("n"));
const QCommandLineOption kDeviceOption({QStringLiteral("d"), QStringLiteral("device")},
                                       QStringLiteral("Use the serial device at <path>, for example a /dev/serial/by-id/ name, or the port on another machine at rfc2217://HOST:PORT or rfc2217+tls://HOST:PORT[?ca=FILE]."), QStringLiteral("path"));
const QCommandLineOption kOutputOption({QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("download: write the configuration to <file>; - or none: standard output."), QStringLiteral("file"));
const QCommandLineOption kVerifyOption(QStringLiteral("verify"),
                                       QStringLiteral("upload: read the configuration back afterwards and compare."));
const QCommandLineOption kBackupOption(QStringLiteral("backup"),
                                       QStringLiteral("upload: first keep the box's configuration in <dir>, named by date, time and port."),
                                       QStringLiteral("dir"));
const QCommandLineOption kNoKeepOption(QStringLiteral("no-keep"),
                                       QStringLiteral("Keep no copy of what is read from the box in the downloads folder."));
const QCommandLineOption kJsonOption(QStringLiteral("json"), QStringLiteral("ports: print a JSON array."));
const QCommandLineOption kQuietOption({QStringLiteral("q"), QStringLiteral("quiet")},
                                      QStringLiteral("No progress lines; failures are still reported."));
const QCommandLineOption kVerboseOption({QStringLiteral("v"), QStringLiteral("verbose")},
                                        QStringLiteral("Report every step with its bytes and time."));

const QCommandLineOption *const kGeneralOptions[] = {&kQuietOption, &kVerboseOption, &kHelpOption, &kVersionOption};

struct VerbRule {
    const char *name;
    const char *usage;
    Verb verb;
    bool needsPort;
    bool takesFile;
    QList<const QCommandLineOption *> options; // allowed besides --port, --device and the general ones
};

const VerbRule kVerbs[] = {
    {"ports", "ports [--json]", Verb::Ports, false, false, {&kJsonOption}},
    {"download", "download (--port N | --device PATH|URL) [--output FILE] [--no-keep]", Verb::Download, true, false, {&kOutputOption, &kNoKeepOption}},
    {"upload", "upload   (--port N | --device PATH|URL) FILE [--verify] [--backup DIR] [--no-keep]", Verb::Upload, true, true, {&kVerifyOption, &kBackupOption, &kNoKeepOption}},
    {"verify", "verify   (--port N | --device PATH|URL) FILE [--no-keep]", Verb::Verify, true, true, {&kNoKeepOption}},
};

QString usage()
{
    QString text;
    for (const VerbRule &rule : kVerbs)
        text += (text.isEmpty() ? QStringLiteral("Usage: ") : QStringLiteral("\n       ")) + QStringLiteral("veldo-cli ")
              + QLatin1String(rule.usage);
    return text + QStringLiteral("\n       veldo-cli [COMMAND] --help | --version");
}

QString usageError(const QString &what)
{
    return what + u'\n' + usage();
}

QString optionLine(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString left = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        left += QStringLiteral(" <%1>").arg(option.valueName());
    return QStringLiteral("  %1  %2\n").arg(left, -22).arg(option.description());
}

// One command's usage and options.
QString commandHelp(const VerbRule &rule)
{
    QString text = QStringLiteral("Usage: veldo-cli %1\n\nOptions:\n").arg(QLatin1String(rule.usage));
    QList<const QCommandLineOption *> options = rule.options;
    if (rule.needsPort)
        options = QList<const QCommandLineOption *>{&kPortOption, &kDeviceOption} + options;
    for (const QCommandLineOption *option : options + QList<const QCommandLineOption *>(std::begin(kGeneralOptions), std::end(kGeneralOptions)))
        text += optionLine(*option);
    return text;
}

// Checks that only the options of the verb are given, and reads the port.
QString readTarget(const QCommandLineParser &parser, const VerbRule &rule, CliCommand &command)
{
    const QCommandLineOption *optional[] = {&kOutputOption, &kVerifyOption, &kBackupOption, &kJsonOption, &kNoKeepOption};
    for (const QCommandLineOption *option : optional) {
        if (parser.isSet(*option) && !rule.options.contains(option))
            return usageError(QStringLiteral("--%1 does not go with %2").arg(option->names().constLast(), QLatin1String(rule.name)));
    }
    if (parser.isSet(kQuietOption) && parser.isSet(kVerboseOption))
        return usageError(QStringLiteral("--quiet and --verbose do not go together"));
    const bool port = parser.isSet(kPortOption);
    const bool device = parser.isSet(kDeviceOption);
    if (!rule.needsPort)
        return port || device ? usageError(QStringLiteral("ports takes no port")) : QString();
    if (port == device)
        return usageError(QStringLiteral("%1 needs either --port N or --device PATH|URL").arg(QLatin1String(rule.name)));
    if (device) {
        command.device = parser.value(kDeviceOption);
        return command.device.isEmpty() ? usageError(QStringLiteral("--device needs a path or a URL")) : QString();
    }
    bool ok = false;
    command.port = parser.value(kPortOption).toInt(&ok);
    if (!ok || command.port < kFirstPort || command.port > kLastPort)
        return usageError(QStringLiteral("--port takes a number from %1 to %2, not \"%3\"")
                              .arg(kFirstPort)
                              .arg(kLastPort)
                              .arg(parser.value(kPortOption)));
    return {};
}

bool keepWanted(const QCommandLineParser &parser)
{
    const QByteArray variable = qgetenv(kNoKeepVariable);
    return !parser.isSet(kNoKeepOption) && (variable.isEmpty() || variable == "0");
}

} // namespace

ParsedCommand parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    parser.addOptions({kHelpOption, kVersionOption, kPortOption, kDeviceOption, kOutputOption, kVerifyOption,
                       kBackupOption, kNoKeepOption, kJsonOption, kQuietOption, kVerboseOption});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("ports, download, upload or verify."),
                                 QStringLiteral("command"));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("upload, verify: the configuration file; -: standard input."),
                                 QStringLiteral("[FILE]"));

    ParsedCommand parsed;
    if (!parser.parse(arguments)) {
        parsed.error = usageError(parser.errorText());
        return parsed;
    }
    const QStringList words = parser.positionalArguments();
    const auto rule = std::find_if(std::begin(kVerbs), std::end(kVerbs), [&words](const VerbRule &r) {
        return !words.isEmpty() && words.first() == QLatin1String(r.name);
    });
    QTextStream out(stdout);
    if (parser.isSet(kHelpOption) || parser.isSet(kVersionOption)) {
        if (parser.isSet(kVersionOption))
            out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        else if (rule != std::end(kVerbs))
            out << commandHelp(*rule);
        else
            out << usage() << "\n\n"
                << parser.helpText().section(u'\n', 1);
        out << Qt::flush;
        parsed.done = true;
        return parsed;
    }
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
    if (const QString output = parser.value(kOutputOption); output != kStandardStream)
        command.output = output;
    command.backupFolder = parser.value(kBackupOption);
    command.verify = parser.isSet(kVerifyOption);
    command.json = parser.isSet(kJsonOption);
    command.keep = keepWanted(parser);
    command.verbosity = parser.isSet(kQuietOption)   ? Verbosity::Quiet
                      : parser.isSet(kVerboseOption) ? Verbosity::Verbose
                                                     : Verbosity::Normal;
    return parsed;
}

} // namespace veldo::cli
