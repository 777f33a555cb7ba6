#include "support/HoldingProcess.h"
#include "support/PtyPorts.h"

#include <QDir>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace veldo;

namespace {
// The held ones last.
enum class Obstacle { NoLink, DanglingLink, NotATerminal, FlockElsewhere, ExclusiveElsewhere, LockFile, OpenUnderOtherName };
} // namespace

Q_DECLARE_METATYPE(Obstacle)

class CommPortTest : public QObject {
    Q_OBJECT

private slots:
    void portMap_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("linkTarget"); // empty: no link
        QTest::addColumn<QString>("device");     // "link": the link itself

        QTest::newRow("first USB adapter") << 1 << QString() << "/dev/ttyUSB0";
        QTest::newRow("last USB adapter") << 8 << QString() << "/dev/ttyUSB7";
        QTest::newRow("first ACM device") << 9 << QString() << "/dev/ttyACM0";
        QTest::newRow("first on-board port") << 13 << QString() << "/dev/ttyS0";
        QTest::newRow("last on-board port") << 16 << QString() << "/dev/ttyS3";
        QTest::newRow("link overrides") << 13 << "/dev/null" << "link";
        QTest::newRow("dangling link still overrides") << 2 << "/nonexistent/tty" << "link";
        QTest::newRow("zero") << 0 << QString() << QString();
        QTest::newRow("seventeen, even linked") << 17 << "/dev/null" << QString();
    }

    void portMap()
    {
        QFETCH(int, port);
        QFETCH(QString, linkTarget);
        QFETCH(QString, device);
        TempPortsFolder folder;
        if (!linkTarget.isEmpty())
            QVERIFY(folder.link(port, linkTarget));
        const PortMap map = PortMap::standard();
        QCOMPARE(map.devicePath(port), device == QLatin1String("link") ? map.overridePath(port) : device);
        QCOMPARE(map.overridePath(port), folder.path() + QStringLiteral("/com%1").arg(port));
    }

    void standardFolderWithoutUsableConfigHome_data()
    {
        QTest::addColumn<QByteArray>("configHome");
        QTest::newRow("unset") << QByteArray();
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("relative") << QByteArray("relative/config");
    }

    void standardFolderWithoutUsableConfigHome()
    {
        QFETCH(QByteArray, configHome);
        TempPortsFolder restoresConfigHome;
        if (configHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", configHome);
        QCOMPARE(PortMap::standardPortsFolder(), QDir::homePath() + QStringLiteral("/.config/veldo/ports"));
    }

    void settingsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("box line") << "9600,n,8,1" << true;
        QTest::newRow("even, 7 bits, 2 stop") << "300,e,7,2" << true;
        QTest::newRow("5 bits, 1.5 stop") << "1200,n,5,1.5" << true;
        QTest::newRow("mark, upper case") << "19200,M,6,1" << true;
        QTest::newRow("zero baud") << "0,n,8,1" << false;
        QTest::newRow("negative baud") << "-9600,n,8,1" << false;
        QTest::newRow("baud beyond 32 bits") << "99999999999,n,8,1" << false;
        QTest::newRow("unknown parity") << "9600,x,8,1" << false;
        QTest::newRow("4 data bits") << "9600,n,4,1" << false;
        QTest::newRow("3 stop bits") << "9600,n,8,3" << false;
        QTest::newRow("1.5 stop bits with 8 data bits") << "9600,n,8,1.5" << false;
        QTest::newRow("2 stop bits with 5 data bits") << "9600,n,5,2" << false;
        QTest::newRow("field missing") << "9600,n,8" << false;
        QTest::newRow("empty") << "" << false;
    }

    void settingsText()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        PtyPorts bench({1});
        QCOMPARE(bench.comm.setSettings(text), accepted);
        QCOMPARE(bench.comm.settings(), accepted ? text : QStringLiteral("9600,n,8,1"));
        // What is accepted, the device takes.
        QVERIFY(bench.comm.setPortOpen(true));
        QVERIFY(!bench.comm.setSettings(QStringLiteral("9600,n,8,1")));
    }

    void openFails_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::newRow("no link") << Obstacle::NoLink;
        QTest::newRow("dangling link") << Obstacle::DanglingLink;
        QTest::newRow("not a terminal") << Obstacle::NotATerminal;
        QTest::newRow("held by another program with flock") << Obstacle::FlockElsewhere;
        QTest::newRow("held by another program in exclusive mode") << Obstacle::ExclusiveElsewhere;
        QTest::newRow("held by a program's lock file") << Obstacle::LockFile;
        QTest::newRow("open here under the device's own name") << Obstacle::OpenUnderOtherName;
    }

    void openFails()
    {
        QFETCH(Obstacle, obstacle);
        PtyPorts bench({1});
        const QString device = bench.pty(1).slavePath();
        QTemporaryFile plainFile;
        QVERIFY(plainFile.open());
        if (obstacle == Obstacle::NoLink)
            bench.folder.unlink(1);
        if (obstacle == Obstacle::DanglingLink)
            QVERIFY(bench.folder.link(1, bench.folder.path() + QStringLiteral("/gone")));
        if (obstacle == Obstacle::NotATerminal)
            QVERIFY(bench.folder.link(1, plainFile.fileName()));
        {
            std::optional<HoldingProcess> holder;
            if (obstacle == Obstacle::FlockElsewhere)
                holder.emplace(device, HoldingProcess::Lock::Flock);
            if (obstacle == Obstacle::ExclusiveElsewhere)
                holder.emplace(device, HoldingProcess::Lock::ExclusiveMode);
            QVERIFY(!holder || holder->isHolding());
            QLockFile lockFile(QStringLiteral("/var/lock/LCK..") + device.mid(5).replace(u'/', u'_'));
            QVERIFY(obstacle != Obstacle::LockFile || lockFile.tryLock(0));
            CommPort direct(PortMap(bench.folder.path(), {QString(), device}));
            direct.setCommPort(2);
            QVERIFY(obstacle != Obstacle::OpenUnderOtherName || direct.setPortOpen(true));

            QVERIFY(!bench.comm.canOpen());
            QVERIFY(!bench.comm.setPortOpen(true));
            QVERIFY(!bench.comm.portOpen());
        }
        // Once the holder lets go, nothing of its lock is left behind.
        if (obstacle >= Obstacle::FlockElsewhere) {
            QVERIFY(bench.comm.canOpen());
            QVERIFY(bench.comm.setPortOpen(true));
        }
    }

    void allByteValuesPassBothWays()
    {
        PtyPorts bench({1});
        QVERIFY(bench.comm.setPortOpen(true));
        QByteArray all;
        for (int value = 0; value < 256; ++value)
            all.append(char(value));

        QVERIFY(bench.comm.output(all));
        QByteArray atDevice;
        QTRY_COMPARE(atDevice += bench.pty(1).readAvailable(), all);

        QVERIFY(bench.pty(1).write(all));
        QByteArray received;
        QTRY_COMPARE(received += bench.comm.input(), all);
    }

    void discardDropsStaleInput_data()
    {
        QTest::addColumn<bool>("fetchedByPort");
        QTest::newRow("already fetched from the system") << true;
        QTest::newRow("still held by the system") << false;
    }

    void discardDropsStaleInput()
    {
        QFETCH(bool, fetchedByPort);
        PtyPorts bench({1});
        QVERIFY(bench.comm.setPortOpen(true));
        QVERIFY(bench.pty(1).write("stale"));
        if (fetchedByPort)
            QTest::qWait(50);
        bench.comm.discardInput();
        QVERIFY(bench.pty(1).write("fresh"));
        QByteArray received;
        QTRY_COMPARE(received += bench.comm.input(), QByteArray("fresh"));
    }

    // A discard between the system's "readable" and QSerialPort's read leaves it nothing to
    // read, which it reports as an error; the port is sound and stays open.
    void discardRacingPendingInputKeepsPortOpen()
    {
        PtyPorts bench({1});
        QSignalSpy failed(&bench.comm, &CommPort::failed);
        QVERIFY(bench.comm.setPortOpen(true));
        for (int round = 0; round < 20; ++round) {
            QVERIFY(bench.pty(1).write("x"));
            QTimer::singleShot(0, &bench.comm, &CommPort::discardInput);
            QTest::qWait(2);
        }
        QVERIFY(bench.comm.portOpen());
        QCOMPARE(failed.count(), 0);
    }

    void vanishedDeviceClosesPortOnce()
    {
        PtyPorts bench({1});
        QSignalSpy failed(&bench.comm, &CommPort::failed);
        QVERIFY(bench.comm.setPortOpen(true));
        QVERIFY(bench.pty(1).write("unread"));
        bench.pty(1).close();
        QTRY_COMPARE(failed.count(), 1);
        QTest::qWait(100);
        QCOMPARE(failed.count(), 1);
        QVERIFY(!bench.comm.portOpen());
        QVERIFY(bench.comm.input().isEmpty());
        QVERIFY(!bench.comm.output("late"));
    }
};

QTEST_GUILESS_MAIN(CommPortTest)
#include "CommPortTest.moc"
