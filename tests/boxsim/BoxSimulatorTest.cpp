// The simulated box's own behaviour; what it answers on the line shows in the exchange tests
// of the window and of veldo-cli, which run against it.
#include "BoxSimulator.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace veldo;

class BoxSimulatorTest : public QObject {
    Q_OBJECT

private slots:
    // Com 7 is taken first, then held by a live device's link; Com 8 is a dangling link.
    void linksAsPortWithoutTakingLiveDevices()
    {
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("veldo/ports"));
        const QString com7 = folder + QStringLiteral("/com7"), com8 = folder + QStringLiteral("/com8");
        {
            BoxSimulator first;
            QVERIFY(first.linkAsPort(7, folder).ok);
            QCOMPARE(QFileInfo(com7).symLinkTarget(), first.slavePath());
            QVERIFY(QFile::link(home.filePath(QStringLiteral("gone")), com8));
            {
                BoxSimulator second;
                QVERIFY(!second.linkAsPort(7, folder).ok);
                QVERIFY(second.linkAsPort(8, folder).ok);
                QCOMPARE(QFileInfo(com8).symLinkTarget(), second.slavePath());
            }
            QCOMPARE(QFileInfo(com7).symLinkTarget(), first.slavePath());
            QVERIFY(!QFileInfo(com8).isSymLink());
        }
        QVERIFY(!QFileInfo(com7).isSymLink());
    }
};

QTEST_GUILESS_MAIN(BoxSimulatorTest)
#include "BoxSimulatorTest.moc"
