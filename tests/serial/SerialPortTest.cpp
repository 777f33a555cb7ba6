// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ChildProcess.h"
#include "support/DeviceHolder.h"
#include "support/PtyPorts.h"

#include "box/BoxSession.h"
#include "ports/DeviceClaim.h"
#include "ports/LockFile.h"
#include "ports/PortAdvice.h"
#include "ports/PortProbe.h"
#include "protocol/ExchangeRunner.h"
#include "system/ProcessTable.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <ranges>
#include <tuple>

#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace veldo;
using namespace veldo::test;

namespace {

// What stands behind Com1 for a probe, besides a link to somewhere else.
enum class Behind {
    FreePty, Link, VanishedPty, LiveLockFile, DeadLockFile, FifoLockFile, HeldOpen, Flocked, HeldInOtherDevpts, LeftExclusive, DialoutOnly,
};

// What starts the holder of Com1 for these: as root another user, nobody; in a mount namespace
// of its own, it also holds master N (N of Com1's /dev/pts/N) of a devpts instance of its own,
// mounted at mountPoint, as a container does at /dev/pts.
QStringList holderWrapper(Behind behind, const QString &device, const QString &mountPoint)
{
    if (behind == Behind::Flocked)
        return {"flock", "-F", "-x", device};
    if (behind == Behind::HeldInOtherDevpts)
        return {"unshare", "--mount", "--propagation", "private", "bash", "-c",
                "mount -t devpts -o newinstance devpts \"$1\" && for ((i = 0; i <= ${0##*/}; ++i)); do exec {fd}<>\"$1/ptmx\"; done && shift && exec \"$@\"",
                device, mountPoint};
    return isRoot() ? QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"} : QStringList{};
}

// Who judges a row: the user running the test, root in this process, or nobody in a child.
enum class JudgedBy { ThisUser, Root, Nobody };

// What stands behind Com1; the target of its link with Behind::Link, the devpts mount point of
// the other; who judges; the state found; texts the reason holds, where "PID PID" stands for the
// holder's PID.
using ProbeCase = std::tuple<Behind, QString, JudgedBy, PortState, QStringList>;

// Chooses a port as the window does and waits for the outcome; true when it opened.
bool choose(BoxSession &box, int number)
{
    QSignalSpy chosen(&box, &BoxSession::chosen);
    box.choose(number);
    return chosen.wait(5000) && chosen.at(0).at(0).value<PortFacts>().usable() && box.isOpen();
}

bool writeLockFile(const QString &device, qint64 pid)
{
    QFile file(lockFilePath(device));
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray::number(pid).rightJustified(10) + " minicom root\n") > 0;
}

// Sets Com1 up as asked; returns the holders and files it made, which must live through the probe.
struct Obstacle {
    std::unique_ptr<DeviceHolder> holder;
    QString lockFile;
    ~Obstacle() { QFile::remove(lockFile); }
};

// A link target names a file in the test's home, a named pipe if it is "fifo", or an absolute path.
bool setUp(PtyPorts &bench, Behind behind, const QString &target, Obstacle &obstacle)
{
    const QString device = bench.pty(1).slavePath();
    const QString path = target.startsWith(u'/') ? target : bench.home.filePath(target);
    switch (behind) {
    case Behind::FreePty: return true;
    case Behind::Link:
        return (target != QLatin1String("fifo") || ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0)
            && bench.link(1, path);
    case Behind::VanishedPty: bench.pty(1).close(); return true;
    case Behind::LiveLockFile:
        obstacle.holder = std::make_unique<DeviceHolder>(QStringLiteral("/dev/null"));
        [[fallthrough]];
    case Behind::DeadLockFile:
        obstacle.lockFile = lockFilePath(device);
        return writeLockFile(device, obstacle.holder ? obstacle.holder->pid() : 999999999);
    case Behind::FifoLockFile: // by another user, as anybody may in the lock folder
        obstacle.lockFile = lockFilePath(device);
        return runInChild([&obstacle] { return ::mkfifo(QFile::encodeName(obstacle.lockFile).constData(), 0666); },
                          {.dropToNobody = isRoot()}) == 0;
    case Behind::HeldOpen:
    case Behind::Flocked:
    case Behind::HeldInOtherDevpts:
        obstacle.holder = std::make_unique<DeviceHolder>(device, holderWrapper(behind, device, target));
        // The wrapper becomes sleep once it has set up.
        return obstacle.holder->pid() > 0
            && QTest::qWaitFor([&] { return processName(obstacle.holder->pid()) == QLatin1String("sleep"); }, 5000);
    case Behind::LeftExclusive: // by a child that then ends without clearing it
        return runInChild([&device] {
            const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            return fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0 ? 0 : 1;
        }) == 0;
    case Behind::DialoutOnly: {
        const group *dialout = ::getgrnam("dialout");
        return dialout && ::chown(QFile::encodeName(device).constData(), 0, dialout->gr_gid) == 0
            && ::chmod(QFile::encodeName(device).constData(), 0660) == 0;
    }
    }
    return false;
}

} // namespace

