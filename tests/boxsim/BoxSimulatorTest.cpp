#include "BoxSimulator.h"

#include "link/DeviceImage.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace veldo;

namespace {

// The tool's end of the line: the slave side of the simulator's pseudo-terminal, raw.
class Line {
public:
    explicit Line(const QString &device)
        : m_fd(::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        termios raw{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(m_fd, TCSANOW, &raw);
        }
    }
    ~Line() { ::close(m_fd); }
    Line(const Line &) = delete;
    Line &operator=(const Line &) = delete;

    bool send(const QByteArray &bytes) const { return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size(); }

    // Everything received so far.
    const QByteArray &received()
    {
        char chunk[512];
        ssize_t n = 0;
        while ((n = ::read(m_fd, chunk, sizeof chunk)) > 0)
            m_received.append(chunk, n);
        m_hungUp = n == 0 || (n < 0 && errno == EIO);
        return m_received;
    }
    bool hungUp()
    {
        received();
        return m_hungUp;
    }

private:
    int m_fd = -1;
    QByteArray m_received;
    bool m_hungUp = false;
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

QByteArray corrupted(QByteArray image)
{
    image[40] = char(image[40] ^ 0x10);
    return image;
}

BoxOptions with(void (*change)(BoxOptions &))
{
    BoxOptions options;
    change(options);
    return options;
}

} // namespace

class BoxSimulatorTest : public QObject {
    Q_OBJECT
private slots:
    void answersOnTheWire_data();
    void answersOnTheWire();
    void reportsStoredConfiguration();
    void dropsAnImageThatStopsArriving();
    void unplugsOnRequest();
    void linksAsPort_data();
    void linksAsPort();
};

void BoxSimulatorTest::answersOnTheWire_data()
{
    QTest::addColumn<BoxOptions>("options");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("firstPiece"); // bytes seen before the first pause; 0: not checked

    const QByteArray sample = downloadAnswer(sampleSwitchConfig());
    const QByteArray image = EncodeDeviceImage(uploadedConfig());
    QByteArray wrongChecksum = sample;
    wrongChecksum[kChecksumOffset] = char(~wrongChecksum[kChecksumOffset]);

    QTest::newRow("download") << BoxOptions{} << kRequest << sample << 0;
    QTest::newRow("download, echo") << with([](BoxOptions &o) { o.echo = true; }) << kRequest << kRequest + sample << 0;
    QTest::newRow("download after noise") << BoxOptions{} << QByteArray("\x01\x02") + kRequest << sample << 0;
    QTest::newRow("download, wrong checksum") << with([](BoxOptions &o) { o.wrongChecksum = true; }) << kRequest << wrongChecksum << 0;
    QTest::newRow("download, delayed") << with([](BoxOptions &o) { o.answerDelayMs = 100; }) << kRequest << sample << 0;
    QTest::newRow("download, in pieces")
        << with([](BoxOptions &o) { o.chunkSize = 150; o.chunkPauseMs = 400; }) << kRequest << sample << 150;
    QTest::newRow("download, silent") << with([](BoxOptions &o) { o.silent = true; }) << kRequest << QByteArray() << 0;
    QTest::newRow("upload, then download of it") << BoxOptions{} << image + kRequest << kAck + downloadAnswer(uploadedConfig()) << 0;
    QTest::newRow("upload, echo") << with([](BoxOptions &o) { o.echo = true; }) << image << image + kAck << 0;
    QTest::newRow("corrupted upload is not stored") << BoxOptions{} << corrupted(image) + kRequest << kNak + sample << 0;
    QTest::newRow("upload, always NAK") << with([](BoxOptions &o) { o.alwaysNak = true; }) << image + kRequest << kNak + sample << 0;
    QTest::newRow("upload, stray byte") << with([](BoxOptions &o) { o.strayByte = true; }) << image << QByteArray(1, '\0') + kAck << 0;
    QTest::newRow("upload, silent") << with([](BoxOptions &o) { o.silent = true; }) << image << QByteArray() << 0;
}

void BoxSimulatorTest::answersOnTheWire()
{
    QFETCH(BoxOptions, options);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    QFETCH(int, firstPiece);

    BoxSimulator box(options);
    Line line(box.slavePath());
    QVERIFY(line.send(request));
    if (firstPiece > 0) {
        QTRY_VERIFY(!line.received().isEmpty());
        QCOMPARE(line.received().size(), firstPiece);
    }
    QTRY_COMPARE(line.received().size(), expected.size());
    QTest::qWait(100); // nothing more may follow
    QCOMPARE(line.received(), expected);
}

void BoxSimulatorTest::reportsStoredConfiguration()
{
    BoxSimulator box;
    QSignalSpy received(&box, &BoxSimulator::configReceived);
    Line line(box.slavePath());
    QVERIFY(line.send(corrupted(EncodeDeviceImage(uploadedConfig())) + EncodeDeviceImage(uploadedConfig())));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).value<SwitchConfig>(), uploadedConfig());
    QCOMPARE(box.config(), uploadedConfig());
}

