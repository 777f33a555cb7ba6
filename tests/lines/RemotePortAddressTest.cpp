// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/RemotePortAddress.h"

#include <QTest>

#include <tuple>

using namespace veldo;

Q_DECLARE_METATYPE(veldo::RemotePortAddressError)

class RemotePortAddressTest : public QObject {
    Q_OBJECT
private slots:
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
};

void RemotePortAddressTest::accepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("caFile");
    QTest::addColumn<QString>("display");

    QTest::newRow("name, lowest port") << "rfc2217://lab-pi:1" << "lab-pi" << 1 << false << "" << "lab-pi:1";
    QTest::newRow("IPv4, highest port") << "rfc2217://192.168.1.20:65535" << "192.168.1.20" << 65535 << false << "" << "192.168.1.20:65535";
    QTest::newRow("IPv6") << "rfc2217://[::1]:3001" << "::1" << 3001 << false << "" << "[::1]:3001";
    QTest::newRow("TLS with CA, scheme in capitals") << "RFC2217+TLS://Lab-Pi:3002?ca=/etc/veldo/lab-ca.pem" << "Lab-Pi" << 3002 << true << "/etc/veldo/lab-ca.pem" << "Lab-Pi:3002";
    QTest::newRow("63-letter label") << "rfc2217://" + QString(63, u'a') + ".lab:9" << QString(63, u'a') + ".lab" << 9 << false << "" << QString(63, u'a') + ".lab:9";
}

void RemotePortAddressTest::accepted()
{
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(bool, tls);
    QFETCH(QString, caFile);
    QFETCH(QString, display);

    QVERIFY(isRemotePortUrl(text));
    const RemotePortAddressParse parse = parseRemotePortAddress(text);
    QVERIFY2(parse.address, qPrintable(describeRemotePortAddressError(parse.error, text)));
    const RemotePortAddress &got = *parse.address;
    QCOMPARE(std::tuple(got.host, int(got.port), got.tls, got.caFile, got.display()), std::tuple(host, port, tls, caFile, display));
}

void RemotePortAddressTest::refused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("looksRemote");
    QTest::addColumn<RemotePortAddressError>("error");

    using E = RemotePortAddressError;
    QTest::newRow("other scheme") << "telnet://lab-pi:3001" << false << E::NotRemote;
    QTest::newRow("port only") << "rfc2217://:3001" << true << E::MissingHost;
    QTest::newRow("no port") << "rfc2217://lab-pi" << true << E::MissingPort;
    QTest::newRow("empty port") << "rfc2217://lab-pi:" << true << E::MissingPort;
    QTest::newRow("port zero") << "rfc2217://lab-pi:0" << true << E::BadPort;
    QTest::newRow("port too high") << "rfc2217://lab-pi:65536" << true << E::BadPort;
    QTest::newRow("port with sign") << "rfc2217://lab-pi:+3001" << true << E::BadPort;
    QTest::newRow("path after port") << "rfc2217://lab-pi:3001/dev/ttyS0" << true << E::TrailingText;
    QTest::newRow("comma in host") << "rfc2217://lab,tcpd=off:3001" << true << E::BadHostName;
    QTest::newRow("empty label") << "rfc2217://lab..pi:3001" << true << E::BadHostName;
    QTest::newRow("leading hyphen") << "rfc2217://-lab:3001" << true << E::BadHostName;
    QTest::newRow("trailing hyphen") << "rfc2217://lab-:3001" << true << E::BadHostName;
    QTest::newRow("64-letter label") << "rfc2217://" + QString(64, u'a') + ":3001" << true << E::BadHostName;
    QTest::newRow("name too long") << "rfc2217://" + QString(127, u'a').replace(u'a', QStringLiteral("a.")) + "b:3001" << true << E::BadHostName;
    QTest::newRow("IPv4 octet too big") << "rfc2217://192.168.1.256:3001" << true << E::BadIPv4Address;
    QTest::newRow("IPv6 bare") << "rfc2217://::1:3001" << true << E::UnbracketedIPv6;
    QTest::newRow("IPv6 not closed") << "rfc2217://[::1:3001" << true << E::BadIPv6Address;
    QTest::newRow("IPv6 zone") << "rfc2217://[fe80::1%eth0]:3001" << true << E::BadIPv6Address;
    QTest::newRow("IPv6 junk before port") << "rfc2217://[::1]x:3001" << true << E::TrailingText;
    QTest::newRow("CA in the clear") << "rfc2217://lab-pi:3001?ca=/etc/ca.pem" << true << E::CaWithoutTls;
    QTest::newRow("other query") << "rfc2217+tls://lab-pi:3001?cert=/etc/c.pem" << true << E::TrailingText;
    QTest::newRow("relative CA") << "rfc2217+tls://lab-pi:3001?ca=ca.pem" << true << E::BadCaFile;
    QTest::newRow("CA adding an option") << "rfc2217+tls://lab-pi:3001?ca=/c.pem,allow-authfail" << true << E::BadCaFile;
    QTest::newRow("CA with a space") << "rfc2217+tls://lab-pi:3001?ca=/my ca.pem" << true << E::BadCaFile;
}

void RemotePortAddressTest::refused()
{
    QFETCH(QString, text);
    QFETCH(bool, looksRemote);
    QFETCH(RemotePortAddressError, error);

    QCOMPARE(isRemotePortUrl(text), looksRemote);
    const RemotePortAddressParse parse = parseRemotePortAddress(text);
    QVERIFY2(!parse.address, qPrintable(parse.address ? parse.address->display() : QString()));
    QCOMPARE(parse.error, error);
}

QTEST_GUILESS_MAIN(RemotePortAddressTest)
#include "RemotePortAddressTest.moc"
