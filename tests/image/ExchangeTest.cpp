#include "ConfigBuilders.h"

#include "link/Exchange.h"

#include <QTest>

using namespace veldo;
using namespace veldo::test;

Q_DECLARE_METATYPE(veldo::ExchangeOutcome)

namespace {

const QByteArray kEcho = DownloadExchange::request();
const QByteArray kAck(1, char(UploadExchange::kAcknowledge));
const QByteArray kNak(1, char(UploadExchange::kNegativeAcknowledge));
const QByteArray kStray(1, '\0');

SwitchConfig sampleConfig()
{
    return withType(withCode(allOfType(OutputType::Toggle), 20, QStringLiteral("0123456789AB")), 12, OutputType::Pulse);
}

// The box's answer: the sample's image under any lead byte.
QByteArray answer(int lead = 0)
{
    QByteArray image = EncodeDeviceImage(sampleConfig());
    image[0] = char(lead);
    return image;
}

// A sent image whose checksum byte is the given value: it must not pass for a verdict.
QByteArray imageWithChecksum(int checksum)
{
    const QString code = QStringLiteral("%1").arg(checksum, 2, 16, QLatin1Char('0')) + QStringLiteral("0000000000");
    return UploadExchange::request(withCode(allOfType(OutputType::Slave), 0, code));
}

struct Run {
    TickResult result;
    int endTick = 0;
    QList<int> readTicks;
};

// Ticks until the exchange ends; the port returns chunks[t - 1] when read at tick t.
template <typename Exchange>
Run runExchange(const QByteArrayList &chunks)
{
    Exchange exchange;
    Run run;
    const ReadInput readInput = [&] {
        run.readTicks.append(exchange.tickCount());
        return chunks.value(exchange.tickCount() - 1);
    };
    while (!run.result.ended && run.endTick < kTimeoutTick) {
        ++run.endTick;
        run.result = exchange.tick(readInput);
    }
    return run;
}

void addColumns()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<ExchangeOutcome>("outcome");
    QTest::addColumn<int>("endTick");
}

void row(const char *name, const QByteArrayList &chunks, ExchangeOutcome outcome, int endTick)
{
    QTest::newRow(name) << chunks << outcome << endTick;
}

void verifyRun(const Run &run, ExchangeOutcome outcome, int endTick)
{
    QVERIFY(run.result.ended);
    QCOMPARE(run.result.outcome, outcome);
    QCOMPARE(run.endTick, endTick);
    // Read once at every tick, except that the time-out tick does not read at all.
    QList<int> expectedReads;
    for (int tick = 1; tick <= qMin(endTick, kTimeoutTick - 1); ++tick)
        expectedReads.append(tick);
    QCOMPARE(run.readTicks, expectedReads);
}

} // namespace

class ExchangeTest : public QObject {
    Q_OBJECT

private slots:
    void download_data();
    void download();
    void upload_data();
    void upload();
};

void ExchangeTest::download_data()
{
    addColumns();
    const QByteArray image = answer();
    using O = ExchangeOutcome;
    row("echo and answer at tick 1", {kEcho + image}, O::Downloaded, 1);
    row("answer without echo", {image}, O::Downloaded, 1);
    row("echo alone, answer next tick", {kEcho, image}, O::Downloaded, 2);
    row("answer spread over ticks", {image.first(50), {}, image.mid(50, 100), image.mid(150)}, O::Downloaded, 4);
    row("echo late: image one byte early", {{}, kEcho + image}, O::DownloadChecksum, 2);
    row("lead 171 without echo loses a byte", {answer(171)}, O::TimedOut, 5);
    row("any other lead byte", {answer(255)}, O::Downloaded, 1);
    row("197 bytes", {image.first(197)}, O::TimedOut, 5);
    row("198 bytes in two parts", {image.first(197), image.last(1)}, O::Downloaded, 2);
    row("more than 198 bytes", {image + "\x06\x15garbage"}, O::Downloaded, 1);
    row("corrupted answer", {image.first(100) + char(image[100] ^ 0x10) + image.mid(101)}, O::DownloadChecksum, 1);
    row("nothing", {}, O::TimedOut, 5);
    row("answer after tick 4 is not read", {{}, {}, {}, {}, image}, O::TimedOut, 5);
}

void ExchangeTest::download()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(ExchangeOutcome, outcome);
    QFETCH(int, endTick);

    const Run result = runExchange<DownloadExchange>(chunks);
    verifyRun(result, outcome, endTick);
    QCOMPARE(result.result.config.has_value(), outcome == ExchangeOutcome::Downloaded);
    if (result.result.config)
        QCOMPARE(*result.result.config, sampleConfig());
}

void ExchangeTest::upload_data()
{
    addColumns();
    const QByteArray echo = UploadExchange::request(sampleConfig());
    using O = ExchangeOutcome;
    row("ack alone", {kAck}, O::UploadAccepted, 1);
    row("nak alone", {kNak}, O::UploadRejected, 1);
    row("ack at tick 4", {{}, {}, {}, kAck}, O::UploadAccepted, 4);
    row("echo and ack", {echo + kAck}, O::UploadAccepted, 1);
    row("echo and nak", {echo + kNak}, O::UploadRejected, 1);
    row("first echo byte, then the rest and ack", {echo.first(1), echo.mid(1) + kAck}, O::UploadAccepted, 2);
    row("echo spread over ticks", {echo.first(100), echo.mid(100), kAck}, O::UploadAccepted, 3);
    row("stray byte before ack (length 2)", {kStray + kAck}, O::TimedOut, 5);
    row("stray byte after echo (length 200)", {echo + kStray + kAck}, O::TimedOut, 5);
    row("ack split from a stray byte by a tick", {kStray, kAck}, O::TimedOut, 5);
    row("echo with checksum 6 is no verdict", {imageWithChecksum(6)}, O::TimedOut, 5);
    row("echo with checksum 21 is no verdict", {imageWithChecksum(21)}, O::TimedOut, 5);
    row("echo with checksum 21, then ack", {imageWithChecksum(21), kAck}, O::UploadAccepted, 2);
    row("echo with checksum 6, then nak", {imageWithChecksum(6), kNak}, O::UploadRejected, 2);
    row("nothing", {}, O::TimedOut, 5);
    row("ack after tick 4 is not read", {{}, {}, {}, {}, kAck}, O::TimedOut, 5);
}

void ExchangeTest::upload()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(ExchangeOutcome, outcome);
    QFETCH(int, endTick);

    const Run result = runExchange<UploadExchange>(chunks);
    verifyRun(result, outcome, endTick);
    QVERIFY(!result.result.config);
}

QTEST_GUILESS_MAIN(ExchangeTest)
#include "ExchangeTest.moc"