// The port map, the serial port, port discovery and the box session's choice of port, over pseudo-terminals.
class SerialPortTest : public QObject {
    Q_OBJECT

private slots:
    // Each number falls back to its device unless the user's link names one; 17 to none, even linked.
    void portMap()
    {
        const char *const devices[] = {"USB0", "USB1", "USB2", "USB3", "USB4", "USB5", "USB6", "USB7",
                                       "ACM0", "ACM1", "ACM2", "ACM3", "S0", "S1", "S2", "S3", nullptr};
        PtyPorts bench;
        for (int port = 1; port <= 17; ++port) {
            QVERIFY(port == 17 ? bench.link(port, QStringLiteral("/dev/null")) : QFile::remove(bench.comm.portMap().overridePath(port)));
            const PortMap map = PortMap::standard();
            QCOMPARE(map.overridePath(port), bench.folder() + QStringLiteral("/com%1").arg(port));
            QCOMPARE(map.devicePath(port), devices[port - 1] ? QStringLiteral("/dev/tty") + QLatin1String(devices[port - 1]) : QString());
        }
    }

    // Each row is judged as this user or, where permissions matter, as root or by nobody in a
    // child: the probe, which opens nothing, then for a port it finds usable, the claim of it.
    void probeSaysWhy_data()
    {
        QTest::addColumn<ProbeCase>("probeCase");
        const PortState usable = PortState::Usable, notSerial = PortState::NotSerial, inUse = PortState::InUse;
        const JudgedBy me = JudgedBy::ThisUser, root = JudgedBy::Root, nobody = JudgedBy::Nobody;
        const auto row = [](const char *name, Behind behind, const char *target, JudgedBy by, PortState state, QStringList holds) {
            QTest::newRow(name) << ProbeCase{behind, QString::fromLatin1(target), by, state, holds};
        };
        row("free pseudo-terminal", Behind::FreePty, "", me, usable, {});
        row("dangling link", Behind::Link, "unplugged", me, PortState::Missing, {"unplugged, which does not exist", "plugged in?"});
        row("/dev/null", Behind::Link, "/dev/null", me, notSerial, {"/dev/null is a device of another kind"});
        row("named pipe, no hang", Behind::Link, "fifo", me, notSerial, {"a named pipe"});
        row("link loop", Behind::Link, "veldo/ports/com1", me, PortState::Error, {"loop of symbolic links"});
        row("pseudo-terminal gone", Behind::VanishedPty, "", me, PortState::Missing, {"does not exist"});
        row("lock file of a live program, text after the PID", Behind::LiveLockFile, "", me, inUse, {"sleep (PID PID), which holds its lock file"});
        row("lock file of another user's live program, as nobody", Behind::LiveLockFile, "", nobody, inUse, {"sleep (PID PID), which holds its lock file"});
        row("lock file of an ended program", Behind::DeadLockFile, "", me, usable, {});
        row("named pipe as lock file, no hang", Behind::FifoLockFile, "", me, PortState::Error, {"LCK..pts_", "is a named pipe, not a lock file"});
        row("held open without any lock, by nobody when root", Behind::HeldOpen, "", me, inUse, {"in use by sleep (PID PID)"});
        row("held open in a container, its own devpts holding master N", Behind::HeldInOtherDevpts, "/dev/pts", root, inUse, {"in use by sleep (PID PID)"});
        row("held open beside master N of another devpts", Behind::HeldInOtherDevpts, "/mnt", root, inUse, {"in use by sleep (PID PID)"});
        row("flock, as nobody", Behind::Flocked, "", nobody, inUse, {"in use by sleep (PID PID), which locks it (flock)"});
        row("left in exclusive mode, as root", Behind::LeftExclusive, "", root, usable, {});
        row("left in exclusive mode, as nobody", Behind::LeftExclusive, "", nobody, PortState::Error, {"exclusive mode", "plug it in again"});
        row("group dialout only, as nobody", Behind::DialoutOnly, "", nobody, PortState::NoPermission,
            {"group dialout (crw-rw----)", "sudo adduser nobody dialout", "log out and in again"});
    }

