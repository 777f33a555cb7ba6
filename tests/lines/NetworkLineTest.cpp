// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Ser2net.h"

#include "BoxSimulator.h"
#include "PseudoTerminal.h"

#include "lines/NetworkLine.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <optional>
#include <tuple>

using namespace veldo;
using namespace veldo::test;

Q_DECLARE_METATYPE(veldo::NetworkFailure)

namespace {

constexpr int kConnectWaitMs = 8000;

RemotePortAddress address(const QString &url)
{
    return parseRemotePortAddress(url).address.value_or(RemotePortAddress{});
}

QString loopbackUrl(quint16 port, const QString &scheme = QStringLiteral("rfc2217"))
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(port);
}

// Waits for opened() or failed(); true when the line opened.
bool waitForOutcome(NetworkLine &line)
{
    QSignalSpy opened(&line, &NetworkLine::opened);
    QSignalSpy failed(&line, &NetworkLine::failed);
    return QTest::qWaitFor([&] { return !opened.isEmpty() || !failed.isEmpty(); }, kConnectWaitMs) && !opened.isEmpty();
}

// A listening socket whose queue is full: the kernel drops further connection requests, so a
// connect waits as for a host that does not answer.
struct FullServer {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    std::array<int, 3> queued{-1, -1, -1};
    quint16 port = 0;
    FullServer()
    {
        sockaddr_in where{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
        socklen_t length = sizeof where;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&where), sizeof where) != 0 || ::listen(fd, 0) != 0
            || ::getsockname(fd, reinterpret_cast<sockaddr *>(&where), &length) != 0)
            return;
        port = ntohs(where.sin_port);
        for (int &queuedFd : queued) {
            queuedFd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(queuedFd, reinterpret_cast<sockaddr *>(&where), sizeof where);
        }
        QTest::qWait(100); // the queue fills
    }
    ~FullServer()
    {
        for (int queuedFd : queued)
            ::close(queuedFd);
        ::close(fd);
    }
};

enum class Setup { NothingListens, NoAnswer, SecondConnection, UnknownHost };

// A device served by ser2net over loopback, and the line connected to it.
struct Served {
    explicit Served(const QString &device, std::optional<Ser2net::Tls> tls = std::nullopt, const QString &query = {})
        : server(device, tls)
    {
        if (server.start())
            line = std::make_unique<NetworkLine>(address(loopbackUrl(server.port(), tls ? QStringLiteral("rfc2217+tls") : QStringLiteral("rfc2217")) + query));
        if (line)
            line->open();
    }
    // True when it connected; else says why in the test's log.
    bool connected()
    {
        const bool open = line && waitForOutcome(*line);
        if (!open)
            qWarning("%s", qPrintable(line ? line->failure() : server.problem()));
        return open;
    }
    Ser2net server;
    std::unique_ptr<NetworkLine> line;
};

} // namespace

Q_DECLARE_METATYPE(Setup)

// What stands at the address; the failure; how the reason starts after the address.
using Unreachable = std::tuple<Setup, NetworkFailure, QString>;

// The server's certificate; the authority the query names (empty: the system store alone);
// the failure.
using Trust = std::tuple<QString, QString, NetworkFailure>;

class NetworkLineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (Ser2net::program().isEmpty())
            QSKIP("ser2net is not installed (scripts/deps.sh installs it)");
        QVERIFY(makeCertificate(QStringLiteral("ca")));
        QVERIFY(makeCertificate(QStringLiteral("otherca")));
        QVERIFY(makeCertificate(QStringLiteral("loopback"), QStringLiteral("ca"), QStringLiteral("IP:127.0.0.1")));
        QVERIFY(makeCertificate(QStringLiteral("elsewhere"), QStringLiteral("ca"), QStringLiteral("DNS:elsewhere.invalid")));
    }

    void unreachable_data()
    {
        QTest::addColumn<Unreachable>("unreachableCase");

        QTest::newRow("refused") << Unreachable{Setup::NothingListens, NetworkFailure::Refused, " refused the connection"};
        QTest::newRow("no answer") << Unreachable{Setup::NoAnswer, NetworkFailure::TimedOut, " did not answer within 5 s"};
        QTest::newRow("port in use") << Unreachable{Setup::SecondConnection, NetworkFailure::PortInUse, ": the server says the port is in use"};
        QTest::newRow("unknown host") << Unreachable{Setup::UnknownHost, NetworkFailure::UnknownHost, ": unknown host"};
    }

    void unreachable()
    {
        QFETCH(Unreachable, unreachableCase);
        const auto &[setup, failure, reasonStart] = unreachableCase;

        PseudoTerminal device;
        FullServer full;
        std::unique_ptr<Served> first;
        QString url = QStringLiteral("rfc2217://nowhere.invalid:3001");
        switch (setup) {
        case Setup::NothingListens: url = loopbackUrl(freeLoopbackPort()); break;
        case Setup::NoAnswer: url = loopbackUrl(full.port); break;
        case Setup::SecondConnection:
            first = std::make_unique<Served>(device.slavePath());
            QVERIFY(first->connected());
            url = loopbackUrl(first->server.port());
            break;
        case Setup::UnknownHost: break;
        }

        NetworkLine line(address(url));
        QSignalSpy failed(&line, &NetworkLine::failed);
        line.open();
        QCOMPARE(failed.size(), 0); // reported later, never from inside open()
        QVERIFY(!waitForOutcome(line));
        QCOMPARE(line.failureKind(), failure);
        QVERIFY2(line.failure().startsWith(address(url).display() + reasonStart), qPrintable(line.failure()));
        QVERIFY(!line.isOpen());
        QVERIFY(!line.write("x"));
    }

    void tls_data()
    {
        QTest::addColumn<Trust>("trust");

        QTest::newRow("trusted, right address") << Trust{"loopback", "ca", NetworkFailure::None};
        QTest::newRow("another authority") << Trust{"loopback", "otherca", NetworkFailure::NotTrusted};
        QTest::newRow("system store only") << Trust{"loopback", "", NetworkFailure::NotTrusted};
        QTest::newRow("trusted, other name") << Trust{"elsewhere", "ca", NetworkFailure::NameMismatch};
    }

    // Trusted, the line carries a download: the request out, the box's 198 bytes back.
    void tls()
    {
        QFETCH(Trust, trust);
        const auto &[serverCertificate, caQuery, failure] = trust;

        BoxSimulator box;
        QSignalSpy served(&box, &BoxSimulator::requestServed);
        Served tls(box.slavePath(), Ser2net::Tls{file(serverCertificate + ".key"), file(serverCertificate + ".pem")},
                   caQuery.isEmpty() ? QString() : "?ca=" + file(caQuery + ".pem"));
        QVERIFY2(tls.line, qPrintable(tls.server.problem()));
        QCOMPARE(waitForOutcome(*tls.line), failure == NetworkFailure::None);
        QCOMPARE(tls.line->failureKind(), failure);
        if (failure != NetworkFailure::None)
            return;
        QVERIFY(tls.line->write(QByteArray(1, char(171))));
        QByteArray answer;
        QVERIFY(QTest::qWaitFor([&] { return (answer += tls.line->readAll()).size() >= 198; }, kConnectWaitMs));
        QCOMPARE(std::tuple(answer.size(), served.size()), std::tuple(198, 1));
        QCOMPARE(answer, served.first().at(1).toByteArray());
    }

    void lostMidExchange()
    {
        BoxSimulator box(BoxOptions{.answerDelayMs = 2000});
        Served served(box.slavePath());
        QVERIFY(served.connected());
        QSignalSpy failed(served.line.get(), &NetworkLine::failed);
        QSignalSpy requested(&box, &BoxSimulator::requestReceived);
        QVERIFY(served.line->write(QByteArray(1, char(171))));
        QVERIFY(requested.wait(kConnectWaitMs));
        served.server.stop();

        QVERIFY(failed.wait(kConnectWaitMs));
        QCOMPARE(served.line->failureKind(), NetworkFailure::Lost);
        QVERIFY2(served.line->failure().startsWith(QStringLiteral("127.0.0.1:%1: the connection was lost").arg(served.server.port())),
                 qPrintable(served.line->failure()));
        QVERIFY(!served.line->isOpen());
    }

    // The box's settings reach the device, where ser2net opened it otherwise: 9600 baud, 8 data
    // bits, no parity, 1 stop bit, no RTS/CTS. A device flooding the line fills at most 64 KiB.
    void settingsAndFlood()
    {
        PseudoTerminal device;
        Served served(device.slavePath());
        QVERIFY(served.connected());
        termios settings{};
        QVERIFY(::tcgetattr(device.masterFd(), &settings) == 0);
        QCOMPARE(std::tuple(cfgetospeed(&settings), settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS)), std::tuple(speed_t(B9600), tcflag_t(CS8)));
        qint64 offered = 0;
        QTimer flood;
        QObject::connect(&flood, &QTimer::timeout, [&] {
            while (device.write(QByteArray(4096, 'x')))
                offered += 4096;
        });
        flood.start(1);
        QTest::qWait(1500);
        QVERIFY2(offered > 4 * 65536, qPrintable(QString::number(offered)));
        QCOMPARE(served.line->readAll().size(), 65536);
        // Taken, the bytes make room: reading goes on, and the line is still usable.
        QVERIFY(QTest::qWaitFor([&] { return !served.line->readAll().isEmpty(); }, kConnectWaitMs));
        QVERIFY(served.line->isOpen());
    }

private:
    // Makes a key and a certificate named stem in the folder: an authority's own without ca,
    // else one for subjectAltName signed by the authority ca; false when openssl fails.
    bool makeCertificate(const QString &stem, const QString &ca = {}, const QString &altName = {})
    {
        QStringList arguments{"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=" + stem, "-keyout", file(stem + ".key"), "-out", file(stem + ".pem")};
        if (!ca.isEmpty())
            arguments << "-addext" << "subjectAltName=" + altName << "-CA" << file(ca + ".pem") << "-CAkey" << file(ca + ".key");
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"), arguments);
        return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
    }
    QString file(const QString &name) const { return m_certificates.filePath(name); }

    QTemporaryDir m_certificates;
};

QTEST_GUILESS_MAIN(NetworkLineTest)
#include "NetworkLineTest.moc"
