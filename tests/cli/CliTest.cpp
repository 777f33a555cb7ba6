// SPDX-License-Identifier: GPL-3.0-or-later
// veldo-cli as a script runs it: the real program against the simulated box on a
// pseudo-terminal, told apart by exit status, standard output and standard error.
#include "BoxSimulator.h"
#include "support/Configs.h"
#include "support/FileFixture.h"
#include "support/PtyPorts.h"
#include "support/Ser2net.h"

#include "files/ConfigFile.h"
#include "ports/PortProbe.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <tuple>

#include <unistd.h>

using namespace veldo;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs veldo-cli while this thread's event loop serves the simulated box, its standard input a
// pipe that gets the input in pieces, each after a pause; with a signal, sends it once the
// program holds the box's device.
Run runCli(QStringList arguments, const QByteArray &input = {}, int signal = 0, const QString &device = {},
           const QString &output = {})
{
    QProcess cli;
    if (!output.isEmpty())
        cli.setStandardOutputFile(output);
    cli.start(QStringLiteral(VELDO_CLI), arguments);
    if (!cli.waitForStarted())
        return {};
    for (qsizetype at = 0; at < input.size(); at += 16384) {
        QTest::qWait(20);
        cli.write(input.mid(at, 16384));
        cli.waitForBytesWritten();
    }
    cli.closeWriteChannel();
    if (signal && (!QTest::qWaitFor([&] { return probePort(3, device).state == PortState::InUse; }, 10000)
                   || ::kill(pid_t(cli.processId()), signal) != 0))
        return {};
    if (!QTest::qWaitFor([&cli] { return cli.state() == QProcess::NotRunning; }, 15000))
        return {};
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, cli.readAllStandardOutput(),
            QString::fromLocal8Bit(cli.readAllStandardError())};
}

SwitchConfig fileConfig()
{
    return test::patternedConfig(QStringLiteral("A1B2C3D4E5F"), QStringLiteral("00000000000"));
}

// A run of veldo-cli: its arguments, where names ending in .ini are files beside the ports
// folder; the box's options; the exit status; all it says on standard error, where HOME is the
// test's folder and T a time; the requests that reached the box; a signal sent while it holds
// the port (0: none).
using Outcome = std::tuple<QStringList, BoxOptions, int, QString, int, int>;

