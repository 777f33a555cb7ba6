// SPDX-License-Identifier: GPL-3.0-or-later
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
    // Com 7 is taken first, then held by a live device's link; Com 8 is the user's link to an
    // unplugged adapter, borrowed and given back; Com 9 is a file.
    void linksAsPortWithoutTakingLiveDevices()
    {
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("veldo/ports"));
        const QString com7 = folder + QStringLiteral("/com7"), com8 = folder + QStringLiteral("/com8");
        const QString gone = home.filePath(QStringLiteral("gone")), com9 = folder + QStringLiteral("/com9");
        {
            BoxSimulator first;
            QVERIFY(first.linkAsPort(7, folder).ok);
            QCOMPARE(QFileInfo(com7).symLinkTarget(), first.slavePath());
            QVERIFY(QFile::link(gone, com8));
            QFile file(com9);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("user's") == 6);
            file.close();
            {
                BoxSimulator second;
                QVERIFY(!second.linkAsPort(7, folder).ok);
                QVERIFY(!second.linkAsPort(9, folder).ok);
                QVERIFY(second.linkAsPort(8, folder).ok);
                QCOMPARE(QFileInfo(com8).symLinkTarget(), second.slavePath());
            }
            QCOMPARE(QFileInfo(com7).symLinkTarget(), first.slavePath());
            QCOMPARE(QFileInfo(com8).symLinkTarget(), gone);
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == "user's");
        }
        QVERIFY(!QFileInfo(com7).isSymLink());
    }
};

QTEST_GUILESS_MAIN(BoxSimulatorTest)
#include "BoxSimulatorTest.moc"