    void probeSaysWhy()
    {
        QFETCH(ProbeCase, probeCase);
        const auto &[behind, target, judgedBy, state, reasonHolds] = probeCase;
        const bool asNobody = judgedBy == JudgedBy::Nobody;
        if (judgedBy != JudgedBy::ThisUser && !isRoot())
            QSKIP("needs root: to drop to nobody, to open a port left in exclusive mode, to mount a devpts instance");
        PtyPorts bench({1});
        Obstacle obstacle;
        const bool ready = setUp(bench, behind, target, obstacle);
        if (!ready && behind == Behind::HeldInOtherDevpts)
            QSKIP("the kernel made no devpts instance in a mount namespace of the child's own");
        QVERIFY(ready);
        const QString device = bench.pty(1).slavePath();
        if (asNobody && behind != Behind::DialoutOnly)
            QCOMPARE(::chmod(QFile::encodeName(device).constData(), 0666), 0);
        const QString holder = obstacle.holder ? QString::number(obstacle.holder->pid()) : QString();
        const QString path = asNobody ? device : bench.comm.portMap().devicePath(1);
        const auto judged = [&] {
            PortFacts facts = probePort(1, path), second = facts;
            const int fd = claimDevice(facts);
            // While it is claimed, a second program that locks is kept out.
            bool holds = facts.state == state && (fd < 0 || claimDevice(second) < 0);
            if (fd >= 0)
                ::close(fd);
            for (const QString &part : reasonHolds)
                holds = holds && facts.reason.contains(QString(part).replace(QStringLiteral("PID PID"), QStringLiteral("PID ") + holder));
            if (!holds)
                qWarning("%s: %s", qPrintable(portStateKey(facts.state)), qPrintable(facts.reason));
            return holds ? 0 : 1;
        };
        QCOMPARE(asNobody ? runInChild(judged, {.dropToNobody = true}) : judged(), 0);
        QVERIFY(asNobody || bench.comm.setPortOpen(true) == (state == PortState::Usable));
    }

    // With every adapter missing, where to look and how to link one; with one refused and
    // ModemManager and brltty running, what each does to a port.
    void noPortExplanation()
    {
        PortScan missing;
        for (int n = 1; n <= 16; ++n)
            missing << PortFacts{.number = n, .path = QStringLiteral("/dev/ttyUSB%1").arg(n - 1), .reason = QStringLiteral("gone")};
        PortScan denied = missing;
        denied[0].state = PortState::NoPermission;
        denied[0].reason = QStringLiteral("no permission");
        const auto explains = [](const PortScan &ports, const QStringList &processes, const QStringList &holds, const QStringList &lacks) {
            QList<ProcessEntry> table;
            for (const QString &name : processes)
                table.append({qint64(table.size() + 100), name});
            const QString text = veldo::noPortExplanation(ports, table, QStringLiteral("/home/u/.config/veldo/ports"), Detail::Full);
            const auto in = [&text](const QString &part) { return text.contains(part); };
            const bool right = text.startsWith(QStringLiteral("No serial port is open.\n")) && std::ranges::all_of(holds, in) && std::ranges::none_of(lacks, in);
            if (!right)
                qWarning("%s", qPrintable(text));
            return right;
        };
        QVERIFY(explains(missing, {"bash"}, {"No serial adapter was found. Looked for: /dev/ttyUSB0, /dev/ttyUSB1", "/dev/ttyUSB15.", "/ports/comN a link"},
                         {"ModemManager", "brltty", "Com1 "}));
        QVERIFY(explains(denied, {"ModemManager", "brltty"}, {"\n\nCom1: no permission\n\n", "ID_MM_DEVICE_IGNORE", "\n\nbrltty runs"}, {"No serial adapter"}));
    }

