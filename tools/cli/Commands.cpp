// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

#include "CliSession.h"

#include "config/ConfigCompare.h"
#include "files/ConfigFile.h"
#include "files/FileReason.h"
#include "files/FileStore.h"
#include "files/KeptDownloads.h"
#include "files/OpenFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

namespace veldo::cli {

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

ExitStatus fileFailure(const QString &fileName, const QString &reason)
{
    const QString name = fileName == kStandardStream ? QStringLiteral("standard input") : fileName;
    err() << "veldo-cli: " << escapeControls(name) << ": " << escapeControls(reason) << Qt::endl;
    return kFileError;
}

// A configuration file, or standard input for "-".
FileResult readConfigInput(const QString &fileName, SwitchConfig &config)
{
    if (fileName != kStandardStream)
        return readConfigFile(fileName, config);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return failureOf(EBADF);
    // A pipe gives at most what its writer has put in so far: read on to the end, or to one
    // byte past the bound, in pieces so that a small input needs no buffer of the bound's size.
    constexpr qint64 kPiece = 64 * 1024;
    QByteArray bytes;
    while (bytes.size() <= kMaxConfigFileSize) {
        const QByteArray piece = input.read(std::min<qint64>(kPiece, kMaxConfigFileSize + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (FileResult size = checkFileSize(bytes.size()); !size.ok())
        return size;
    return readConfigBytes(bytes, config);
}

QJsonValue usbJson(const PortFacts &port)
{
    if (!port.usb)
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("description"), port.usb->description},
                       {QStringLiteral("manufacturer"), port.usb->manufacturer},
                       {QStringLiteral("serialNumber"), port.usb->serialNumber}};
}

// One line, its fields apart by tabs: names and reasons escaped, tabs and line breaks too.
QString portLine(const PortFacts &port)
{
    QString line = QStringLiteral("Com%1\t%2\t%3").arg(port.number).arg(escapeControls(port.device.isEmpty() ? port.path : port.device), portStateKey(port.state));
    if (!port.reason.isEmpty())
        line += u'\t' + escapeControls(port.reason);
    if (port.usb)
        line += QStringLiteral("\t%1 (serial number %2)").arg(escapeControls(port.usb->description), escapeControls(port.usb->serialNumber));
    return line;
}

// Opens the session's port and reads the box's configuration.
ExitStatus readBox(CliSession &box, SwitchConfig &config)
{
    const ExitStatus opened = box.open();
    return opened != kSuccess ? opened : box.download(config);
}

// Reads the box again and prints every value that differs from what it should hold.
ExitStatus compareWithBox(CliSession &box, const SwitchConfig &expected)
{
    SwitchConfig held;
    if (const ExitStatus read = box.download(held); read != kSuccess)
        return read;
    const QList<ConfigDifference> differences = compareConfigs(expected, held);
    for (const ConfigDifference &d : differences)
        out() << QStringLiteral("%1 %2: box %3, file %4").arg(outputLabel(d.output), d.what, d.actual, d.expected) << Qt::endl;
    if (differences.isEmpty()) {
        box.progress(QStringLiteral("verify"), QStringLiteral("ok"));
        return kSuccess;
    }
    box.failure(QStringLiteral("verify"), QStringLiteral("%1 value(s) differ").arg(differences.size()));
    return kVerifyMismatch;
}

// The backup of what the box holds before an upload, named by date, time and port.
ExitStatus backUp(CliSession &box, const QString &folder, const SwitchConfig &config)
{
    QString fileName;
    box.startStep();
    if (const FileResult saved = saveTimedCopy(config, box.fileTag(), QDateTime::currentDateTime(), folder, fileName); !saved.ok())
        return fileFailure(fileName.isEmpty() ? folder : fileName, fileReason(saved));
    box.progress(QStringLiteral("backup"), escapeControls(fileName));
    return kSuccess;
}

// Reads FILE, refusing it before anything is sent, then opens the port and goes on.
template <typename Then> ExitStatus withFileOnBox(const CliCommand &command, Then then)
{
    SwitchConfig config;
    if (const FileResult read = readConfigInput(command.file, config); !read.ok())
        return fileFailure(command.file, fileReason(read));
    CliSession box(command);
    if (const ExitStatus opened = box.open(); opened != kSuccess)
        return opened;
    return then(box, config);
}

} // namespace

ExitStatus listPorts(const CliCommand &command)
{
    const PortScan ports = BoxSession(QString(), BoxSession::Pace::AsBytesArrive).probe();
    if (!command.json) {
        for (const PortFacts &port : ports)
            out() << portLine(port) << Qt::endl;
        return kSuccess;
    }
    QJsonArray list;
    for (const PortFacts &port : ports)
        list.append(QJsonObject{{QStringLiteral("port"), port.number},
                                {QStringLiteral("path"), port.path},
                                {QStringLiteral("device"), port.device.isEmpty() ? port.path : port.device},
                                {QStringLiteral("state"), portStateKey(port.state)},
                                {QStringLiteral("remote"), port.isRemote() ? QJsonValue(port.remote) : QJsonValue::Null},
                                {QStringLiteral("reason"), port.reason},
                                {QStringLiteral("usb"), usbJson(port)}});
    out() << QJsonDocument(list).toJson() << Qt::flush;
    return kSuccess;
}

ExitStatus downloadToFile(const CliCommand &command)
{
    // Refused before the box is asked: a download that cannot be saved is no download.
    if (!command.output.isEmpty()) {
        if (const FileResult writable = checkFileReplaceable(command.output); !writable.ok())
            return fileFailure(command.output, fileReason(writable));
    }
    CliSession box(command);
    SwitchConfig config;
    if (const ExitStatus read = readBox(box, config); read != kSuccess)
        return read;
    box.startStep();
    if (!command.output.isEmpty()) {
        if (const FileResult saved = saveConfigFile(command.output, config); !saved.ok())
            return fileFailure(command.output, fileReason(saved));
        box.step(QStringLiteral("save"), command.output, QStringLiteral("%1 bytes").arg(QFileInfo(command.output).size()));
        return kSuccess;
    }
    QFile standardOutput;
    const QByteArray bytes = configFileBytes(config);
    if (!standardOutput.open(stdout, QIODevice::WriteOnly) || standardOutput.write(bytes) != bytes.size()
        || !standardOutput.flush())
        return fileFailure(QStringLiteral("standard output"), standardOutput.errorString());
    box.step(QStringLiteral("save"), QStringLiteral("standard output"), QStringLiteral("%1 bytes").arg(bytes.size()));
    return kSuccess;
}

ExitStatus uploadFile(const CliCommand &command)
{
    return withFileOnBox(command, [&command](CliSession &box, const SwitchConfig &config) {
        if (!command.backupFolder.isEmpty()) {
            SwitchConfig held;
            if (const ExitStatus read = box.download(held); read != kSuccess)
                return read;
            if (const ExitStatus kept = backUp(box, command.backupFolder, held); kept != kSuccess)
                return kept;
        }
        if (const ExitStatus sent = box.upload(config); sent != kSuccess)
            return sent;
        return command.verify ? compareWithBox(box, config) : kSuccess;
    });
}

ExitStatus verifyAgainstFile(const CliCommand &command)
{
    return withFileOnBox(command, &compareWithBox);
}

} // namespace veldo::cli