void BoxSimulatorTest::dropsAnImageThatStopsArriving()
{
    BoxOptions options;
    options.resyncGapMs = 100;
    BoxSimulator box(options);
    QSignalSpy dropped(&box, &BoxSimulator::bytesDropped);
    Line line(box.slavePath());
    const QByteArray half = EncodeDeviceImage(uploadedConfig()).left(kDeviceImageSize / 2);
    QVERIFY(line.send(half));
    QTRY_COMPARE(dropped.count(), 1);
    QCOMPARE(dropped.at(0).at(0).toByteArray(), half);
    QVERIFY(line.send(kRequest));
    QTRY_COMPARE(line.received(), downloadAnswer(sampleSwitchConfig()));
}

void BoxSimulatorTest::unplugsOnRequest()
{
    BoxOptions options;
    options.unplugOnRequest = true;
    BoxSimulator box(options);
    QSignalSpy unplugged(&box, &BoxSimulator::unplugged);
    Line line(box.slavePath());
    QVERIFY(line.send(kRequest));
    QTRY_COMPARE(unplugged.count(), 1);
    QVERIFY(!box.isOpen());
    QVERIFY(line.hungUp());
    QVERIFY(line.received().isEmpty());
}

void BoxSimulatorTest::linksAsPort_data()
{
    QTest::addColumn<QString>("existing"); // what com7 is before: "", "dangling", "device", "file"
    QTest::addColumn<bool>("linked");

    QTest::newRow("free") << QString() << true;
    QTest::newRow("dangling link is replaced") << QStringLiteral("dangling") << true;
    QTest::newRow("link to a live device stays") << QStringLiteral("device") << false;
    QTest::newRow("file stays") << QStringLiteral("file") << false;
}

void BoxSimulatorTest::linksAsPort()
{
    QFETCH(QString, existing);
    QFETCH(bool, linked);

    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("veldo/ports"));
    const QString com7 = folder + QStringLiteral("/com7");
    PseudoTerminal other;
    QVERIFY(existing.isEmpty() || QDir().mkpath(folder));
    if (existing == QLatin1String("dangling"))
        QVERIFY(QFile::link(home.filePath(QStringLiteral("gone")), com7));
    else if (existing == QLatin1String("device"))
        QVERIFY(QFile::link(other.slavePath(), com7));
    else if (existing == QLatin1String("file"))
        QVERIFY(QFile(com7).open(QIODevice::WriteOnly));
    const QString before = QFileInfo(com7).symLinkTarget();

    {
        BoxSimulator box;
        QCOMPARE(box.linkAsPort(7, folder).ok, linked);
        QCOMPARE(QFileInfo(com7).symLinkTarget(), linked ? box.slavePath() : before);
    }
    QCOMPARE(QFileInfo::exists(com7) || QFileInfo(com7).isSymLink(), !linked);
}

QTEST_GUILESS_MAIN(BoxSimulatorTest)
#include "BoxSimulatorTest.moc"
