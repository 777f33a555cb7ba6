// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/DeviceImage.h"
#include "protocol/Exchange.h"

#include <QTest>

#include <string>
#include <string_view>
#include <tuple>
#include <utility>

using namespace veldo;

namespace {

constexpr std::string_view kTypeLetters = "SMPT"; // in OutputType order
constexpr std::string_view kSlave = "SSSSSSSSSSSSSSSS";
constexpr std::string_view kToggle = "TTTTTTTTTTTTTTTT";

// The types of outputs 0..F as letters, and code m set to the given text.
SwitchConfig config(std::string_view types, int m = 0, const QString &code = QStringLiteral("000000000000"))
{
    SwitchConfig config;
    for (int output = 0; output < 16; ++output)
        config.outputs[std::size_t(output)].type = OutputType(kTypeLetters.find(types[std::size_t(output)]));
    config.setCode(m, code);
    return config;
}

// A sent image of 198 bytes: lead byte 170, the listed offsets set, every other byte 0.
DeviceImage imageWith(std::initializer_list<std::pair<qsizetype, int>> bytes)
{
    DeviceImage image(198, '\0');
    image[0] = char(170);
    for (const auto &[offset, value] : bytes)
        image[offset] = char(value);
    return image;
}

const SwitchConfig kSample = config("TTTTTTTTTTTTPTTT", 20, QStringLiteral("0123456789AB"));
// The echoed download request (171), the two verdicts, and a byte that is none of them.
const QByteArray kEcho("\xAB"), kAck("\x06"), kNak("\x15"), kStray(1, '\0');

// An image whose checksum byte is the given value (the Toggle bytes cancel out): its echo
// must not pass for a verdict.
QByteArray imageWithChecksum(int checksum)
{
    return UploadExchange::request(config(kToggle, 0, QString::number(checksum, 16).rightJustified(2, u'0')));
}

// What the port returns when read at tick 1, 2, ...; the outcome; the tick it comes at.
using Ticks = std::tuple<QByteArrayList, ExchangeOutcome, int>;

// An output; the offset of type byte A of its group, B following it; its bit in both.
using TypeBit = std::tuple<int, int, int>;

void row(const char *name, const QByteArrayList &chunks, ExchangeOutcome outcome, int endTick)
{
    QTest::newRow(name) << Ticks{chunks, outcome, endTick};
}

template <typename Exchange>
void verifyExchange()
{
    QFETCH(Ticks, ticks);
    const auto &[chunks, outcome, endTick] = ticks;
    Exchange exchange;
    TickResult result;
    int reads = 0;
    const ReadInput readInput = [&] {
        ++reads;
        return chunks.value(exchange.tickCount() - 1);
    };
    for (int tick = 1; tick <= 5 && !result.ended; ++tick) // tick 5 is the time-out
        result = exchange.tick(readInput);
    QVERIFY(result.ended);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(int(exchange.tickCount()), endTick);
    QVERIFY2(reads == qMin(endTick, 4), "read once at every tick but the time-out tick");
    QCOMPARE(result.config.has_value(), outcome == ExchangeOutcome::Downloaded);
    if (result.config)
        QCOMPARE(*result.config, kSample);
}

} // namespace

class DeviceImageTest : public QObject {
    Q_OBJECT

private slots:
    void knownImages_data()
    {
        QTest::addColumn<SwitchConfig>("config");
        QTest::addColumn<DeviceImage>("image");
        QTest::newRow("Code A of output 0") << config(kToggle, 0, QStringLiteral("0123456789AB"))
            << imageWith({{1, 0x01}, {2, 0x23}, {3, 0x45}, {4, 0x67}, {5, 0x89}, {6, 0xAB}, {193, 0xFF}, {195, 0xFF}, {197, 0x22}});
        QTest::newRow("lower-case Code B of output F") << config(kSlave, 31, QStringLiteral("abcdef012345"))
            << imageWith({{187, 0xAB}, {188, 0xCD}, {189, 0xEF}, {190, 0x01}, {191, 0x23}, {192, 0x45}, {197, 0xEE}});
    }

