// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines/RemotePortAddress.h"

#include <QTest>

#include <tuple>

using namespace veldo;

Q_DECLARE_METATYPE(veldo::RemotePortAddressError)

// A text; whether it looks meant as a remote port; why it is none.
using Refused = std::tuple<QString, bool, RemotePortAddressError>;

// A text; the address it names; that address as shown.
using Accepted = std::tuple<QString, RemotePortAddress, QString>;

class RemotePortAddressTest : public QObject {
    Q_OBJECT
private slots:
    void accepted_data()
    {
        QTest::addColumn<Accepted>("acceptedCase");
        const auto inTheClear = [](const QString &host, quint16 port) { return RemotePortAddress{host, port, false, {}}; };

        QTest::newRow("name, lowest port") << Accepted{"rfc2217://lab-pi:1", inTheClear("lab-pi", 1), "lab-pi:1"};
        QTest::newRow("IPv4, highest port") << Accepted{"rfc2217://192.168.1.20:65535", inTheClear("192.168.1.20", 65535), "192.168.1.20:65535"};
        QTest::newRow("IPv6") << Accepted{"rfc2217://[::1]:3001", inTheClear("::1", 3001), "[::1]:3001"};
        QTest::newRow("TLS with CA, scheme in capitals") << Accepted{"RFC2217+TLS://Lab-Pi:3002?ca=/etc/veldo/lab-ca.pem", RemotePortAddress{"Lab-Pi", 3002, true, "/etc/veldo/lab-ca.pem"}, "Lab-Pi:3002"};
        QTest::newRow("63-letter label") << Accepted{"rfc2217://" + QString(63, u'a') + ".lab:9", inTheClear(QString(63, u'a') + ".lab", 9), QString(63, u'a') + ".lab:9"};
    }

    void accepted()
    {
        QFETCH(Accepted, acceptedCase);
        const auto &[text, address, display] = acceptedCase;
        QVERIFY(isRemotePortUrl(text));
        const RemotePortAddressParse parse = parseRemotePortAddress(text);
        QVERIFY2(parse.address, qPrintable(describeRemotePortAddressError(parse.error, text)));
        QVERIFY(*parse.address == address);
        QCOMPARE(parse.address->display(), display);
    }

    void refused_data()
    {
        QTest::addColumn<Refused>("refusedCase");

        using E = RemotePortAddressError;
        QTest::newRow("other scheme") << Refused{"telnet://lab-pi:3001", false, E::NotRemote};
        QTest::newRow("port only") << Refused{"rfc2217://:3001", true, E::MissingHost};
        QTest::newRow("no port") << Refused{"rfc2217://lab-pi", true, E::MissingPort};
        QTest::newRow("empty port") << Refused{"rfc2217://lab-pi:", true, E::MissingPort};
        QTest::newRow("port zero") << Refused{"rfc2217://lab-pi:0", true, E::BadPort};
        QTest::newRow("port too high") << Refused{"rfc2217://lab-pi:65536", true, E::BadPort};
        QTest::newRow("port with sign") << Refused{"rfc2217://lab-pi:+3001", true, E::BadPort};
        QTest::newRow("path after port") << Refused{"rfc2217://lab-pi:3001/dev/ttyS0", true, E::TrailingText};
        QTest::newRow("comma in host") << Refused{"rfc2217://lab,tcpd=off:3001", true, E::BadHostName};
        QTest::newRow("empty label") << Refused{"rfc2217://lab..pi:3001", true, E::BadHostName};
        QTest::newRow("leading hyphen") << Refused{"rfc2217://-lab:3001", true, E::BadHostName};
        QTest::newRow("trailing hyphen") << Refused{"rfc2217://lab-:3001", true, E::BadHostName};
        QTest::newRow("64-letter label") << Refused{"rfc2217://" + QString(64, u'a') + ":3001", true, E::BadHostName};
        QTest::newRow("name too long") << Refused{"rfc2217://" + QString(127, u'a').replace(u'a', QStringLiteral("a.")) + "b:3001", true, E::BadHostName};
        QTest::newRow("IPv4 octet too big") << Refused{"rfc2217://192.168.1.256:3001", true, E::BadIPv4Address};
        QTest::newRow("IPv6 bare") << Refused{"rfc2217://::1:3001", true, E::UnbracketedIPv6};
        QTest::newRow("IPv6 not closed") << Refused{"rfc2217://[::1:3001", true, E::BadIPv6Address};
        QTest::newRow("IPv6 zone") << Refused{"rfc2217://[fe80::1%eth0]:3001", true, E::BadIPv6Address};
        QTest::newRow("IPv6 junk before port") << Refused{"rfc2217://[::1]x:3001", true, E::TrailingText};
        QTest::newRow("CA in the clear") << Refused{"rfc2217://lab-pi:3001?ca=/etc/ca.pem", true, E::CaWithoutTls};
        QTest::newRow("other query") << Refused{"rfc2217+tls://lab-pi:3001?cert=/etc/c.pem", true, E::TrailingText};
        QTest::newRow("relative CA") << Refused{"rfc2217+tls://lab-pi:3001?ca=ca.pem", true, E::BadCaFile};
        QTest::newRow("CA adding an option") << Refused{"rfc2217+tls://lab-pi:3001?ca=/c.pem,allow-authfail", true, E::BadCaFile};
        QTest::newRow("CA with a space") << Refused{"rfc2217+tls://lab-pi:3001?ca=/my ca.pem", true, E::BadCaFile};
    }

    void refused()
    {
        QFETCH(Refused, refusedCase);
        const auto &[text, looksRemote, error] = refusedCase;
        QCOMPARE(isRemotePortUrl(text), looksRemote);
        const RemotePortAddressParse parse = parseRemotePortAddress(text);
        QVERIFY2(!parse.address, qPrintable(parse.address ? parse.address->display() : QString()));
        QCOMPARE(parse.error, error);
    }
};

QTEST_GUILESS_MAIN(RemotePortAddressTest)
#include "RemotePortAddressTest.moc"