    // The line asks Qt Serial Port for the box's settings (a pseudo-terminal shows neither parity
    // nor data bits) and passes every byte value unchanged.
    void lineSettingsAndEveryByteValue()
    {
        PtyPorts bench({1});
        QVERIFY(bench.comm.setPortOpen(true));
        const auto *port = bench.comm.line().findChild<QSerialPort *>();
        QVERIFY(port && port->isOpen());
        QCOMPARE(std::tuple(port->baudRate(), port->dataBits(), port->parity(), port->stopBits(), port->flowControl()),
                 std::tuple(9600, QSerialPort::Data8, QSerialPort::NoParity, QSerialPort::OneStop, QSerialPort::NoFlowControl));
        QByteArray all, atDevice, received;
        for (int value = 0; value < 256; ++value)
            all.append(char(value));
        QVERIFY(bench.comm.line().write(all));
        QTRY_COMPARE(atDevice += bench.pty(1).readAvailable(), all);
        QVERIFY(bench.pty(1).write(all));
        QTRY_COMPARE(received += bench.comm.line().readAll(), all);
    }

    void downloadDropsStaleInput_data()
    {
        QTest::addColumn<int>("staleWaitMs");
        QTest::newRow("stale image already fetched from the system") << 50;
        QTest::newRow("stale image still held by the system") << 0;
    }

    // An image left on the line from before is dropped when the request goes out: the answer counts.
    void downloadDropsStaleInput()
    {
        QFETCH(int, staleWaitMs);
        const auto image = [](char code) { // lead byte 170, Code A of output 0 starting with code, the checksum
            QByteArray bytes(198, '\0');
            bytes[0] = char(170);
            bytes[1] = bytes[197] = code;
            return bytes;
        };
        PtyPorts bench({1});
        QVERIFY(bench.comm.setPortOpen(true));
        ExchangeRunner runner(bench.comm.line(), nullptr, ExchangeRunner::Pace::AsBytesArrive);
        QSignalSpy finished(&runner, &ExchangeRunner::finished);
        QVERIFY(bench.pty(1).write(image('\x34')));
        QTest::qWait(staleWaitMs);
        QVERIFY(runner.startDownload());
        QByteArray request;
        QTRY_COMPARE(request += bench.pty(1).readAvailable(), QByteArray("\xAB"));
        QVERIFY(bench.pty(1).write(image('\x12')));
        QVERIFY(finished.wait(5000));
        const auto config = finished.at(0).at(1).value<std::optional<SwitchConfig>>();
        QCOMPARE(finished.at(0).at(0).value<ExchangeOutcome>(), ExchangeOutcome::Downloaded);
        QCOMPARE(config ? config->code(0) : QString(), QStringLiteral("120000000000"));
    }

    // A discard between the system's "readable" and QSerialPort's read leaves it nothing to
    // read, which it reports as an error: the port is sound and stays open. A device that talks
    // while no exchange runs fills at most the receive buffer.
    void discardRaceAndIdleInput()
    {
        PtyPorts bench({1});
        QSignalSpy failed(&bench.comm, &CommPort::failed);
        QVERIFY(bench.comm.setPortOpen(true));
        for (int round = 0; round < 20; ++round) {
            QVERIFY(bench.pty(1).write("x"));
            QTimer::singleShot(0, &bench.comm.line(), &Line::discardInput);
            QTest::qWait(2);
        }
        QVERIFY(bench.comm.portOpen());
        QCOMPARE(failed.count(), 0);
        for (int piece = 0; piece < 16; ++piece) {
            bench.pty(1).write(QByteArray(1024, 'x'));
            QTest::qWait(5);
        }
        QVERIFY(bench.comm.line().readAll().size() <= 1024);
    }

