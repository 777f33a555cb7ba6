#include "support/ChildProcess.h"
#include "support/DeviceHolder.h"
#include "support/PtyPorts.h"

#include "link/CommsModule.h"
#include "link/LockFile.h"
#include "link/PortAdvice.h"
#include "link/PortProbe.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace veldo;
using namespace veldo::test;

namespace {

// What stands behind Com1 for a probe.
enum class Behind {
    FreePty, DanglingLink, DevNull, RegularFile, NamedPipe, Folder, LinkLoop, VanishedPty,
    LiveLockFile, DeadLockFile, HeldOpen, HeldExclusively, LeftExclusive, OpenHereUnderOtherName, DialoutOnly,
};

bool writeLockFile(const QString &device, qint64 pid)
{
    QFile file(lockFilePath(device));
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray::number(pid).rightJustified(10) + " minicom root\n") > 0;
}

// Sets Com1 up as asked; returns the holders and files it made, which must live through the probe.
struct Obstacle {
    std::unique_ptr<DeviceHolder> holder;
    std::unique_ptr<CommPort> otherName;
    QString lockFile;
    ~Obstacle()
    {
        if (!lockFile.isEmpty())
            QFile::remove(lockFile);
    }
};

bool setUp(PtyPorts &bench, Behind behind, Obstacle &obstacle)
{
    const QString device = bench.pty(1).slavePath();
    const QString path = bench.comm.portMap().overridePath(1);
    switch (behind) {
    case Behind::FreePty: return true;
    case Behind::DanglingLink: return bench.link(1, bench.home.filePath(QStringLiteral("unplugged")));
    case Behind::DevNull: return bench.link(1, QStringLiteral("/dev/null"));
    case Behind::RegularFile: {
        QFile file(bench.home.filePath(QStringLiteral("file")));
        return file.open(QIODevice::WriteOnly) && bench.link(1, file.fileName());
    }
    case Behind::NamedPipe: return ::mkfifo(QFile::encodeName(bench.home.filePath(QStringLiteral("fifo"))).constData(), 0666) == 0 && bench.link(1, bench.home.filePath(QStringLiteral("fifo")));
    case Behind::Folder: return bench.link(1, bench.home.path());
    case Behind::LinkLoop: return bench.link(1, path);
    case Behind::VanishedPty: bench.pty(1).close(); return true;
    case Behind::LiveLockFile:
        obstacle.holder = std::make_unique<DeviceHolder>(QStringLiteral("/dev/null"));
        obstacle.lockFile = lockFilePath(device);
        return obstacle.holder->pid() > 0 && writeLockFile(device, obstacle.holder->pid());
    case Behind::DeadLockFile:
        obstacle.lockFile = lockFilePath(device);
        return writeLockFile(device, 999999999);
    case Behind::HeldOpen:
    case Behind::HeldExclusively:
        obstacle.holder = std::make_unique<DeviceHolder>(device, behind == Behind::HeldExclusively);
        return obstacle.holder->pid() > 0;
    case Behind::LeftExclusive: return leaveInExclusiveMode(device);
    case Behind::OpenHereUnderOtherName:
        obstacle.otherName = std::make_unique<CommPort>(PortMap(bench.folder(), {QString(), device}));
        obstacle.otherName->setCommPort(2);
        return obstacle.otherName->setPortOpen(true);
    case Behind::DialoutOnly: {
        const group *dialout = ::getgrnam("dialout");
        return dialout && ::chown(QFile::encodeName(device).constData(), 0, dialout->gr_gid) == 0
            && ::chmod(QFile::encodeName(device).constData(), 0660) == 0;
    }
    }
    return false;
}

} // namespace

