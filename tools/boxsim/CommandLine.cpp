// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "files/ConfigFile.h"
#include "files/FileReason.h"
#include "ports/PortMap.h"
#include "protocol/DeviceImage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

namespace veldo {

namespace {

const QCommandLineOption kPort({QStringLiteral("p"), QStringLiteral("port")},
                               QStringLiteral("Appear as Com <n> (1..16): link <n> in the ports folder of the tool to the device."),
                               QStringLiteral("n"));
const QCommandLineOption kEcho({QStringLiteral("e"), QStringLiteral("echo")},
                               QStringLiteral("Return every received byte at once, like a link that echoes."));
const QCommandLineOption kDelay({QStringLiteral("d"), QStringLiteral("delay")},
                                QStringLiteral("Wait <ms> before answering."), QStringLiteral("ms"), QStringLiteral("0"));
const QCommandLineOption kChunk(QStringLiteral("chunk"),
                                QStringLiteral("Send answers in pieces of <bytes>."), QStringLiteral("bytes"), QStringLiteral("0"));
const QCommandLineOption kPause(QStringLiteral("pause"),
                                QStringLiteral("Wait <ms> between two pieces (with --chunk)."), QStringLiteral("ms"), QStringLiteral("0"));
const QCommandLineOption kWrongChecksum(QStringLiteral("wrong-checksum"),
                                        QStringLiteral("Send downloads an image whose checksum is wrong."));
const QCommandLineOption kNak(QStringLiteral("nak"),
                              QStringLiteral("Reject every upload with 21 and store nothing."));
const QCommandLineOption kForgetful(QStringLiteral("forgetful"),
                                    QStringLiteral("Acknowledge every valid upload but keep the old configuration."));
const QCommandLineOption kSilent(QStringLiteral("silent"),
                                 QStringLiteral("Never answer and store nothing (overrides the other answer options)."));
const QCommandLineOption kStray(QStringLiteral("stray-byte"),
                                QStringLiteral("Send one byte 0x00 before each upload verdict."));
const QCommandLineOption kUnplug(QStringLiteral("unplug-on-request"),
                                 QStringLiteral("Close the device when the first request is complete, then end."));
const QCommandLineOption kFast(QStringLiteral("fast"),
                               QStringLiteral("Take and send bytes at once instead of at the line rate of 9600 8N1 (about 1.04 ms a byte)."));
const QCommandLineOption kConfig(QStringLiteral("config"),
                                 QStringLiteral("Start with the configuration saved by the tool in <file>."), QStringLiteral("file"));
const QCommandLineOption kImage(QStringLiteral("image"),
                                QStringLiteral("Start with the configuration of a 198-byte image given as 396 hex digits "
                                               "(its lead byte and checksum are not used)."),
                                QStringLiteral("hex"));

bool readNumber(const QCommandLineParser &parser, const QCommandLineOption &option, int low, int high,
                int &value, QString &error)
{
    bool ok = false;
    const QString text = parser.value(option);
    value = text.toInt(&ok);
    if (ok && value >= low && value <= high)
        return true;
    error = QStringLiteral("--%1 takes a number from %2 to %3, not \"%4\"")
                .arg(option.names().constLast())
                .arg(low)
                .arg(high)
                .arg(text);
    return false;
}

bool readImage(const QString &text, SwitchConfig &config, QString &error)
{
    QString digits = text;
    digits.remove(QRegularExpression(QStringLiteral("\\s")));
    static const QRegularExpression hexOnly(QStringLiteral("\\A[0-9A-Fa-f]*\\z"));
    if (digits.size() != 2 * kDeviceImageSize || !hexOnly.match(digits).hasMatch()) {
        error = QStringLiteral("--image takes %1 hex digits").arg(2 * kDeviceImageSize);
        return false;
    }
    config = DecodeDeviceImage(QByteArray::fromHex(digits.toLatin1()));
    return true;
}

bool readConfig(const QString &fileName, SwitchConfig &config, QString &error)
{
    const FileResult result = readConfigFile(fileName, config);
    if (!result.ok())
        error = QStringLiteral("%1: %2").arg(fileName, fileReason(result));
    return result.ok();
}

bool readOptions(const QCommandLineParser &parser, CommandLine &command)
{
    if (!parser.positionalArguments().isEmpty()) {
        command.error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst());
        return false;
    }
    BoxOptions &options = command.options;
    options.echo = parser.isSet(kEcho);
    options.wrongChecksum = parser.isSet(kWrongChecksum);
    options.alwaysNak = parser.isSet(kNak);
    options.silent = parser.isSet(kSilent);
    options.forgetful = parser.isSet(kForgetful);
    options.strayByte = parser.isSet(kStray);
    options.unplugOnRequest = parser.isSet(kUnplug);
    options.fast = parser.isSet(kFast);
    constexpr int kLongestWaitMs = 60000;
    if (!readNumber(parser, kDelay, 0, kLongestWaitMs, options.answerDelayMs, command.error)
        || !readNumber(parser, kChunk, 0, int(kDeviceImageSize), options.chunkSize, command.error)
        || !readNumber(parser, kPause, 0, kLongestWaitMs, options.chunkPauseMs, command.error))
        return false;
    if (parser.isSet(kPort) && !readNumber(parser, kPort, kFirstPort, kLastPort, command.port, command.error))
        return false;
    if (parser.isSet(kConfig) && parser.isSet(kImage)) {
        command.error = QStringLiteral("give --config or --image, not both");
        return false;
    }
    if (parser.isSet(kConfig))
        return readConfig(parser.value(kConfig), options.config, command.error);
    if (parser.isSet(kImage))
        return readImage(parser.value(kImage), options.config, command.error);
    return true;
}

} // namespace

CommandLine readCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the switch box on a pseudo-terminal: answers 171 with its configuration image,\n"
        "takes an image led by 170 and answers 6 (stored) or 21 (checksum wrong).\n"
        "Prints the device, each request served and each configuration received.\n"
        "Answers at the line rate of 9600 8N1 unless --fast is given.\n"
        "Ends on Ctrl+C, SIGTERM or SIGHUP and removes its link, putting back a link it replaced.\n\n"
        "Example: veldo-boxsim --port 16 --echo --delay 100"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({kPort, kEcho, kDelay, kChunk, kPause, kWrongChecksum, kNak, kForgetful, kSilent, kStray, kUnplug,
                       kFast, kConfig, kImage});
    parser.process(app);
    CommandLine command;
    command.ok = readOptions(parser, command);
    return command;
}

} // namespace veldo
