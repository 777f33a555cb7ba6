#include "support/ChildProcess.h"
#include "support/DeviceHolder.h"
#include "support/PtyPorts.h"

#include "box/BoxSession.h"
#include "link/LockFile.h"

#include <QFile>
#include <QTest>

#include <ranges>

#include <sys/stat.h>

using namespace veldo;
using namespace veldo::test;

// Choosing and opening a port from what a probe found, over pseudo-terminals.
class BoxSessionTest : public QObject {
    Q_OBJECT

private slots:
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
        QVERIFY(box.select(5));
        QCOMPARE(refresh(), (QList<int>{3, 5, 16}));
        QCOMPARE(openPort(), 5);

        bench.pty(5).close();
        QTRY_VERIFY(!box.isOpen()); // the port in use is never closed by a refresh, only by its loss
        QCOMPARE(refresh(), (QList<int>{3, 16}));
        QCOMPARE(openPort(), 3);

        bench.pty(3).close();
        bench.pty(16).close();
        QTRY_VERIFY(!box.isOpen());
        QCOMPARE(refresh(), QList<int>());
        QCOMPARE(openPort(), 0);
        QVERIFY2(!box.select(4), "a port held by another program is never opened");
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

QTEST_GUILESS_MAIN(BoxSessionTest)
#include "BoxSessionTest.moc"
