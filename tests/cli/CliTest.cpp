// SPDX-License-Identifier: GPL-3.0-or-later
// veldo-cli as a script runs it: the real program against the simulated box on a
// pseudo-terminal, told apart by exit status, standard output and standard error.
#include "BoxSimulator.h"
#include "support/Configs.h"
#include "support/PtyPorts.h"

#include "files/ConfigFile.h"
#include "link/PortProbe.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace veldo;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs veldo-cli while this thread's event loop serves the simulated box.
Run runCli(QStringList arguments, const QString &input = QProcess::nullDevice())
{
    QProcess cli;
    cli.setStandardInputFile(input);
    cli.start(QStringLiteral(VELDO_CLI), arguments);
    if (!cli.waitForStarted() || !QTest::qWaitFor([&cli] { return cli.state() == QProcess::NotRunning; }, 15000))
        return {};
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, cli.readAllStandardOutput(),
            QString::fromLocal8Bit(cli.readAllStandardError())};
}

SwitchConfig fileConfig()
{
    return test::patternedConfig(QStringLiteral("A1B2C3D4E5F"), kZeroCode.left(11));
}

// The simulated box as Com3, with files in the same folder.
struct Bench : PtyPorts {
    explicit Bench(const BoxOptions &options)
        : box(options)
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
        box.linkAsPort(3, folder());
        saveConfigFile(path("config.ini"), fileConfig());
        QFile binary(path("binary.ini"));
        binary.open(QIODevice::WriteOnly);
        binary.write(QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10).repeated(100));
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
        QTest::addColumn<QStringList>("arguments"); // names ending in .ini are files beside the ports folder
        QTest::addColumn<BoxOptions>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");     // on standard error
        QTest::addColumn<int>("requests");     // that reached the box
        const QStringList download{"download", "--port", "3"};
        const QStringList upload{"upload", "--port", "3", "config.ini"};
        QTest::newRow("download") << download << BoxOptions{} << 0 << "Com3: download ... ok" << 1;
        QTest::newRow("verbose") << upload + QStringList{"-v"} << BoxOptions{} << 0 << "Com3: upload ... ok (bytes sent 198, received 1, " << 1;
        QTest::newRow("output folder missing") << download + QStringList{"-o", "missing/out.ini"} << BoxOptions{} << 7 << "missing/out.ini: The folder does not exist" << 0;
        QTest::newRow("download, echo") << download << BoxOptions{.echo = true} << 0 << "ok" << 1;
        QTest::newRow("download, corrupt") << download << BoxOptions{.wrongChecksum = true} << 5 << "Com3: download ... Error: Checksum Error" << 1;
        QTest::newRow("download, silent") << download << BoxOptions{.silent = true} << 4 << "Error: Communication time-out" << 1;
        QTest::newRow("download, unplugged") << download << BoxOptions{.unplugOnRequest = true} << 4 << "Error: Communication time-out" << 1;
        QTest::newRow("upload, verified") << upload + QStringList{"--verify"} << BoxOptions{} << 0 << "Com3: verify ... ok" << 2;
        QTest::newRow("upload, rejected") << upload << BoxOptions{.alwaysNak = true} << 5 << "Com3: upload ... Error: Checksum error" << 1;
        QTest::newRow("upload, box keeps its old values") << upload + QStringList{"--verify"} << BoxOptions{.forgetful = true} << 6 << "value(s) differ" << 2;
        QTest::newRow("upload, missing file") << QStringList{"upload", "--port", "3", "none.ini"} << BoxOptions{} << 7 << "none.ini: No such file" << 0;
        QTest::newRow("upload, binary file") << QStringList{"upload", "--port", "3", "binary.ini"} << BoxOptions{} << 7 << "holds no configuration" << 0;
        QTest::newRow("backup into a file") << upload + QStringList{"--backup", "config.ini"} << BoxOptions{} << 7 << "config.ini: " << 1;
        QTest::newRow("no usable port") << QStringList{"download", "--port", "4"} << BoxOptions{} << 3 << "Com4: open ... " << 0;
        QTest::newRow("device path") << QStringList{"verify", "--device", "config.ini", "config.ini"} << BoxOptions{} << 3 << "not a serial device" << 0;
        QTest::newRow("unknown option") << QStringList{"ports", "--frob"} << BoxOptions{} << 2 << "Usage: veldo-cli" << 0;
        QTest::newRow("port 0") << QStringList{"download", "--port", "0"} << BoxOptions{} << 2 << "1 to 16" << 0;
        QTest::newRow("file missing") << QStringList{"verify", "--port", "3"} << BoxOptions{} << 2 << "verify needs a FILE" << 0;
        QTest::newRow("extra argument") << download + QStringList{"x"} << BoxOptions{} << 2 << "Too many arguments" << 0;
    }

    void outcomes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(BoxOptions, options);
        QFETCH(int, status);
        QFETCH(QString, says);
        QFETCH(int, requests);
        Bench bench(options);
        QSignalSpy served(&bench.box, &BoxSimulator::requestReceived);
        const Run run = runCli(bench.arguments(arguments));
        QVERIFY2(run.status == status && run.err.contains(says), qPrintable(QStringLiteral("%1: %2").arg(run.status).arg(run.err)));
        QCOMPARE(served.count(), requests);
        QVERIFY2(status == 0 || !run.err.isEmpty(), "every failure says why");
        QVERIFY(run.out.isEmpty() || status == 0 || status == 6);
    }

    // The downloaded file is what the window's Save writes; uploaded, verified and backed up, it comes back.
    void roundTrip()
    {
        Bench bench(BoxOptions{});
        const SwitchConfig held = bench.box.config();
        const Run toStandardOutput = runCli({"download", "--port", "3", "--quiet", "-o", "-"});
        QCOMPARE(toStandardOutput.status, 0);
        QVERIFY(toStandardOutput.err.isEmpty());
        QVERIFY(saveConfigFile(bench.path("saved.ini"), held).ok);
        QFile saved(bench.path("saved.ini"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(toStandardOutput.out, saved.readAll());
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
        const Run verified = runCli({"verify", "--port", "3", "-"}, bench.path("config.ini"));
        qunsetenv("VELDO_NO_KEEP");
        QCOMPARE(verified.status, 0);
        QVERIFY(verified.out.isEmpty());
        QCOMPARE(QDir(bench.path("data") + QStringLiteral("/veldo/downloads")).entryList(QDir::Files).size(), 1);
        bench.box.setConfig(held);
        const Run differs = runCli(bench.arguments({"verify", "--port", "3", "config.ini"}));
        QCOMPARE(differs.status, 6);
        QVERIFY2(differs.out.startsWith("Output 0: Code A: box " + held.outputs[0].codeA.toLatin1() + ", file A1B2C3D4E5F0\n"),
                 differs.out.constData());
    }

    void interruptClosesThePort_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("status");
        QTest::newRow("Ctrl+C") << int(SIGINT) << 130;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
        QTest::newRow("SIGHUP") << int(SIGHUP) << 129;
    }

    void interruptClosesThePort()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, status);
        Bench bench(BoxOptions{.silent = true});
        QProcess cli;
        cli.start(QStringLiteral(VELDO_CLI), {"download", "--port", "3", "--output", bench.path("out.ini")});
        const QString device = bench.box.slavePath();
        QVERIFY(QTest::qWaitFor([&] { return probePort(3, device).state == PortState::InUse; }, 10000));
        ::kill(pid_t(cli.processId()), signalNumber);
        QVERIFY(QTest::qWaitFor([&cli] { return cli.state() == QProcess::NotRunning; }, 5000));
        QCOMPARE(cli.exitCode(), status);
        QVERIFY(probePort(3, device).usable());
        QVERIFY(!QFile::exists(bench.path("out.ini")));
    }

    void ports()
    {
        Bench bench(BoxOptions{});
        const Run text = runCli({"ports"});
        QCOMPARE(text.status, 0);
        QCOMPARE(text.out.count('\n'), kLastPort);
        QVERIFY(text.out.contains("Com3\t" + QFile::encodeName(bench.box.slavePath()) + "\tusable\n"));
        const Run json = runCli({"ports", "--json"});
        QVERIFY(json.out.contains("\"state\": \"usable\"") && json.out.contains("\"usb\": null"));

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
