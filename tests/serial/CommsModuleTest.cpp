#include "support/HoldingProcess.h"
#include "support/PtyPorts.h"
#include "support/VectorPortList.h"

#include "link/CommsModule.h"

#include <QFileInfo>
#include <QTest>

using namespace veldo;

namespace {

// The serial port over pseudo-terminals, with the port list and the module state of one run.
struct Bench : PtyPorts {
    using PtyPorts::PtyPorts;

    void refresh()
    {
        QString noPortName;
        module.RefreshPortList(list, comm, noPortName);
    }

    bool configure()
    {
        QString baudRate, dataBits, parity, stopBits;
        return module.ConfigureCommPort(comm, baudRate, dataBits, parity, stopBits);
    }

    VectorPortList list;
    CommsModule module;
};

} // namespace

class CommsModuleTest : public QObject {
    Q_OBJECT

private slots:
    void firstRefreshOpensLowestUsablePort()
    {
        Bench bench({3, 4, 5, 16, 17});
        QVERIFY(bench.folder.link(2, QStringLiteral("/nonexistent/tty")));
        HoldingProcess holder(bench.pty(4).slavePath(), HoldingProcess::Lock::Flock);
        QVERIFY(holder.isHolding());

        bench.refresh();
        QCOMPARE(bench.list.texts(), (QStringList{"Com3:", "Com5:", "Com16:"}));
        QCOMPARE(bench.list.value(2), 16);
        QCOMPARE(bench.list.items.at(0).toolTip, QFileInfo(bench.pty(3).slavePath()).canonicalFilePath());
        QCOMPARE(bench.list.currentIndex(), 0);
        QCOMPARE(bench.comm.commPort(), 3);
        QVERIFY(bench.comm.portOpen());
        QCOMPARE(bench.comm.settings(), QStringLiteral("9600,n,8,1"));
    }

    void refreshSelectsPortInUseWhileItLasts()
    {
        Bench bench({3, 5});
        bench.refresh();
        bench.list.setCurrentIndex(1);
        bench.module.SelectCommPort(bench.list, bench.comm);
        QCOMPARE(bench.comm.commPort(), 5);

        bench.refresh();
        QCOMPARE(bench.list.currentIndex(), 1);
        QCOMPARE(bench.comm.commPort(), 5);
        QVERIFY(bench.comm.portOpen());

        bench.pty(5).close();
        bench.refresh();
        QCOMPARE(bench.list.texts(), QStringList{"Com3:"});
        QCOMPARE(bench.list.currentIndex(), 0);
        QCOMPARE(bench.comm.commPort(), 3);
        QVERIFY(bench.comm.portOpen());
    }

    void noUsablePortLeavesListEmptyAndPortClosed()
    {
        Bench bench({1});
        bench.refresh();
        QVERIFY(bench.comm.portOpen());
        bench.pty(1).close();
        bench.refresh();
        QCOMPARE(bench.list.count(), 0);
        QCOMPARE(bench.list.currentIndex(), -1);
        QVERIFY(!bench.comm.portOpen());
        QCOMPARE(bench.comm.commPort(), 16);
    }

    void portNameNamesPreferredPort_data()
    {
        QTest::addColumn<QString>("portName");
        QTest::addColumn<QString>("normalized");
        QTest::addColumn<int>("preferred");
        QTest::addColumn<int>("opened");

        QTest::newRow("COM5") << "COM5" << "5" << 5 << 5;
        QTest::newRow("lower case, colon") << "com5:" << "5:" << 5 << 5;
        QTest::newRow("not usable") << "com12:" << "12:" << 12 << 3;
        QTest::newRow("half rounds down to even") << "COM4.5" << "4.5" << 4 << 3;
        QTest::newRow("half rounds up to even") << "COM5.5" << "5.5" << 6 << 3;
        QTest::newRow("above half") << "Com4.51" << "4.51" << 5 << 5;
        QTest::newRow("no leading number") << "XCOM5" << "X5" << 0 << 3;
        QTest::newRow("beyond 16 bits") << "COM99999" << "99999" << 0 << 3;
    }

    void portNameNamesPreferredPort()
    {
        QFETCH(QString, portName);
        QFETCH(QString, normalized);
        QFETCH(int, preferred);
        QFETCH(int, opened);
        Bench bench({3, 5});
        bench.module.RefreshPortList(bench.list, bench.comm, portName);
        QCOMPARE(portName, normalized);
        QCOMPARE(bench.module.preferredPort(), preferred);
        QCOMPARE(bench.comm.commPort(), opened);
        QVERIFY(bench.comm.portOpen());
    }

    void configureNormalizesSettings_data()
    {
        QTest::addColumn<QString>("baudRate");
        QTest::addColumn<QString>("dataBits");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<QString>("stopBits");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("opened");

        QTest::newRow("first call") << "" << "" << "" << "" << "9600,n,8,1" << true;
        QTest::newRow("even, 2 stop bits") << "300" << "7" << "Even" << "2" << "300,e,7,2" << true;
        QTest::newRow("all invalid") << "abc" << "4" << "x" << "1.5" << "9600,n,8,2" << true;
        QTest::newRow("5 data bits") << "1200" << "5" << "N" << "2" << "1200,n,5,1.5" << true;
        QTest::newRow("text after numbers") << "19200 baud" << "6 bits" << "Space" << "1,5" << "19200,s,6,2" << true;
        QTest::newRow("other stop bits") << "4800" << "8" << "odd" << "3" << "4800,o,8,1" << true;
        QTest::newRow("negative baud rate") << "-300" << "8" << "n" << "1" << "-300,n,8,1" << false;
    }

    void configureNormalizesSettings()
    {
        QFETCH(QString, baudRate);
        QFETCH(QString, dataBits);
        QFETCH(QString, parity);
        QFETCH(QString, stopBits);
        QFETCH(QString, settings);
        QFETCH(bool, opened);
        Bench bench({1});
        bench.comm.setCommPort(1);
        QCOMPARE(bench.module.ConfigureCommPort(bench.comm, baudRate, dataBits, parity, stopBits), opened);
        QCOMPARE(QStringList({baudRate, parity, dataBits, stopBits}).join(u','), settings);
        QCOMPARE(bench.comm.portOpen(), opened);
        if (opened)
            QCOMPARE(bench.comm.settings(), settings);

        // Remembered whether or not they could be applied: empty arguments take them again.
        QString lastBaudRate, lastDataBits, lastParity, lastStopBits;
        QCOMPARE(bench.module.ConfigureCommPort(bench.comm, lastBaudRate, lastDataBits, lastParity, lastStopBits),
                 opened);
        QCOMPARE(QStringList({lastBaudRate, lastParity, lastDataBits, lastStopBits}).join(u','), settings);
    }

    void openPortKeptOnlyWithEqualSettings_data()
    {
        QTest::addColumn<bool>("pickAgain");
        QTest::newRow("equal settings leave the open port alone") << false;
        QTest::newRow("picking the selected port reopens it") << true;
    }

    void openPortKeptOnlyWithEqualSettings()
    {
        QFETCH(bool, pickAgain);
        Bench bench({1});
        bench.refresh();
        QVERIFY(bench.pty(1).write("pending"));
        QTest::qWait(50); // the port fetches it from the system
        if (pickAgain)
            bench.module.SelectCommPort(bench.list, bench.comm);
        else
            QVERIFY(bench.configure());
        QVERIFY(bench.comm.portOpen());
        QCOMPARE(bench.comm.input(), pickAgain ? QByteArray() : QByteArray("pending"));
    }
};

QTEST_GUILESS_MAIN(CommsModuleTest)
#include "CommsModuleTest.moc"
