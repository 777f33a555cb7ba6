#include "BoxSimulator.h"
#include "support/PtyPorts.h"

#include "link/DeviceImage.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace veldo;

namespace {

// The tool's end of the line: the simulator's device opened as Com1, as the tool opens it.
struct Line : PtyPorts {
    explicit Line(const BoxSimulator &box)
    {
        link(1, box.slavePath());
        comm.setPortOpen(true);
    }
    const QByteArray &received() { return bytes += comm.input(); }

    QByteArray bytes;
};

const QByteArray kRequest(1, char(kDownloadRequest));
const QByteArray kAck(1, char(kAcknowledge));
const QByteArray kNak(1, char(kNegativeAcknowledge));

QByteArray downloadAnswer(const SwitchConfig &config)
{
    QByteArray image = EncodeDeviceImage(config);
    image[0] = 0x55;
    return image;
}

// Its image holds the request and lead bytes 171 and 170 and both verdicts as data.
SwitchConfig uploadedConfig()
{
    SwitchConfig config;
    config.outputs[3].codeA = QStringLiteral("ABAA0615ABAA");
    config.outputs[15].codeB = QStringLiteral("AAAAAAABABAB");
    config.outputs[12].type = OutputType::Pulse;
    return config;
}

} // namespace

class BoxSimulatorTest : public QObject {
    Q_OBJECT

private slots:
    void answersOnTheWire_data()
    {
        QTest::addColumn<BoxOptions>("options");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("firstPiece"); // bytes seen before the first pause; 0: not checked
        const QByteArray sample = downloadAnswer(sampleSwitchConfig());
        const QByteArray image = EncodeDeviceImage(uploadedConfig());
        QByteArray corrupted = image;
        corrupted[40] = char(corrupted[40] ^ 0x10);

        // What each mode makes of an exchange shows in veldo-cli's outcomes; here the bytes themselves.
        QTest::newRow("download, echo, in pieces")
            << BoxOptions{.echo = true, .chunkSize = 150, .chunkPauseMs = 400} << kRequest << kRequest + sample << 151;
        QTest::newRow("upload stored, then downloaded") << BoxOptions{} << image + kRequest << kAck + downloadAnswer(uploadedConfig()) << 0;
        QTest::newRow("corrupted upload is not stored") << BoxOptions{} << corrupted + kRequest << kNak + sample << 0;
        QTest::newRow("upload, stray byte") << BoxOptions{.strayByte = true} << image << QByteArray(1, '\0') + kAck << 0;
    }

    void answersOnTheWire()
    {
        QFETCH(BoxOptions, options);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        QFETCH(int, firstPiece);
        BoxSimulator box(options);
        Line line(box);
        QVERIFY(line.comm.output(request));
        if (firstPiece > 0) {
            QTRY_VERIFY(!line.received().isEmpty());
            QCOMPARE(line.received().size(), firstPiece);
        }
        QTRY_COMPARE(line.received().size(), expected.size());
        QTest::qWait(100); // nothing more may follow
        QCOMPARE(line.received(), expected);
    }

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