    void opensUsablePortAndKeepsTheOneInUse()
    {
        PtyPorts bench({3, 4, 5, 16});
        BoxSession box(PortMap(bench.folder(), {}), BoxSession::Pace::AsBytesArrive);
        const auto refresh = [&] {
            QList<int> usable;
            for (const PortFacts &port : box.openFirstUsable(box.probe()) | std::views::filter(&PortFacts::usable))
                usable << port.number;
            return usable;
        };
        const auto openPort = [&] { return box.isOpen() ? box.portNumber() : 0; };
        DeviceHolder anotherProgram(bench.pty(4).slavePath());

        QCOMPARE(refresh(), (QList<int>{3, 5, 16}));
        QCOMPARE(openPort(), 3);
        QVERIFY(choose(box, 5));
        // Reopened, the port would drop DTR, which resets some boxes: its lock file would be made anew.
        const auto lockFileStamp = [&] {
            struct stat status {};
            ::stat(QFile::encodeName(lockFilePath(bench.pty(5).slavePath())).constData(), &status);
            return std::tuple(status.st_ino, status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
        };
        const auto opened = lockFileStamp();
        QCOMPARE(refresh(), (QList<int>{3, 5, 16}));
        QCOMPARE(openPort(), 5);
        QCOMPARE(lockFileStamp(), opened);
        box.close();
        QCOMPARE(refresh(), (QList<int>{3, 5, 16}));
        QCOMPARE(openPort(), 5); // the port last chosen before the lowest

        bench.pty(5).close();
        QTRY_VERIFY(!box.isOpen()); // the port in use is never closed by a refresh, only by its loss
        QCOMPARE(refresh(), (QList<int>{3, 16}));
        QCOMPARE(openPort(), 3);
        QVERIFY2(!choose(box, 4), "a port held by another program is never opened");
    }

    // A choice overtaken by another is dropped; while one waits, no other port is opened.
    void laterChoiceWins()
    {
        PtyPorts bench({3, 5});
        BoxSession box(PortMap(bench.folder(), {}), BoxSession::Pace::AsBytesArrive);
        QSignalSpy chosen(&box, &BoxSession::chosen);
        box.choose(3);
        box.choose(5);
        box.openFirstUsable(box.probe(OpenHolders::Skip));
        QVERIFY(!box.isOpen());
        QTRY_COMPARE(chosen.count(), 1);
        QCOMPARE(std::tuple(chosen.at(0).at(0).value<PortFacts>().number, box.isOpen(), box.portNumber()), std::tuple(5, true, 5));
    }

    // A named pipe put in place of the lock file after the probe would hold the open.
    void lockFilePlacedAfterTheProbeIsJudgedAgain()
    {
        PtyPorts bench({1});
        BoxSession box(PortMap(bench.folder(), {}), BoxSession::Pace::AsBytesArrive);
        const PortFacts judged = box.probe(1);
        QVERIFY(judged.usable());
        const QByteArray lockFile = QFile::encodeName(lockFilePath(judged.device));
        QCOMPARE(runInChild([&lockFile] { return ::mkfifo(lockFile.constData(), 0666); }, {.dropToNobody = isRoot()}), 0);
        const PortFacts opened = box.open(judged);
        QFile::remove(QFile::decodeName(lockFile));
        QVERIFY(!box.isOpen());
        QCOMPARE(opened.reason, QStringLiteral("the lock file %1 is a named pipe, not a lock file").arg(QFile::decodeName(lockFile)));
    }
};

QTEST_GUILESS_MAIN(SerialPortTest)
#include "SerialPortTest.moc"
