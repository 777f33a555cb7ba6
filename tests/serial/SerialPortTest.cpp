#include "support/PtyPorts.h"

#include "link/CommsModule.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace veldo;

namespace {

enum class Obstacle { NotATerminal, ExclusiveMode, LockFile, OpenUnderDeviceName };

struct VectorPortList : PortList {
    void clear() override { *this = {}; }
    int count() const override { return int(values.size()); }
    void addItem(const QString &, int value, const QString &) override { values << value; }
    int value(int index) const override { return values.at(index); }
    int currentIndex() const override { return current; }
    void setCurrentIndex(int index) override { current = index; }

    QList<int> values;
    int current = -1;
};

// The serial port over pseudo-terminals, with the port list and the module state of one run.
struct Bench : PtyPorts {
    using PtyPorts::PtyPorts;
    void refresh(QString portName = {}) { module.RefreshPortList(list, comm, portName); }
    // Baud rate, data bits, parity and stop bits; `applied` takes them as normalized, in settings order.
    bool configure(QStringList arguments = {"", "", "", ""})
    {
        const bool opened = module.ConfigureCommPort(comm, arguments[0], arguments[1], arguments[2], arguments[3]);
        applied = QStringList({arguments[0], arguments[2], arguments[1], arguments[3]}).join(u',');
        return opened;
    }
    int openPort() const { return comm.portOpen() ? comm.commPort() : 0; }

    VectorPortList list;
    CommsModule module;
    QString applied;
};

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

    void unusableDeviceIsNotOpened_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::newRow("not a terminal") << Obstacle::NotATerminal;
        QTest::newRow("held in exclusive mode") << Obstacle::ExclusiveMode;
        QTest::newRow("held by a program's lock file") << Obstacle::LockFile;
        QTest::newRow("open here under the device's own name") << Obstacle::OpenUnderDeviceName;
    }

    void unusableDeviceIsNotOpened()
    {
        QFETCH(Obstacle, obstacle);
        PtyPorts bench({1});
        const QString device = bench.pty(1).slavePath();
        // Exclusive mode is the device's, not the descriptor's: it keeps out whoever opens it next.
        const int exclusive = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QLockFile lockFile(QStringLiteral("/var/lock/LCK..") + device.mid(5).replace(u'/', u'_'));
        CommPort direct(PortMap(bench.folder(), {QString(), device})); // Com2 is the device itself
        direct.setCommPort(2);
        switch (obstacle) {
        case Obstacle::NotATerminal: QVERIFY(bench.link(1, QStringLiteral("/dev/null"))); break;
        case Obstacle::ExclusiveMode: QVERIFY(::ioctl(exclusive, TIOCEXCL) == 0); break;
        case Obstacle::LockFile: QVERIFY(lockFile.tryLock(0)); break;
        case Obstacle::OpenUnderDeviceName: QVERIFY(direct.setPortOpen(true)); break;
        }
        QVERIFY(!bench.comm.canOpen());
        QVERIFY(!bench.comm.setPortOpen(true));

        ::ioctl(exclusive, TIOCNXCL);
        ::close(exclusive);
        lockFile.unlock();
        direct.setPortOpen(false);
        QVERIFY2(bench.comm.setPortOpen(true) == (obstacle != Obstacle::NotATerminal),
                 "once the holder lets go, nothing of its lock is left");
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

    void refreshListsUsablePortsAndKeepsTheOneInUse()
    {
        Bench bench({3, 4, 5, 16, 17});
        QVERIFY(bench.link(2, QStringLiteral("/nonexistent/tty")));
        CommPort anotherProgram(bench.comm.portMap());
        anotherProgram.setCommPort(4);
        QVERIFY(anotherProgram.setPortOpen(true));

        bench.refresh();
        QCOMPARE(bench.list.values, (QList<int>{3, 5, 16}));
        QCOMPARE(bench.list.current, 0);
        QCOMPARE(bench.openPort(), 3);

        QVERIFY(bench.pty(3).write("pending"));
        QTest::qWait(50); // the port fetches it from the system
        QVERIFY(bench.configure());
        QCOMPARE(bench.comm.input(), QByteArray("pending")); // equal settings leave the open port alone

        bench.list.setCurrentIndex(1);
        bench.module.SelectCommPort(bench.list, bench.comm);
        bench.refresh();
        QCOMPARE(bench.list.current, 1);
        QCOMPARE(bench.openPort(), 5);

        bench.pty(5).close();
        bench.refresh();
        QCOMPARE(bench.list.values, (QList<int>{3, 16}));
        QCOMPARE(bench.list.current, 0);
        QCOMPARE(bench.openPort(), 3);

        bench.pty(3).close();
        bench.pty(16).close();
        bench.refresh();
        QCOMPARE(bench.list.count(), 0);
        QCOMPARE(bench.list.current, -1);
        QCOMPARE(bench.openPort(), 0);
    }

    void portNameNamesPreferredPort_data()
    {
        QTest::addColumn<QString>("portName");
        QTest::addColumn<int>("preferred");
        QTest::addColumn<int>("opened");
        QTest::newRow("lower case, colon") << "com5:" << 5 << 5;
        QTest::newRow("not usable") << "COM12" << 12 << 3;
        QTest::newRow("half rounds down to even") << "COM4.5" << 4 << 3;
        QTest::newRow("half rounds up to even") << "COM5.5" << 6 << 3;
        QTest::newRow("beyond 16 bits") << "COM99999" << 0 << 3;
    }

    void portNameNamesPreferredPort()
    {
        QFETCH(QString, portName);
        QFETCH(int, preferred);
        QFETCH(int, opened);
        Bench bench({3, 5});
        bench.refresh(portName);
        QCOMPARE(bench.module.preferredPort(), preferred);
        QCOMPARE(bench.openPort(), opened);
    }

    void configureNormalizesSettings_data()
    {
        QTest::addColumn<QStringList>("given"); // baud rate, data bits, parity, stop bits
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("opened");
        QTest::newRow("first call") << QStringList{"", "", "", ""} << "9600,n,8,1" << true;
        QTest::newRow("even, 2 stop bits") << QStringList{"300", "7", "Even", "2"} << "300,e,7,2" << true;
        QTest::newRow("all invalid") << QStringList{"abc", "4", "x", "1.5"} << "9600,n,8,2" << true;
        QTest::newRow("5 data bits") << QStringList{"1200", "5", "N", "2"} << "1200,n,5,1.5" << true;
        QTest::newRow("text after numbers") << QStringList{"19200 baud", "6 bits", "Space", "1,5"} << "19200,s,6,2" << true;
        QTest::newRow("other stop bits") << QStringList{"4800", "8", "odd", "3"} << "4800,o,8,1" << true;
        QTest::newRow("baud rate beyond 32 bits") << QStringList{"99999999999", "8", "n", "1"} << "99999999999,n,8,1" << false;
        QTest::newRow("negative baud rate") << QStringList{"-300", "8", "n", "1"} << "-300,n,8,1" << false;
    }

    void configureNormalizesSettings()
    {
        QFETCH(QStringList, given);
        QFETCH(QString, settings);
        QFETCH(bool, opened);
        Bench bench({1});
        QCOMPARE(bench.configure(given), opened);
        QCOMPARE(bench.applied, settings);
        QCOMPARE(bench.openPort(), opened ? 1 : 0);
        QVERIFY(!opened || bench.comm.settings() == settings);
        // Remembered whether or not they could be applied: empty arguments take them again.
        QCOMPARE(bench.configure(), opened);
        QCOMPARE(bench.applied, settings);
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "SerialPortTest.moc"