    void knownImages()
    {
        QFETCH(SwitchConfig, config);
        QFETCH(DeviceImage, image);
        QCOMPARE(EncodeDeviceImage(config), image);
        QVERIFY(deviceImageChecksumHolds(image));
        QCOMPARE(EncodeDeviceImage(DecodeDeviceImage(image)), image);
    }

    // Each output's bit in its pair of type bytes, under each of the four types.
    void typeBits_data()
    {
        QTest::addColumn<TypeBit>("typeBit");
        const int bits[] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01, 0x80, 0x40, 0x20, 0x10, 0x01, 0x08, 0x02, 0x04};
        for (int output = 0; output < 16; ++output)
            QTest::addRow("output %X", output) << TypeBit{output, (output < 8 ? 193 : 195), bits[output]};
    }

    void typeBits()
    {
        QFETCH(TypeBit, typeBit);
        const auto &[output, offsetA, bit] = typeBit;
        const struct { char letter; bool a, b; } codes[] = {{'S', false, false}, {'M', true, true}, {'P', false, true}, {'T', true, false}};
        for (const auto &code : codes) {
            std::string types(16, 'S');
            types[std::size_t(output)] = code.letter;
            const int a = code.a ? bit : 0, b = code.b ? bit : 0;
            const DeviceImage image = imageWith({{offsetA, a}, {offsetA + 1, b}, {197, a ^ b}});
            QCOMPARE(EncodeDeviceImage(config(types)), image);
            QCOMPARE(DecodeDeviceImage(image), config(types));
        }
    }

    void download_data()
    {
        QTest::addColumn<Ticks>("ticks");
        const QByteArray image = EncodeDeviceImage(kSample);
        using O = ExchangeOutcome;
        row("echo and answer at tick 1", {kEcho + image}, O::Downloaded, 1);
        row("answer without echo", {image}, O::Downloaded, 1);
        row("echo alone, answer next tick", {kEcho, image}, O::Downloaded, 2);
        row("answer spread over ticks", {image.first(50), {}, image.mid(50, 100), image.mid(150)}, O::Downloaded, 4);
        row("echo late: image one byte early", {{}, kEcho + image}, O::DownloadChecksum, 2);
        row("lead 171 without echo loses a byte", {kEcho + image.mid(1)}, O::TimedOut, 5);
        row("197 bytes", {image.first(197)}, O::TimedOut, 5);
        row("198 bytes in two parts", {image.first(197), image.last(1)}, O::Downloaded, 2);
        row("more than 198 bytes", {image + "\x06\x15garbage"}, O::Downloaded, 1);
        row("answer after tick 4 is not read", {{}, {}, {}, {}, image}, O::TimedOut, 5);
    }

    void download() { verifyExchange<DownloadExchange>(); }

    void upload_data()
    {
        QTest::addColumn<Ticks>("ticks");
        const QByteArray echo = UploadExchange::request(kSample);
        using O = ExchangeOutcome;
        row("ack alone", {kAck}, O::UploadAccepted, 1);
        row("nak alone", {kNak}, O::UploadRejected, 1);
        row("ack at tick 4", {{}, {}, {}, kAck}, O::UploadAccepted, 4);
        row("echo and ack", {echo + kAck}, O::UploadAccepted, 1);
        row("first echo byte, then the rest and ack", {echo.first(1), echo.mid(1) + kAck}, O::UploadAccepted, 2);
        row("stray byte before ack (length 2)", {kStray + kAck}, O::TimedOut, 5);
        row("stray byte after echo (length 200)", {echo + kStray + kAck}, O::TimedOut, 5);
        row("ack split from a stray byte by a tick", {kStray, kAck}, O::TimedOut, 5);
        row("echo with checksum 6 is no verdict", {imageWithChecksum(6)}, O::TimedOut, 5);
        row("echo with checksum 21, then ack", {imageWithChecksum(21), kAck}, O::UploadAccepted, 2);
        row("echo with checksum 6, then nak", {imageWithChecksum(6), kNak}, O::UploadRejected, 2);
        row("ack after tick 4 is not read", {{}, {}, {}, {}, kAck}, O::TimedOut, 5);
    }

    void upload() { verifyExchange<UploadExchange>(); }
};

QTEST_GUILESS_MAIN(DeviceImageTest)
#include "DeviceImageTest.moc"