// The simulated box as Com3, with files in the same folder.
struct Bench : PtyPorts {
    explicit Bench(const BoxOptions &options)
        : box(options)
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
        box.linkAsPort(3, folder());
        link(6, QStringLiteral("rfc2217://127.0.0.1")); // a remote port, its address without the port
        saveConfigFile(path("config.ini"), fileConfig());
    }
    QString path(const char *name) const { return home.filePath(QString::fromLatin1(name)); }
    QStringList arguments(const QStringList &given) const
    {
        QStringList expanded;
        for (const QString &word : given)
            expanded << (word.endsWith(QLatin1String(".ini")) || word == QLatin1String("backups") ? path(qPrintable(word)) : word);
        return expanded;
    }

    BoxSimulator box;
};

} // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void outcomes_data()
    {
        QTest::addColumn<Outcome>("outcome");
        const QStringList download{"download", "--port", "3"};
        const QStringList upload{"upload", "--port", "3", "config.ini"};
        const QStringList interrupted{"download", "--port", "3", "-o", "out.ini"};
        const QString stopped = "Com3: download ... interrupted"; // before the request is sent or after
        const auto row = [](const char *name, const QStringList &arguments, BoxOptions options, int status, const QString &says, int requests, int signal = 0) {
            QTest::newRow(name) << Outcome{arguments, options, status, says, requests, signal};
        };
        row("upload", upload, {}, 0, "Com3: upload ... ok\n", 1);
        row("upload, verified", upload + QStringList{"--verify", "-v"}, {}, 0,
            "Com3: open ... HOME/veldo/ports/com3 (9600 8N1, T s)\nCom3: upload ... ok (bytes sent 198, received 1, T s)\n"
            "Com3: download ... ok (bytes sent 1, received 198, T s)\nCom3: verify ... ok (T s)\n", 2);
        row("unknown option", {"ports", "--frob"}, {}, 2, "veldo-cli: Unknown option 'frob'.\nUsage: veldo-cli", 0);
        row("port 0", {"download", "--port", "0"}, {}, 2, "veldo-cli: --port takes a number from 1 to 16, not \"0\"\nUsage:", 0);
        row("file missing", {"verify", "--port", "3"}, {}, 2, "veldo-cli: verify needs a FILE", 0);
        row("no usable port, quiet", {"download", "--port", "16", "--quiet"}, {}, 3, "Com16: open ... HOME/veldo/ports/com16", 0);
        row("malformed remote link", {"download", "--port", "6"}, {}, 3, "Com6: open ... rfc2217://127.0.0.1 names no port: add :PORT after the host\n", 0);
        row("download, unplugged", download, {.unplugOnRequest = true}, 4, "Com3: download ... Error: Communication time-out\n", 1);
        row("download, corrupt", download, {.wrongChecksum = true}, 5, "Com3: download ... Error: Checksum Error\n", 1);
        row("upload, rejected", upload, {.alwaysNak = true}, 5, "Com3: upload ... Error: Checksum error\n", 1);
        row("upload, box keeps its old values", upload + QStringList{"--verify"}, {.forgetful = true}, 6,
            "Com3: upload ... ok\nCom3: download ... ok\nCom3: verify ... 32 value(s) differ\n", 2);
        row("output folder missing", download + QStringList{"-o", "missing/out.ini"}, {}, 7, "veldo-cli: HOME/missing/out.ini: The folder does not exist\n", 0);
        row("output folder gone during the download", download + QStringList{"-o", "vanishing/out.ini"}, {}, 7,
            "Com3: download ... ok\nveldo-cli: HOME/vanishing/out.ini: The folder does not exist\n", 1);
        row("standard output on a full disk", {"ports"}, {}, 7, "veldo-cli: standard output: No space left on device\n", 0);
        row("backup into a file", upload + QStringList{"--backup", "config.ini"}, {}, 7, "Com3: download ... ok\nveldo-cli: HOME/config.ini", 1);
        // Two downloads, one report; the second line ends with the backup's name.
        row("upload with a backup, nowhere to keep downloads", upload + QStringList{"--verify", "--backup", "backups"}, {}, 0,
            "veldo: could not keep the configuration read from the box in HOME/data/veldo/downloads: Not a directory\n"
            "veldo: the download itself went well; check that this is a folder you can write to (or set XDG_DATA_HOME) to keep "
            "downloads; later failures are not reported\nCom3: download ... ok\nCom3: backup ... HOME/backups/", 3);
        row("SIGHUP", interrupted, {.silent = true}, 129, stopped, 1, SIGHUP);
        row("Ctrl+C", interrupted, {.silent = true}, 130, stopped, 1, SIGINT);
        row("SIGTERM", interrupted, {.silent = true}, 143, stopped, 1, SIGTERM);
    }

    void outcomes()
    {
        QFETCH(Outcome, outcome);
        const auto &[arguments, options, status, says, requests, signal] = outcome;
        Bench bench(options);
        QSignalSpy served(&bench.box, &BoxSimulator::requestReceived);
        QVERIFY(QDir().mkpath(bench.path("vanishing")));
        connect(&bench.box, &BoxSimulator::requestReceived, &bench.box, [&] { QDir(bench.path("vanishing")).removeRecursively(); });
        const bool fullDisk = QByteArray(QTest::currentDataTag()).endsWith("full disk");
        QVERIFY(!QByteArray(QTest::currentDataTag()).endsWith("nowhere to keep downloads") || test::putFileBytes(bench.path("data"), "x"));
        const Run run = runCli(bench.arguments(arguments), {}, signal, bench.box.slavePath(),
                               fullDisk ? QStringLiteral("/dev/full") : QString());
        const QString err = QString(run.err).replace(bench.home.path(), QStringLiteral("HOME"))
                                .replace(QRegularExpression(QStringLiteral("\\d+\\.\\d{3} s\\)")), QStringLiteral("T s)"));
        QVERIFY2(run.status == status && (says.endsWith(u'\n') ? err == says : err.startsWith(says)),
                 qPrintable(QStringLiteral("%1: %2").arg(run.status).arg(err)));
        QCOMPARE(served.count(), requests);
        QVERIFY(err.count(QStringLiteral("could not keep")) <= 1);
        QVERIFY(run.out.isEmpty() || status == 0 || status == 6);
        QVERIFY2(options.unplugOnRequest || probePort(3, bench.box.slavePath()).usable(), "the port is closed at the end, whatever ended it");
        QVERIFY(!QFile::exists(bench.path("out.ini")));
    }

    // The downloaded file is what the window's Save writes; uploaded, verified and backed up, it comes back.
    void roundTrip()
    {
        Bench bench(BoxOptions{});
        const SwitchConfig held = bench.box.config();
        const Run toStandardOutput = runCli({"download", "--port", "3", "--quiet", "-o", "-"});
        QCOMPARE(toStandardOutput.status, 0);
        QVERIFY(toStandardOutput.err.isEmpty());
        QVERIFY(saveConfigFile(bench.path("saved.ini"), held).ok());
        QCOMPARE(toStandardOutput.out, test::fileBytes(bench.path("saved.ini")));
        const QStringList kept = QDir(bench.path("data") + QStringLiteral("/veldo/downloads")).entryList(QDir::Files);
        QVERIFY2(kept.size() == 1 && kept[0].endsWith(QStringLiteral("-Com3.ini")), qPrintable(kept.join(u' ')));

        // Named after the device behind the link, kept nowhere else.
        const QStringList upload{"upload", "--device", bench.box.linkPath(), "config.ini", "--verify", "--backup", "backups", "--no-keep"};
        QCOMPARE(runCli(bench.arguments(upload)).status, 0);
        QCOMPARE(bench.box.config(), fileConfig());
        const QStringList backups = QDir(bench.path("backups")).entryList(QDir::Files);
        QCOMPARE(backups.size(), 1);
        const QString device = bench.box.slavePath().remove(QStringLiteral("/dev/")).remove(u'/');
        QVERIFY2(backups.first().endsWith(QStringLiteral("-%1.ini").arg(device)), qPrintable(backups.first()));
        QCOMPARE(test::loadedConfig(bench.path("backups") + u'/' + backups.first()), held);

        qputenv("VELDO_NO_KEEP", "1");
        // More than one read of a pipe gives: 200 KiB of comment lines before the configuration.
        const QByteArray padded = QByteArray(";\n").repeated(100 * 1024) + test::fileBytes(bench.path("config.ini"));
        const Run verified = runCli({"verify", "--port", "3", "-"}, padded);
        qunsetenv("VELDO_NO_KEEP");
        QCOMPARE(verified.status, 0);
        QVERIFY(verified.out.isEmpty());
        QCOMPARE(QDir(bench.path("data") + QStringLiteral("/veldo/downloads")).entryList(QDir::Files).size(), 1);
        SwitchConfig changed = fileConfig();
        changed.outputs[7].type = OutputType::Slave;
        changed.outputs[15].codeB = QStringLiteral("0000000000FF");
        bench.box.setConfig(changed);
        const Run differs = runCli(bench.arguments({"verify", "--port", "3", "config.ini"}));
        QCOMPARE(differs.status, 6);
        QCOMPARE(differs.out, "Output 7: Output Type: box Slave, file Toggle\nOutput F: Code B: box 0000000000FF, file 00000000000F\n");
    }

    // The same box served by ser2net on loopback, by URL: named by its address in what is said
    // and in the backup's name. How each failure of the connection is worded, NetworkLineTest shows.
    void remote()
    {
        if (test::Ser2net::program().isEmpty())
            QSKIP("ser2net is not installed");
        Bench bench(BoxOptions{});
        test::Ser2net server(bench.box.slavePath());
        QVERIFY2(server.start(), qPrintable(server.problem()));
        const QString url = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.port());
        const Run run = runCli(bench.arguments({"upload", "--device", url, "config.ini", "--verify", "--backup", "backups"}));
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.startsWith(url + ": download ... ok\n" + url + ": backup ... " + bench.path("backups") + u'/'), qPrintable(run.err));
        const QStringList backups = QDir(bench.path("backups")).entryList(QDir::Files);
        QVERIFY2(backups.size() == 1 && backups[0].endsWith(QStringLiteral("-127.0.0.1_%1.ini").arg(server.port())), qPrintable(backups.join(u' ')));
    }

    void ports()
    {
        Bench bench(BoxOptions{});
        const Run text = runCli({"ports"});
        QCOMPARE(text.status, 0);
        QCOMPARE(text.out.count('\n'), 16);
        QVERIFY(text.out.contains("Com3\t" + QFile::encodeName(bench.box.slavePath()) + "\tusable\n"));

        // A holder that named itself with escape sequences, as another user's process may.
        QProcess holder;
        holder.setStandardInputFile(bench.box.slavePath());
        holder.start(QStringLiteral("sh"), {"-c", "printf '\\033]2;PWNED\\007\\033[2J' >/proc/$$/comm; read -r line"});
        QVERIFY(QTest::qWaitFor([&] { return probePort(3, bench.box.slavePath()).state == PortState::InUse; }, 5000));
        const Run held = runCli({"ports"});
        holder.kill();
        holder.waitForFinished();
        QVERIFY2(held.out.contains("in use by \\x1b]2;PWNED\\x07\\x1b[2J (PID "), held.out.constData());
        QVERIFY(!held.out.contains('\x1b'));
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "CliTest.moc"