// The port map, the serial port and port discovery, over pseudo-terminals.
class SerialPortTest : public QObject {
    Q_OBJECT

private slots:
    void portMap_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("linkTarget"); // empty: no link
        QTest::addColumn<QString>("device");     // "link": the link itself
        QTest::newRow("first USB adapter") << 1 << QString() << "/dev/ttyUSB0";
        QTest::newRow("last on-board port") << 16 << QString() << "/dev/ttyS3";
        QTest::newRow("dangling link still overrides") << 2 << "/nonexistent/tty" << "link";
        QTest::newRow("zero") << 0 << QString() << QString();
        QTest::newRow("seventeen, even linked") << 17 << "/dev/null" << QString();
    }

    void portMap()
    {
        QFETCH(int, port);
        QFETCH(QString, linkTarget);
        QFETCH(QString, device);
        PtyPorts bench;
        QVERIFY(linkTarget.isEmpty() || bench.link(port, linkTarget));
        const PortMap map = PortMap::standard();
        QCOMPARE(map.overridePath(port), bench.folder() + QStringLiteral("/com%1").arg(port));
        QCOMPARE(map.devicePath(port), device == QLatin1String("link") ? map.overridePath(port) : device);
    }

    void relativeConfigHomeIsIgnored()
    {
        qputenv("XDG_CONFIG_HOME", "relative/config");
        QCOMPARE(PortMap::standardPortsFolder(), QDir::homePath() + QStringLiteral("/.config/veldo/ports"));
    }

    // Each row is probed as this user and, where permissions matter, by nobody in a child.
    void probeSaysWhy_data()
    {
        QTest::addColumn<Behind>("behind");
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<PortState>("state");
        QTest::addColumn<QStringList>("reasonHolds"); // "PID" stands for the holder's PID
        const PortState usable = PortState::Usable;
        QTest::newRow("free pseudo-terminal") << Behind::FreePty << false << usable << QStringList();
        QTest::newRow("dangling link") << Behind::DanglingLink << false << PortState::Missing << QStringList{"unplugged, which does not exist", "plugged in?"};
        QTest::newRow("/dev/null") << Behind::DevNull << false << PortState::NotSerial << QStringList{"/dev/null is a device of another kind"};
        QTest::newRow("regular file") << Behind::RegularFile << false << PortState::NotSerial << QStringList{"a regular file, not a serial device"};
        QTest::newRow("named pipe, no hang") << Behind::NamedPipe << false << PortState::NotSerial << QStringList{"a named pipe"};
        QTest::newRow("folder") << Behind::Folder << false << PortState::NotSerial << QStringList{"a folder"};
        QTest::newRow("link loop") << Behind::LinkLoop << false << PortState::Error << QStringList{"loop of symbolic links"};
        QTest::newRow("pseudo-terminal gone") << Behind::VanishedPty << false << PortState::Missing << QStringList{"does not exist"};
        QTest::newRow("lock file of a live program, text after the PID") << Behind::LiveLockFile << false << PortState::InUse << QStringList{"(PID PID), which holds its lock file"};
        QTest::newRow("lock file of an ended program") << Behind::DeadLockFile << false << usable << QStringList();
        QTest::newRow("held open without any lock") << Behind::HeldOpen << false << PortState::InUse << QStringList{"in use by serial_port_tes (PID PID)"};
        QTest::newRow("held in exclusive mode") << Behind::HeldExclusively << false << PortState::InUse << QStringList{"(PID PID)"};
        QTest::newRow("open here under another name") << Behind::OpenHereUnderOtherName << false << PortState::InUse << QStringList{"this program, which holds its lock file"};
        QTest::newRow("left in exclusive mode, as root") << Behind::LeftExclusive << false << usable << QStringList();
        QTest::newRow("left in exclusive mode, as nobody") << Behind::LeftExclusive << true << PortState::Error << QStringList{"exclusive mode", "plug it in again"};
        QTest::newRow("group dialout only, as nobody") << Behind::DialoutOnly << true << PortState::NoPermission << QStringList{"group dialout (crw-rw----)", "sudo adduser nobody dialout", "log out and in again"};
    }

    void probeSaysWhy()
    {
        QFETCH(Behind, behind);
        QFETCH(bool, asNobody);
        QFETCH(PortState, state);
        QFETCH(QStringList, reasonHolds);
        if (asNobody && !isRoot())
            QSKIP("needs root to drop to nobody");
        PtyPorts bench({1});
        Obstacle obstacle;
        QVERIFY(setUp(bench, behind, obstacle));
        const QString device = bench.pty(1).slavePath();
        if (asNobody && behind != Behind::DialoutOnly)
            QCOMPARE(::chmod(QFile::encodeName(device).constData(), 0666), 0);
        const QString holder = obstacle.holder ? QString::number(obstacle.holder->pid()) : QString();
        const QString path = asNobody ? device : bench.comm.portMap().devicePath(1);
        const auto judged = [&] {
            const PortFacts facts = probePort(1, path);
            bool holds = facts.state == state;
            for (const QString &part : reasonHolds)
                holds = holds && facts.reason.contains(QString(part).replace(QStringLiteral("PID PID"), QStringLiteral("PID ") + holder));
            if (!holds)
                qWarning("%s: %s", qPrintable(portStateKey(facts.state)), qPrintable(facts.reason));
            return holds ? 0 : 1;
        };
        QCOMPARE(asNobody ? runInChild(judged, {.dropToNobody = true}) : judged(), 0);
        QVERIFY(asNobody || bench.comm.setPortOpen(true) == (state == PortState::Usable));
    }

    void noPortExplanation_data()
    {
        QTest::addColumn<PortScan>("ports");
        QTest::addColumn<QStringList>("processes");
        QTest::addColumn<QStringList>("holds");
        QTest::addColumn<QStringList>("lacks");
        PortScan missing;
        for (int n = kFirstPort; n <= kLastPort; ++n)
            missing << PortFacts{.number = n, .path = QStringLiteral("/dev/ttyUSB%1").arg(n - 1), .reason = QStringLiteral("gone")};
        PortScan denied = missing;
        denied[0].state = PortState::NoPermission;
        denied[0].reason = QStringLiteral("no permission");
        PortScan free = missing;
        free[2].state = PortState::Usable;
        QTest::newRow("no adapter at all") << missing << QStringList{"bash"}
                                           << QStringList{"No serial adapter was found. Looked for: /dev/ttyUSB0, /dev/ttyUSB1", "/dev/ttyUSB15.", "/ports/comN a link"}
                                           << QStringList{"ModemManager", "Com1 "};
        QTest::newRow("a port without permission, ModemManager")
            << denied << QStringList{"ModemManager"} << QStringList{"Com1 (/dev/ttyUSB0): no permission", "ID_MM_DEVICE_IGNORE"}
            << QStringList{"No serial adapter", "brltty"};
        QTest::newRow("brltty") << missing << QStringList{"brltty"} << QStringList{"brltty runs on this machine", "braille"} << QStringList{"ModemManager"};
        QTest::newRow("a port free now") << free << QStringList{} << QStringList{"Free now: Com3:"} << QStringList{"No serial adapter"};
    }

    void noPortExplanation()
    {
        QFETCH(PortScan, ports);
        QFETCH(QStringList, processes);
        QFETCH(QStringList, holds);
        QFETCH(QStringList, lacks);
        QList<ProcessEntry> table;
        for (const QString &name : processes)
            table.append({qint64(table.size() + 100), name});
        const QString text = veldo::noPortExplanation(ports, table, QStringLiteral("/home/u/.config/veldo/ports"));
        QVERIFY2(text.startsWith(QStringLiteral("No serial port is open.\n")), qPrintable(text));
        for (const QString &part : holds)
            QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" missing from:\n") + text));
        for (const QString &part : lacks)
            QVERIFY2(!text.contains(part), qPrintable(part + QStringLiteral(" wrongly in:\n") + text));
    }

    void everyByteValuePassesAndStaleInputIsDropped_data()
    {
        QTest::addColumn<int>("staleWaitMs");
        QTest::newRow("stale input already fetched from the system") << 50;
        QTest::newRow("stale input still held by the system") << 0;
    }

    void everyByteValuePassesAndStaleInputIsDropped()
    {
        QFETCH(int, staleWaitMs);
        PtyPorts bench({1});
        QVERIFY(bench.comm.setPortOpen(true));
        QByteArray all, atDevice, received;
        for (int value = 0; value < 256; ++value)
            all.append(char(value));
        QVERIFY(bench.comm.output(all));
        QTRY_COMPARE(atDevice += bench.pty(1).readAvailable(), all);
        QVERIFY(bench.pty(1).write("stale"));
        QTest::qWait(staleWaitMs);
        bench.comm.discardInput();
        QVERIFY(bench.pty(1).write(all));
        QTRY_COMPARE(received += bench.comm.input(), all);
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
        QTest::qWait(100); // a port left open would keep failing
        QCOMPARE(failed.count(), 1);
        QVERIFY(!bench.comm.portOpen());
    }

    // A device that talks while no exchange runs fills at most the receive buffer.
    void idleInputIsBounded()
    {
        PtyPorts bench({1});
        QVERIFY(bench.comm.setPortOpen(true));
        for (int piece = 0; piece < 16; ++piece) {
            bench.pty(1).write(QByteArray(1024, 'x'));
            QTest::qWait(5);
        }
        QVERIFY(bench.comm.input().size() <= 1024);
    }

    void refreshOpensUsablePortAndKeepsTheOneInUse()
    {
        PtyPorts bench({3, 4, 5, 16});
        CommsModule module;
        const auto refresh = [&] {
            QList<int> usable;
            for (const PortFacts &port : module.RefreshPortList(bench.comm))
                usable << (port.usable() ? port.number : 0);
            usable.removeAll(0);
            return usable;
        };
        const auto openPort = [&] { return bench.comm.portOpen() ? bench.comm.commPort() : 0; };
        DeviceHolder anotherProgram(bench.pty(4).slavePath());

        QCOMPARE(refresh(), (QList<int>{3, 5, 16}));
        QCOMPARE(openPort(), 3);
        QVERIFY(bench.pty(3).write("pending"));
        QTest::qWait(50); // the port fetches it from the system
        QVERIFY(module.ConfigureCommPort(bench.comm));
        QCOMPARE(bench.comm.input(), QByteArray("pending")); // equal settings leave the open port alone

        QVERIFY(module.SelectCommPort(bench.comm, 5));
        QCOMPARE(refresh(), (QList<int>{3, 5, 16}));
        QCOMPARE(openPort(), 5);

        bench.pty(5).close();
        QCOMPARE(refresh(), (QList<int>{3, 16}));
        QCOMPARE(openPort(), 3);

        bench.pty(3).close();
        bench.pty(16).close();
        QCOMPARE(refresh(), QList<int>());
        QCOMPARE(openPort(), 0);
        QVERIFY2(!module.SelectCommPort(bench.comm, 4), "a port held by another program is never opened");
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "SerialPortTest.moc"
