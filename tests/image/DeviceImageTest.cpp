#include "ConfigBuilders.h"

#include "link/DeviceImage.h"

#include <QRandomGenerator>
#include <QTest>

#include <utility>

using namespace veldo;
using namespace veldo::test;

Q_DECLARE_METATYPE(veldo::SwitchConfig)

namespace {

// A sent image: lead byte 170, the listed offsets set, every other byte 0.
DeviceImage imageWith(std::initializer_list<std::pair<qsizetype, int>> bytes)
{
    DeviceImage image(kDeviceImageSize, '\0');
    image[0] = char(kUploadLeadByte);
    for (const auto &[offset, value] : bytes)
        image[offset] = char(value);
    return image;
}

// Codes of mixed-case hex digits and random types; the second is what decoding must give back.
std::pair<SwitchConfig, SwitchConfig> randomConfig(QRandomGenerator &random)
{
    static const QString digits = QStringLiteral("0123456789abcdefABCDEF");
    SwitchConfig config;
    for (int m = 0; m < kCodeCount; ++m) {
        QString code;
        for (int k = 0; k < kCodeLength; ++k)
            code += digits.at(random.bounded(int(digits.size())));
        config.setCode(m, code);
    }
    for (OutputSetting &setting : config.outputs)
        setting.type = OutputType(random.bounded(kTypeCount));
    SwitchConfig upper = config;
    for (int m = 0; m < kCodeCount; ++m)
        upper.setCode(m, config.code(m).toUpper());
    return {config, upper};
}

} // namespace

class DeviceImageTest : public QObject {
    Q_OBJECT

private slots:
    void knownImages_data();
    void knownImages();
    void randomConfigurationsRoundTrip();
    void everyTypeOfEveryOutputRoundTrips();
    void anyFlippedBitFailsTheChecksum();
    void wrongSizeIsRejectedAndDecodesSafely();
};

void DeviceImageTest::knownImages_data()
{
    QTest::addColumn<SwitchConfig>("config");
    QTest::addColumn<DeviceImage>("image");
    QTest::addColumn<SwitchConfig>("decoded");

    const SwitchConfig slave = allOfType(OutputType::Slave);
    const SwitchConfig toggle = allOfType(OutputType::Toggle);
    const SwitchConfig codeA0 = withCode(toggle, 0, QStringLiteral("0123456789AB"));
    const SwitchConfig pulseC = withType(slave, 12, OutputType::Pulse);
    const SwitchConfig masterC = withType(slave, 12, OutputType::Master);
    const SwitchConfig toggleD = withType(slave, 13, OutputType::Toggle);

    QTest::newRow("all Slave") << slave << imageWith({}) << slave;
    QTest::newRow("all Toggle") << toggle << imageWith({{193, 0xFF}, {195, 0xFF}}) << toggle;
    QTest::newRow("Code A of output 0")
        << codeA0
        << imageWith({{1, 0x01}, {2, 0x23}, {3, 0x45}, {4, 0x67}, {5, 0x89}, {6, 0xAB},
                      {193, 0xFF}, {195, 0xFF}, {197, 0x22}})
        << codeA0;
    QTest::newRow("output C Pulse") << pulseC << imageWith({{196, 0x01}, {197, 0x01}}) << pulseC;
    QTest::newRow("output C Master") << masterC << imageWith({{195, 0x01}, {196, 0x01}}) << masterC;
    QTest::newRow("output D Toggle") << toggleD << imageWith({{195, 0x08}, {197, 0x08}}) << toggleD;
    QTest::newRow("lower-case Code B of output F")
        << withCode(slave, 31, QStringLiteral("abcdef012345"))
        << imageWith({{187, 0xAB}, {188, 0xCD}, {189, 0xEF}, {190, 0x01}, {191, 0x23}, {192, 0x45}, {197, 0xEE}})
        << withCode(slave, 31, QStringLiteral("ABCDEF012345"));
    QTest::newRow("short Code A of output 5")
        << withCode(slave, 5, QStringLiteral("ABC"))
        << imageWith({{31, 0xAB}, {32, 0x0C}, {197, 0xA7}})
        << withCode(slave, 5, QStringLiteral("AB0C00000000"));
}

void DeviceImageTest::knownImages()
{
    QFETCH(SwitchConfig, config);
    QFETCH(DeviceImage, image);
    QFETCH(SwitchConfig, decoded);

    QCOMPARE(EncodeDeviceImage(config), image);
    QVERIFY(deviceImageChecksumHolds(image));
    QCOMPARE(DecodeDeviceImage(image), decoded);
}

void DeviceImageTest::randomConfigurationsRoundTrip()
{
    QRandomGenerator random(20240611);
    for (int run = 0; run < 200; ++run) {
        const auto [config, upper] = randomConfig(random);
        DeviceImage image = EncodeDeviceImage(config);
        QCOMPARE(image.size(), kDeviceImageSize);
        // The box may lead its answer with any byte; neither the checksum nor the decoder looks at it.
        image[0] = char(random.bounded(256));
        QVERIFY(deviceImageChecksumHolds(image));
        QCOMPARE(DecodeDeviceImage(image), upper);
    }
}

void DeviceImageTest::everyTypeOfEveryOutputRoundTrips()
{
    // Against every background type, so a bit that leaks into a neighbour shows.
    for (int background = 0; background < kTypeCount; ++background) {
        for (int output = 0; output < kOutputCount; ++output) {
            for (int type = 0; type < kTypeCount; ++type) {
                const SwitchConfig config = withType(allOfType(OutputType(background)), output, OutputType(type));
                QVERIFY2(DecodeDeviceImage(EncodeDeviceImage(config)) == config,
                         qPrintable(QStringLiteral("output %1 type %2 among type %3").arg(output).arg(type).arg(background)));
            }
        }
    }
}

void DeviceImageTest::anyFlippedBitFailsTheChecksum()
{
    QRandomGenerator random(7);
    const DeviceImage image = EncodeDeviceImage(randomConfig(random).first);
    for (qsizetype offset = 1; offset < kDeviceImageSize; ++offset) {
        for (int bit = 0; bit < 8; ++bit) {
            DeviceImage flipped = image;
            flipped[offset] = char(flipped[offset] ^ (1 << bit));
            QVERIFY2(!deviceImageChecksumHolds(flipped), qPrintable(QStringLiteral("offset %1 bit %2").arg(offset).arg(bit)));
        }
    }
}

void DeviceImageTest::wrongSizeIsRejectedAndDecodesSafely()
{
    const SwitchConfig config = withCode(allOfType(OutputType::Master), 0, QStringLiteral("0123456789AB"));
    const DeviceImage image = EncodeDeviceImage(config);

    QVERIFY(!deviceImageChecksumHolds(image.first(kDeviceImageSize - 1)));
    QVERIFY(!deviceImageChecksumHolds(image + char(0)));
    QVERIFY(!deviceImageChecksumHolds({}));

    // Missing bytes read as zero: the first code survives, everything after it is cleared.
    const SwitchConfig expected = withCode(allOfType(OutputType::Slave), 0, QStringLiteral("0123456789AB"));
    QCOMPARE(DecodeDeviceImage(image.first(7)), expected);
    QCOMPARE(DecodeDeviceImage({}), allOfType(OutputType::Slave));
}

QTEST_GUILESS_MAIN(DeviceImageTest)
#include "DeviceImageTest.moc"
